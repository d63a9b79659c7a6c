#pragma once
// The cell of every list window: a raised panel with a 32-bit value beside
// its text, whose every assignment is reported, and a symbol mode that
// draws each character in the colours of its pattern symbol. A QWidget, not
// a label, so that translating a window never touches cell values.
#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

class TPanelColor : public QWidget {
    Q_OBJECT
public:
    explicit TPanelColor(QWidget* parent = nullptr);

    uint32_t LongTag() const { return longTag_; }
    // Stores the value and calls the handler, also when the value is the same.
    void SetLongTag(uint32_t value);
    std::function<void(TPanelColor&)> OnLongTagChanged;

    // 0: plain text; 1: every character in its symbol colours.
    uint8_t SymbolMode() const { return symbolMode_; }
    void SetSymbolMode(uint8_t mode);
    // The symbol colour table (7-byte records); nullptr for none.
    void SetColourTable(const std::string* table);

    QString Text() const { return text_; }
    void SetText(const QString& text);
    void SetAlignment(Qt::Alignment alignment);
    Qt::Alignment Alignment() const { return alignment_; }
    void SetColours(const QColor& text, const QColor& background);
    QColor TextColour() const { return textColour_; }
    QColor Background() const { return background_; }
    void SetBevel(bool raised);

    // Where the cell stands in its window and what its row shows.
    int Row = 0;
    int Column = 0;
    int Line = 0;
    bool ReadOnly = false;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void DrawSymbols(class QPainter& painter, const QRect& inside);

    uint32_t longTag_ = 0;
    uint8_t symbolMode_ = 0;
    const std::string* colourTable_ = nullptr;
    QString text_;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    QColor textColour_ = Qt::black;
    QColor background_ = QColor(192, 192, 192);
    bool bevel_ = true;
};
