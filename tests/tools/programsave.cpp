#include "tests/tools/programsave.h"

#include <iostream>

#include "kernel/compiler/compilererror.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/tiffpattern.h"
#include "kernel/tkf/enginebridge.h"
#include "platform/paths.h"

namespace {
constexpr uint16_t kFileNotOpen = 301;
}

int SaveProgramAs(const std::string& out)
{
    // The pattern files are named after the first six characters of the
    // program's name: _p for plane 0, _q for plane 2, _y for plane 1 (the
    // bridge gives the name of plane 2 its ".TIF" in the file).
    std::string stem = FileNamePart(out);
    const size_t dot = stem.rfind('.');
    if (dot != std::string::npos)
        stem.resize(dot);
    const std::string base6 = stem.substr(0, 6);
    PatternNames names;
    if (BildEbene0.present)
        names[0] = base6 + "_p.TIF";
    if (BildEbene2.present)
        names[1] = base6 + "_q";
    if (BildEbene1.present)
        names[2] = base6 + "_y.TIF";
    uint16_t rc = engineBridge.P_SaveProgram(out, names, TempPfad);
    if (rc == 0) {
        // The planes beside the program, LZW-compressed: plane 0, plane 2,
        // plane 1.
        const std::string folder = FolderPart(out);
        const struct {
            int plane;
            std::string name;
        } files[] = {{0, names[0]}, {2, names[1].empty() ? "" : base6 + "_q.Tif"}, {1, names[2]}};
        for (const auto& f : files)
            if (!f.name.empty() && !WriteTiffPattern(true, folder + f.name, f.plane, true, false))
                rc = kFileNotOpen;
    }
    if (rc == 0)
        std::cout << "OK\n";
    else
        std::cout << "ERROR " << rc << " " << CompilerErrorText(rc) << "\n";
    std::cout.flush();
    return rc == 0 ? 0 : 1;
}
