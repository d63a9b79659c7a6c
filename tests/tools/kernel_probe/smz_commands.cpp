// smz-extract FILE DIR: the script, the three layers and the machine-type
// file of an exchange container.
#include <filesystem>
#include <iostream>

#include "kernel/pattern/smzfile.h"
#include "platform/paths.h"
#include "tests/tools/kernel_probe/probe.h"

namespace fs = std::filesystem;

namespace {

struct Image {
    int number;
    const char* extension;
};
constexpr Image kImages[] = {{21, ".Skx"}, {22, ".Bl2"}, {23, ".Bl3"}, {24, ".Bl4"}, {10, ".D10"}};

int Extract(const ProbeArgs& args)
{
    if (args.size() != 2)
        throw ProbeUsage{"smz-extract needs FILE and DIR"};
    const std::string stem = fs::path(args[0]).stem().string();
    std::string unreadable;
    SmzExtractor extractor;
    for (const Image& image : kImages) {
        // An existing file of the name in another letter case is replaced.
        const std::string out = ResolveForWrite((fs::path(args[1]) / (stem + image.extension)).string());
        const std::string name = FileNamePart(out);
        switch (extractor.Extract(args[0], image.number, out)) {
        case SmzExtract::NotContainer:
            std::cout << "ERROR not an SMZ container\n";
            return 1;
        case SmzExtract::Written: {
            std::error_code ec;
            std::cout << name << " " << fs::file_size(out, ec) << "\n";
            break;
        }
        case SmzExtract::Unreadable:
            unreadable += " " + std::to_string(image.number);
            break;
        case SmzExtract::NotFound:
            break;
        }
    }
    if (!unreadable.empty()) {
        std::cout << "ERROR unreadable images:" << unreadable << "\n";
        return 1;
    }
    std::cout << "OK\n";
    return 0;
}

const ProbeCommandRegistrar extractCommand("smz-extract", "smz-extract FILE DIR", Extract);

}  // namespace
