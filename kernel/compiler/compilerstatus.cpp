#include "kernel/compiler/compilerstatus.h"

#include <cstdio>

#include "kernel/kernel_host.h"
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
    host.infoLine(kTextLine, Cp1252ToUtf8(text.substr(0, kProgressTextLength)));
    char number[16];
    std::snprintf(number, sizeof number, "%4d", static_cast<int>(current));
    host.infoLine(kCountLine, number);
}
