// lzw-encode IN OUT, lzw-decode IN OUT --size N: the strip codec on one strip.
#include <cstdlib>
#include <iostream>

#include "kernel/pattern/lzwcodec.h"
#include "tests/tools/kernel_probe/pattern_support.h"
#include "tests/tools/kernel_probe/probe.h"

namespace {

int Encode(const ProbeArgs& given)
{
    ProbeArgs args = given;
    if (args.size() != 2)
        throw ProbeUsage{"lzw-encode needs IN and OUT"};
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(args[0], bytes)) {
        std::cout << "ERROR cannot read " << args[0] << "\n";
        return 1;
    }
    LzwCompress(bytes);
    if (!WriteWholeFile(args[1], bytes)) {
        std::cout << "ERROR cannot write " << args[1] << "\n";
        return 1;
    }
    std::cout << "OK\n";
    return 0;
}

int Decode(const ProbeArgs& given)
{
    ProbeArgs args = given;
    const std::string sizeText = TakeOption(args, "--size");
    if (args.size() != 2 || sizeText.empty())
        throw ProbeUsage{"lzw-decode needs IN, OUT and --size N"};
    char* end = nullptr;
    const unsigned long long expected = std::strtoull(sizeText.c_str(), &end, 10);
    if (*end != '\0' || sizeText[0] == '-' || expected > (1ull << 32))
        throw ProbeUsage{"--size needs a number"};
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(args[0], bytes)) {
        std::cout << "ERROR cannot read " << args[0] << "\n";
        return 1;
    }
    if (LzwDecompress(bytes, expected) != LzwStatus::Ok) {
        std::cout << "ERROR corrupt strip after " << bytes.size() << " bytes\n";
        return 1;
    }
    if (bytes.size() != expected) {
        std::cout << "ERROR short strip: " << bytes.size() << " of " << expected << " bytes\n";
        return 1;
    }
    if (!WriteWholeFile(args[1], bytes)) {
        std::cout << "ERROR cannot write " << args[1] << "\n";
        return 1;
    }
    std::cout << "OK\n";
    return 0;
}

const ProbeCommandRegistrar encodeCommand("lzw-encode", "lzw-encode IN OUT", Encode);
const ProbeCommandRegistrar decodeCommand("lzw-decode", "lzw-decode IN OUT --size N", Decode);

}  // namespace
