#pragma once
// A text view of fixed size and a clipboard that record what the text
// editing core asks of them, for the tests and text_probe.
#include <cstdint>
#include <string>
#include <vector>

#include "textedit/core/text_clipboard.h"
#include "textedit/core/text_view_port.h"

class T_MyStringList;

struct RedrawRequest {
    int32_t firstColumn, firstLine, lastLine, lastColumn;
    bool operator==(const RedrawRequest&) const = default;
};

class RecordingTextView : public TextViewPort {
public:
    // The page step is one row less than the view.
    RecordingTextView(int32_t columns = 120, int32_t rows = 40);
    // The scroll range follows the number of lines of this store.
    void Attach(const T_MyStringList* lines) { lines_ = lines; }

    TextViewGeometry Geometry() const override;
    void SetFirstColumn(int32_t column) override { firstColumn = column; }
    void SetTopLine(int32_t line) override { topLine = line; }
    bool Visible() const override { return visible; }
    void RedrawTextRows(int32_t firstColumn, int32_t firstLine, int32_t lastLine, int32_t lastColumn) override;
    void HideCaret() override { caretShown = false; }
    void ShowCaret() override { caretShown = true; }
    void CursorMoved() override { ++cursorNotices; }
    void ModeChanged() override { ++modeNotices; }
    void ModifiedChanged(bool value) override { modified.push_back(value); }
    void TextLaidOut() override { ++layouts; }
    void EscapePressed() override { ++escapes; }

    int32_t columns;
    int32_t rows;
    int32_t firstColumn = 1;
    int32_t topLine = 0;
    bool visible = true;
    bool caretShown = true;
    std::vector<RedrawRequest> redraws;
    std::vector<bool> modified;
    int cursorNotices = 0;
    int modeNotices = 0;
    int layouts = 0;
    int escapes = 0;

private:
    const T_MyStringList* lines_ = nullptr;
};

class RecordingClipboard : public TextClipboard {
public:
    std::string GetText() override { return text; }
    void SetText(const std::string& bytes) override
    {
        text = bytes;
        ++sets;
    }

    std::string text;
    int sets = 0;
};
