#pragma once
// Motifs to and from PCX files (ZSoft, version 5, run-length encoded), the
// form other drawing programs exchange them in. The BMP side is always an
// 8-bit BMP written through a temporary file: a failed conversion leaves
// the output file exactly as it was.
#include <cstdint>
#include <string>
#include <vector>

enum class ExchangeFault {
    None,
    // The input could not be read or is not a picture we take.
    Input,
    // The output could not be written.
    Output,
};

struct ExchangeResult {
    ExchangeFault fault = ExchangeFault::None;
    // The picture's size (also on failure, once the header was read).
    int32_t width = 0;
    int32_t height = 0;
    // Why it failed, naming the file.
    std::string error;

    explicit operator bool() const { return fault == ExchangeFault::None; }
};

// Reads the PCX file and writes its picture as an 8-bit BMP. Pixels of
// value 255 become defaultColour (the inverse of BmpToPcx).
ExchangeResult PcxToBmp(const std::string& pcxPath, const std::string& bmpPath, uint8_t defaultColour);
// Writes the BMP (8 or 24 bits) as an 8-bit PCX file with its palette.
// Pixels of defaultColour are written as 255.
ExchangeResult BmpToPcx(const std::string& bmpPath, const std::string& pcxPath, uint8_t defaultColour);
// Appends count pixels of value to a PCX scan line: a value below 63 alone
// stands for itself, anything else takes a count byte 0xC1..0xFF first.
void WritePcxRun(int32_t count, uint8_t value, std::vector<uint8_t>& out);
