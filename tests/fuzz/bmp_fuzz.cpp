// The BMP reader and the PCX writer on any file, over a PCX that must stay
// as it was when the file is refused; what is written must read back at the
// BMP's size with its cells.
// Smoke run: 10000 runs.
// Longest input: 16384 bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "kernel/model/bytes.h"
#include "pattern/motif/motif_exchange.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/motif_fuzz_check.h"

namespace {

void Check(bool ok, const char* what)
{
    fuzz::Check(ok, "bmp", what);
}

void CheckAccepted(const std::uint8_t* data, const std::string& bmp, const std::string& pcx)
{
    Bmp8 first;
    std::string error;
    Check(ReadBmp8(bmp, first, error), "the reader refused what the writer took");
    Check(first.width == get_i32(data, 18) && first.height == std::abs(get_i32(data, 22)),
          "the picture's size is not the header's");
    const std::string back = fuzz::Folder() + "BACK.BMP";
    Check(bool(PcxToBmp(pcx, back, 0)), "the PCX written does not read back");
    Bmp8 again;
    Check(ReadBmp8(back, again, error) && fuzz::SameMotif(first, again), "the cells changed on their way back");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string in = fuzz::WriteInput("FUZZ.BMP", data, size);
    const std::string out = fuzz::WriteInput("OUT.PCX", fuzz::kSentinel);
    const ExchangeResult r = BmpToPcx(in, out, 0);
    if (!r)
        Check(fuzz::ReadFile(out) == fuzz::kSentinel, "a refused file changed the output");
    else
        CheckAccepted(data, in, out);
    fuzz::ClearFolder();
    return 0;
}
