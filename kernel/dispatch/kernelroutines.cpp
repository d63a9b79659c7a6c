#include "kernel/dispatch/kernelroutines.h"

#include <filesystem>
#include <system_error>

#include "kernel/dispatch/dispatcher.h"
#include "kernel/dispatch/kernel_host.h"
#include "kernel/language/language.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programcommandblock.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/services.h"
#include "platform/codepage.h"
#include "platform/paths.h"

namespace {
constexpr size_t kCommentCap = 80;
}  // namespace

std::string SignedPaddedText(int32_t value, int width, bool withSign)
{
    if (withSign)
        return F_SignedZeroPadNum(value, width);
    const int64_t v = value;
    std::string digits = std::to_string(v < 0 ? -v : v);
    if (width > 0 && digits.size() < static_cast<size_t>(width))
        digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
    return digits;
}

std::string DosUpperCase(std::string text)
{
    for (char& ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 'a' && c <= 'z')
            ch = static_cast<char>(c - 'a' + 'A');
        else if (c == 0x81)
            ch = static_cast<char>(0x9A);
        else if (c == 0x84)
            ch = static_cast<char>(0x8E);
        else if (c == 0x94)
            ch = static_cast<char>(0x99);
    }
    return text;
}

bool CreateFolderFor(const std::string& storedPath)
{
    return CreateFolderForPath(Cp1252ToUtf8(storedPath));
}

bool CreateFolderForPath(const std::string& path)
{
    const std::string folder = FolderPart(path);
    if (folder.empty())
        return true;
    const std::string native = NormalizePath(folder);
    std::error_code ec;
    std::filesystem::create_directories(native, ec);
    return !ec;
}

uint16_t ClearList(int list)
{
    if (T_ListenVar* l = ListByNumber(list)) {
        l->SetCount(0);
    } else if (list == 10 || list == 12) {
        RuestSchema.clear();
        uint8_t* r = RuestSchema.data();
        r[T_RuestSchema::kLevel] = 1;
        put_u16(r, T_RuestSchema::kFfMin, 4);
        put_u16(r, T_RuestSchema::kFfMax, 100);
        r[T_RuestSchema::kFfDis] = 2;
    }
    return 0;
}

uint16_t ReInitLine(int list, uint16_t line)
{
    // One block serves every call (the handlers re-initialise a line without
    // dispatching again): a block made afresh costs more to clear than the
    // line does.
    static ProgramCommandBlock block;
    ZeroBytes<ProgramCommandBlock::kSize>(block.data());
    block.SetCode(static_cast<uint8_t>(list));
    block.SetSub(5);
    block.SetLine(line);
    CallListHandler(list, block, 5);
    return 0;
}

uint16_t CommentPut(int list, uint16_t line, std::string_view text)
{
    T_ListenVar* l = ListByNumber(list);
    const int off = CommentOffset(list);
    if (l && off >= 0)
        WriteShortText(l->GetLine(line), static_cast<size_t>(off), kCommentCap, text);
    return 0;
}

uint16_t CommentGet(int list, uint16_t line, std::string& text)
{
    T_ListenVar* l = ListByNumber(list);
    const int off = CommentOffset(list);
    if (l && off >= 0)
        text = ReadShortString(l->GetLine(line), static_cast<size_t>(off), kCommentCap);
    return 0;
}

uint16_t SetSelectorLevel(uint8_t level, const ProgramCommandBlock& block)
{
    if (level == ZrVar.Level)
        return 0;
    ProgramCommandBlock copy = block;
    copy.SetCode(12);
    copy.SetSub(2);
    copy.SetSelector(34);
    copy.SetU8(ProgramCommandBlock::kData, level);
    return ProgramDispatch(copy);
}

void ProgressLine(int32_t /*step*/, int32_t /*total*/, const std::string& text, int32_t value)
{
    KernelHost& host = kernelHost();
    host.infoLine(3, F_TRANS(text));
    host.infoLine(4, F_ZeroPadNum(value, 4));
}

void JobProgress::SetText(std::string_view text)
{
    translated_ = F_TRANS(std::string(text));
}

void JobProgress::Line(int32_t /*step*/, int32_t /*total*/, int32_t value)
{
    KernelHost& host = kernelHost();
    host.infoLine(3, translated_);
    // At least four digits, as F_ZeroPadNum gives them, kept between calls:
    // records are counted one by one, so mostly the last digit just counts up.
    if (value_ >= 0 && value == int64_t{value_} + 1 && number_.back() != '9') {
        ++number_.back();
        value_ = value;
        host.infoLine(4, number_);
        return;
    }
    NewNumber(value);
    host.infoLine(4, number_);
}

[[gnu::noinline]] void JobProgress::NewNumber(int32_t value)
{
    if (value < 0) {
        number_ = F_ZeroPadNum(value, 4);
        value_ = -1;
        return;
    }
    if (value_ >= 0 && value == int64_t{value_} + 1) {
        // A carry: the nines become zeros, the digit before them counts up.
        size_t i = number_.size();
        while (i > 0 && number_[i - 1] == '9')
            number_[--i] = '0';
        if (i == 0)
            number_.insert(number_.begin(), '1');
        else
            ++number_[i - 1];
    } else {
        auto rest = static_cast<uint32_t>(value);
        size_t length = 4;
        for (uint32_t high = rest / 10000; high != 0; high /= 10)
            ++length;
        number_.resize(length);
        for (size_t i = length; i-- > 0; rest /= 10)
            number_[i] = static_cast<char>('0' + rest % 10);
    }
    value_ = value;
}

void StatusText(const std::string& text)
{
    kernelHost().statusText(text);
}
