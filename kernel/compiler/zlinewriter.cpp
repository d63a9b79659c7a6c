#include "kernel/compiler/zlinewriter.h"

#include "kernel/dispatch/errorcodes.h"

namespace {
constexpr uint8_t kSideBit = 0x80;
constexpr uint8_t kRead = 0;
constexpr uint8_t kReInit = 3;
constexpr size_t kSelectionText = 32;

bool Fits(int64_t value, int64_t low, int64_t high)
{
    return value >= low && value <= high;
}
bool FitsU16(int64_t value)
{
    return Fits(value, 0, 65535);
}
}  // namespace

uint8_t ZLineWriter::SystemByte(uint8_t onSide) const
{
    return static_cast<uint8_t>(system | (onSide ? kSideBit : 0));
}

ProgramCommandBlock ZLineWriter::Block(uint8_t selector, uint8_t sub) const
{
    ProgramCommandBlock b;
    b.SetCode(1);
    b.SetSub(sub);
    b.SetLine(line);
    b.SetCountField(1);
    b.SetSystemByte(SystemByte(side));
    b.SetSelector(selector);
    return b;
}

int32_t ZLineWriter::Send(ProgramCommandBlock& block)
{
    return ProgramDispatch(block);
}

int32_t ZLineWriter::ReInitLine() const
{
    ProgramCommandBlock b = Block(0, kReInit);
    return Send(b);
}

int32_t ZLineWriter::Flag(uint8_t selector) const
{
    ProgramCommandBlock b = Block(selector);
    return Send(b);
}

int32_t ZLineWriter::TakeDown(uint8_t mode, int64_t value) const
{
    if (!FitsU16(value))
        return zerr::kZTakeDownValue;
    ProgramCommandBlock b = Block(kTakeDown);
    b.SetU8(9, mode);
    b.SetU16(10, static_cast<uint16_t>(value));
    return Send(b);
}

int32_t ZLineWriter::Speed(uint8_t mode, int64_t value) const
{
    if (!FitsU16(value))
        return zerr::kZSpeedValue;
    ProgramCommandBlock b = Block(kSpeed);
    b.SetU8(9, mode);
    b.SetU16(10, static_cast<uint16_t>(value));
    return Send(b);
}

int32_t ZLineWriter::Racking(bool entry1, int64_t reference, int64_t step, uint8_t code) const
{
    if (!FitsU16(reference))
        return zerr::kZRackingReference;
    if (!Fits(step, -128, 127))
        return zerr::kZRackingStep;
    ProgramCommandBlock b = Block(kRacking);
    b.SetU8(9, entry1 ? 1 : 0);
    b.SetU16(10, static_cast<uint16_t>(reference));
    b.SetU8(12, static_cast<uint8_t>(static_cast<int8_t>(step)));
    b.SetU8(13, code);
    return Send(b);
}

int32_t ZLineWriter::Clamps(const char (&commands)[4], int64_t value) const
{
    if (!FitsU16(value))
        return zerr::kZClamp;
    ProgramCommandBlock b = Block(kClamps);
    for (size_t i = 0; i < 4; ++i)
        b.SetU8(9 + i, static_cast<uint8_t>(commands[i]));
    b.SetU16(14, static_cast<uint16_t>(value));
    return Send(b);
}

int32_t ZLineWriter::Scissors(bool bit0, bool bit1, int64_t value) const
{
    if (!FitsU16(value))
        return zerr::kZScissors;
    ProgramCommandBlock b = Block(kScissors);
    b.SetU8(9, bit0 ? 1 : 0);
    b.SetU8(10, bit1 ? 1 : 0);
    b.SetU16(12, static_cast<uint16_t>(value));
    return Send(b);
}

int32_t ZLineWriter::Comb(char command) const
{
    ProgramCommandBlock b = Block(kComb);
    b.SetU8(9, static_cast<uint8_t>(command));
    return Send(b);
}

int32_t ZLineWriter::Carrier(bool direct, int64_t value) const
{
    if (!FitsU16(value))
        return direct ? zerr::kZCarrier : zerr::kZBadPList;
    ProgramCommandBlock b = Block(kCarriers);
    b.SetU8(9, direct ? 1 : 0);
    b.SetU16(10, static_cast<uint16_t>(value));
    return Send(b);
}

int32_t ZLineWriter::Cam(uint8_t code) const
{
    ProgramCommandBlock b = Block(kCam);
    b.SetU8(9, code);
    return Send(b);
}

int32_t ZLineWriter::PatternLine(uint8_t onSide, uint8_t mode, int64_t value) const
{
    // The list reads the value as a signed 16-bit number.
    if (!Fits(value, -32768, 32767))
        return zerr::kZPatternLineValue;
    ProgramCommandBlock b = Block(kPatternLine);
    b.SetSystemByte(SystemByte(onSide));
    b.SetU8(9, mode);
    b.SetI16(10, static_cast<int16_t>(value));
    return Send(b);
}

int32_t ZLineWriter::Density(bool first, uint8_t mode, int64_t value) const
{
    return DensityOn(side, first, mode, value);
}

int32_t ZLineWriter::DensityOn(uint8_t onSide, bool first, uint8_t mode, int64_t value) const
{
    if (!FitsU16(value))
        return zerr::kZDensityValue;
    ProgramCommandBlock b = Block(kDensity);
    b.SetSystemByte(SystemByte(onSide));
    b.SetU8(9, first ? 1 : 0);
    b.SetU8(10, mode);
    b.SetU16(12, static_cast<uint16_t>(value));
    return Send(b);
}

int32_t ZLineWriter::PressJack(uint8_t value) const
{
    ProgramCommandBlock b = Block(kPressJack);
    b.SetU8(9, 1);
    b.SetU8(10, value);
    return Send(b);
}

int32_t ZLineWriter::Selection(uint8_t entry, const std::string& text) const
{
    ProgramCommandBlock b = Block(kSelection);
    b.SetU8(9, entry);
    b.SetText(text, 10, kSelectionText);
    return Send(b);
}

int32_t ZLineWriter::OFlags(uint8_t byte9, uint8_t byte10) const
{
    ProgramCommandBlock b = Block(kFlagO);
    b.SetU8(9, byte9);
    b.SetU8(10, byte10);
    return Send(b);
}

int32_t ZLineWriter::ReadSelection(uint8_t entry, std::string& text) const
{
    ProgramCommandBlock b = Block(kSelection, kRead);
    b.SetU8(9, entry);
    int32_t err = Send(b);
    text = err == 0 && b.Selector() != 0 ? b.Text(10, kSelectionText) : std::string();
    return err;
}

int32_t ZLineWriter::ReadDensity(bool first, uint8_t& mode, uint16_t& value) const
{
    ProgramCommandBlock b = Block(kDensity, kRead);
    b.SetU8(9, first ? 1 : 0);
    int32_t err = Send(b);
    mode = b.U8(10);
    value = b.U16(12);
    return err;
}
