// The PCX reader on any file, over a BMP that must stay as it was when the
// file is refused; what it accepts is written as a PCX again and must read
// back with the same cells.
// Smoke run: 10000 runs.
// Longest input: 16384 bytes.
#include <cstdint>
#include <string>

#include "kernel/model/bytes.h"
#include "pattern/motif/motif_exchange.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/motif_fuzz_check.h"

namespace {

void Check(bool ok, const char* what)
{
    fuzz::Check(ok, "pcx", what);
}

void CheckAccepted(const std::uint8_t* data, const std::string& bmp)
{
    Bmp8 first;
    std::string error;
    Check(ReadBmp8(bmp, first, error), "the BMP written does not read back");
    Check(first.width == get_u16(data, 8) - get_u16(data, 4) + 1 && first.height == get_u16(data, 10) - get_u16(data, 6) + 1,
          "the BMP's size is not the header's");
    const std::string pcx = fuzz::Folder() + "AGAIN.PCX";
    const std::string again = fuzz::Folder() + "AGAIN.BMP";
    Check(bool(BmpToPcx(bmp, pcx, 0)), "the PCX writer refused the BMP");
    Check(bool(PcxToBmp(pcx, again, 0)), "the PCX written does not read back");
    Bmp8 back;
    Check(ReadBmp8(again, back, error) && fuzz::SameMotif(first, back), "the cells changed on their way back");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string in = fuzz::WriteInput("FUZZ.PCX", data, size);
    const std::string out = fuzz::WriteInput("OUT.BMP", fuzz::kSentinel);
    const ExchangeResult r = PcxToBmp(in, out, 0);
    if (!r)
        Check(fuzz::ReadFile(out) == fuzz::kSentinel, "a refused file changed the output");
    else
        CheckAccepted(data, out);
    fuzz::ClearFolder();
    return 0;
}
