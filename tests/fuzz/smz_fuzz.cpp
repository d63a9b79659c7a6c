// The SMZ container on any file, with our compression library loaded: the
// script, a layer and the machine-type file are extracted in turn. An image
// is written whole or not at all.
// Smoke run: 10000 runs.
// Longest input: 65536 bytes.
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "kernel/model/bytes.h"
#include "kernel/pattern/smzfile.h"
#include "tests/fuzz/fuzz_support.h"

namespace fs = std::filesystem;

namespace {

void Check(bool ok, const char* what)
{
    fuzz::Check(ok, "smz", what);
}

void PutU16(std::string& s, std::uint16_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

void PutU32(std::string& s, std::uint32_t v)
{
    PutU16(s, static_cast<std::uint16_t>(v & 0xFFFF));
    PutU16(s, static_cast<std::uint16_t>(v >> 16));
}

// A container of one compressed image 21; extracting it needs the library.
std::string CompressedContainer(const std::string& plain)
{
    uLongf packedSize = compressBound(plain.size());
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
             reinterpret_cast<const Bytef*>(plain.data()), plain.size());
    packed.resize(packedSize);
    std::string stored;
    PutU32(stored, static_cast<std::uint32_t>(plain.size()));
    stored += packed;

    std::string file;
    PutU16(file, 0);
    PutU16(file, 32768);
    PutU32(file, 8);
    PutU16(file, 3);
    for (const auto& [tag, value] : {std::pair<std::uint16_t, std::uint32_t>{259, 2},
                                     {279, static_cast<std::uint32_t>(stored.size())},
                                     {317, 21}}) {
        PutU16(file, tag);
        PutU16(file, tag == 279 ? 4 : 3);
        PutU32(file, 1);
        PutU32(file, value);
    }
    PutU32(file, 0);
    return file + stored;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    // Without the library every compressed image would end in the same
    // refusal and the fuzzer would never get past it.
    const std::string plain = "MODULE A\r\nMODULE B\r\n";
    const std::string container = fuzz::WriteInput("CHECK.SMZ", CompressedContainer(plain));
    const std::string out = fuzz::Folder() + "check.out";
    Check(ExtractSmzImage(container, 21, out) == SmzExtract::Written, "libVpZik.so could not be loaded");
    fuzz::ClearFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::WriteInput("FUZZ.SMZ", data, size);
    for (int image : {21, 22, 10}) {
        const std::string out = fuzz::Folder() + "image" + std::to_string(image);
        const SmzExtract result = ExtractSmzImage(path, image, out);
        Check(fs::exists(out) == (result == SmzExtract::Written), "an image written in part or not at all");
    }
    // The entry point the compile driver calls.
    ReadSmzFile(path, 24, fuzz::Folder() + "image24");
    fuzz::ClearFolder();
    return 0;
}
