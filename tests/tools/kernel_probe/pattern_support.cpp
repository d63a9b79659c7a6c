#include "tests/tools/kernel_probe/pattern_support.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "kernel/model/programmodel.h"

WarningCapture::WarningCapture() : inner_(kernelHost())
{
    setKernelHost(this);
}

WarningCapture::~WarningCapture()
{
    setKernelHost(&inner_);
}

int WarningCapture::messageDlg(const std::string& text, MsgKind kind, MsgButtons buttons)
{
    if (kind == MsgKind::Warning)
        warning_ = text;
    return inner_.messageDlg(text, kind, buttons);
}

void WarningCapture::infoShow(const std::string& caption, const std::vector<std::string>& labels)
{
    inner_.infoShow(caption, labels);
}

void WarningCapture::infoLine(int line, const std::string& text)
{
    inner_.infoLine(line, text);
}

bool WarningCapture::infoAbortRequested()
{
    return inner_.infoAbortRequested();
}

void WarningCapture::infoHide()
{
    inner_.infoHide();
}

void WarningCapture::processEvents()
{
    inner_.processEvents();
}

std::string WarningCapture::lastWarning() const
{
    std::string text = warning_;
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

int PrintWarningError(const WarningCapture& capture)
{
    std::cout << "ERROR " << capture.lastWarning() << "\n";
    return 1;
}

std::string PlaneSummary()
{
    const uint16_t width = ProgrammKopf.Width();
    const uint16_t height = ProgrammKopf.Height();
    uint64_t hash = 0xcbf29ce484222325ull;
    std::vector<uint8_t> row(width);
    for (uint32_t y = 1; y <= height; ++y) {
        P_ReadPatroneRow(static_cast<uint16_t>(y), row.data(), width, 0);
        for (uint8_t b : row) {
            hash ^= b;
            hash *= 0x100000001b3ull;
        }
    }
    char text[64];
    std::snprintf(text, sizeof text, "%u %u %016llx", unsigned(width), unsigned(height),
                  static_cast<unsigned long long>(hash));
    return text;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}
