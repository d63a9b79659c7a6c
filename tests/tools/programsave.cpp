#include "tests/tools/programsave.h"

#include <iostream>

#include "kernel/compiler/compilererror.h"
#include "kernel/model/globals.h"
#include "kernel/tkf/programsave.h"

int SaveProgramAs(const std::string& out)
{
    const uint16_t rc = SaveWholeProgram(out, TempPfad);
    if (rc == 0)
        std::cout << "OK\n";
    else
        std::cout << "ERROR " << rc << " " << CompilerErrorText(rc) << "\n";
    std::cout.flush();
    return rc == 0 ? 0 : 1;
}
