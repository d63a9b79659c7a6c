#include "kernel/compiler/compilerstatus.h"

#include <string>
#include <string_view>

#include "kernel/dispatch/kernel_host.h"
#include "platform/codepage.h"

namespace {
constexpr size_t kProgressTextLength = 80;
constexpr int kTextLine = 3;
constexpr int kCountLine = 4;
}  // namespace

void ShowCompilerStatus(const std::string& text)
{
    KernelHost& host = kernelHost();
    host.progressStatus(text);
    host.processEvents();
}

void ShowCompilerProgress(const std::string& text, int32_t /*total*/, int32_t current)
{
    KernelHost& host = kernelHost();
    host.infoLine(kTextLine, Cp1252ToUtf8(std::string_view(text).substr(0, kProgressTextLength)));
    // The row count comes for every row: formatted by hand, right-aligned in 4.
    std::string number = std::to_string(current);
    if (number.size() < 4)
        number.insert(0, 4 - number.size(), ' ');
    host.infoLine(kCountLine, number);
}
