#pragma once
// The clipboard as the text editing core sees it: plain text as Windows-1252
// bytes with CR LF line ends.
#include <string>

class TextClipboard {
public:
    virtual ~TextClipboard() = default;
    virtual std::string GetText() = 0;
    virtual void SetText(const std::string& bytes) = 0;
};
