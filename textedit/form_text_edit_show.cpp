#include "textedit/form_text_edit_show.h"

#include <QClipboard>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <array>

#include "kernel/ui/fonts.h"
#include "picture/core/contrast_colour.h"
#include "picture/frame_bild_kk.h"
#include "picture/mal_status_bar.h"
#include "picture/my_scroll_bar.h"
#include "picture/pane_paint_box.h"
#include "platform/codepage.h"
#include "platform/qt/vkeys.h"

namespace {

// Windows-1252 bytes as drawn: a control code shows as a blank.
const std::array<QChar, 256>& DrawnChars()
{
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(b)));
            const QString s = QString::fromStdString(utf8);
            t[static_cast<size_t>(b)] = b < 32 || s.isEmpty() ? QChar(' ') : s.at(0);
        }
        return t;
    }();
    return table;
}

// The bytes as drawn into out, less the blanks at their end: they leave no
// ink, and the row's fill has painted their cells already.
void Drawn(const std::string& bytes, QString& out)
{
    size_t end = bytes.size();
    while (end > 0 && static_cast<unsigned char>(bytes[end - 1]) <= 32)
        --end;
    out.resize(static_cast<qsizetype>(end));
    QChar* chars = out.data();
    for (size_t i = 0; i < end; ++i)
        chars[i] = DrawnChars()[static_cast<unsigned char>(bytes[i])];
}

KeyModifiers ModifiersOf(Qt::KeyboardModifiers m)
{
    return KeyModifiers{(m & Qt::ShiftModifier) != 0, (m & Qt::ControlModifier) != 0, (m & Qt::AltModifier) != 0};
}

} // namespace

TFormTextEditShow::TFormTextEditShow(QWidget* parent, const std::string& iniKey, FormRole role)
    : TFormBildKK(parent, iniKey, role)
{
    redrawEnabled = 0;
    splittingAllowed = 0;
    bottomAnchored = 0;
    const QFontMetrics metrics(EditorFont());
    cellWidth = static_cast<uint8_t>(std::clamp(metrics.horizontalAdvance(QLatin1Char('X')), 1, 255));
    cellHeight = static_cast<uint8_t>(std::clamp(metrics.height(), 1, 255));
    SetPictureWidth(256);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    setPalette(colours);
    setAutoFillBackground(true);
    PanelHintergrund->setAutoFillBackground(true);

    CaretTimer = new QTimer(this);
    CaretTimer->setObjectName("CaretTimer");
    CaretTimer->setInterval(350);
    connect(CaretTimer, &QTimer::timeout, this, &TFormTextEditShow::BlinkCaret);

    Pane(0)->ShowBild->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);

    // The mode and "Geändert" panels are as wide as their texts and a margin.
    const QFontMetrics status = StatusBar->fontMetrics();
    int modeWidth = 0;
    for (const std::string& mode : TextEditCore::ModeTexts())
        modeWidth = std::max(modeWidth, status.horizontalAdvance(QString::fromStdString(mode)));
    StatusBar->SetPanelWidth(1, modeWidth + 20);
    StatusBar->SetPanelWidth(2, status.horizontalAdvance(QString::fromStdString(T_MyStringList::ModifiedText())) + 20);

    core_ = std::make_unique<TextEditCore>(*this, *this);
    TextLaidOut();
    redrawEnabled = 1;
    ModeChanged();
    ShowCursorPos();
}

TFormTextEditShow::~TFormTextEditShow() = default;

const QFont& TFormTextEditShow::EditorFont()
{
    static const QFont font = [] {
        QFont f = MapFont(QStringLiteral("Courier"), 11);
        f.setFixedPitch(true);
        f.setStyleHint(QFont::Monospace, QFont::NoAntialias);
        return f;
    }();
    return font;
}

void TFormTextEditShow::SetSyntaxDisplay(bool on)
{
    core_->SetSyntaxDisplay(on);
    UpdateSymbolColours();
    RedrawTextRows(-1, -1, -1, -1);
}

void TFormTextEditShow::UpdateSymbolColours()
{
    std::array<SymbolColour, 256> colours{};
    const PaletteTable& p = Palette();
    auto rgb = [&p](uint8_t i) {
        return static_cast<uint32_t>(p.Red(i)) << 16 | static_cast<uint32_t>(p.Green(i)) << 8 | p.Blue(i);
    };
    for (int i = 0; i < 256; ++i) {
        const auto index = static_cast<uint8_t>(i);
        colours[static_cast<size_t>(i)] = SymbolColour{rgb(index), rgb(p.Contrast(index))};
    }
    core_->SetSymbolText(SymbolText());
    core_->SetSymbolColours(colours);
}

// --- status ---

void TFormTextEditShow::ShowCursorPos()
{
    const QString text = QString::fromStdString(core_->CursorText());
    // A long script's line numbers outgrow the picture window's 60 px: the
    // panel grows with them (and never shrinks back, so it does not jitter).
    const int needed = StatusBar->fontMetrics().horizontalAdvance(text) + 20;
    if (needed > StatusBar->PanelWidth(0))
        StatusBar->SetPanelWidth(0, needed);
    StatusBar->SetStatusText(0, text);
}

void TFormTextEditShow::FitStatusPanels()
{
    // The position panel shows column:line; the column runs one past the
    // longest line, the line up to the number of lines.
    const auto lines = core_ ? std::max<int32_t>(core_->Lines().Count(), PictureHeight()) : PictureHeight();
    StatusBar->FitPanel(0, QStringLiteral("%1:%2").arg(PictureWidth() + 1).arg(lines));
}

void TFormTextEditShow::ModeChanged()
{
    StatusBar->SetStatusText(1, QString::fromStdString(core_->ModeText()));
}

void TFormTextEditShow::ModifiedChanged(bool modified)
{
    StatusBar->SetStatusText(2, modified ? QString::fromStdString(T_MyStringList::ModifiedText()) : QString());
}

void TFormTextEditShow::EscapePressed()
{
    if (closeOnEsc)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

// --- geometry and scrolling ---

int32_t TFormTextEditShow::VisibleColumns() const
{
    return std::max(1, Pane(0)->ShowBild->width() / cellWidth);
}

int32_t TFormTextEditShow::VisibleTextRows() const
{
    return std::max(1, Pane(0)->ShowBild->height() / cellHeight);
}

int32_t TFormTextEditShow::TopLine() const
{
    const PictureGeometry g = Geometry(0);
    return std::max(0, PictureHeight() - (FirstVisibleRow() + g.visibleRows - 1));
}

TextViewGeometry TFormTextEditShow::Geometry() const
{
    TextViewGeometry g;
    g.firstColumn = Pane(0)->firstVisibleColumn;
    g.columns = VisibleColumns();
    g.topLine = TopLine();
    g.rows = VisibleTextRows();
    g.pageStep = std::max(1, g.rows - 1);
    g.vertMax = core_ ? std::max(0, core_->Lines().Count() - g.rows) : 0;
    return g;
}

void TFormTextEditShow::SetFirstColumn(int32_t column)
{
    // The bar's change handler scrolls the picture; an unmoved bar still
    // redraws, as the core expects after every call.
    if (Pane(0)->HorScrollBar->value() == column)
        RedrawTextRows(-1, -1, -1, -1);
    else
        SetBarPosition(Pane(0)->HorScrollBar, column);
}

void TFormTextEditShow::SetTopLine(int32_t line)
{
    // Bar position 1 shows line 0 at the top.
    if (VerScrollBar->value() == line + 1)
        RedrawTextRows(-1, -1, -1, -1);
    else
        SetBarPosition(VerScrollBar, line + 1);
}

bool TFormTextEditShow::LayOutText(int32_t topLine)
{
    const int32_t height = std::max(core_->Lines().Count(), VisibleTextRows());
    const bool grown = height != PictureHeight();
    const uint8_t enabled = redrawEnabled;
    redrawEnabled = 0;
    // The paint box may take its size after the window's resize.
    const bool stale = Pane(0)->keptImage.size() != Pane(0)->ShowBild->size() ||
                       VerScrollBar->maximum() != Geometry(0).VerticalRange().maximum;
    if (grown)
        SetPictureRows(height);
    else if (stale)
        UpdateScrollRanges();
    {
        // The picture window puts row 1 at the bottom; the text keeps its top line.
        const QSignalBlocker block(VerScrollBar);
        SetBarPosition(VerScrollBar, topLine + 1);
    }
    redrawEnabled = enabled;
    ApplyScrollPosition();
    return grown || stale || TopLine() != topLine;
}

void TFormTextEditShow::TextLaidOut()
{
    if (!core_)
        return;
    if (LayOutText(TopLine()))
        RedrawTextRows(-1, -1, -1, -1);
}

// --- drawing ---

void TFormTextEditShow::ChooseRenderMode(uint8_t& mode, uint8_t& symbolFlag, uint8_t& gridFlag, uint8_t&, uint8_t,
                                         uint8_t)
{
    mode = 7;
    symbolFlag = 0;
    gridFlag = 0;
}

void TFormTextEditShow::GetDisplayCell(uint16_t, uint16_t, uint32_t& shown, uint8_t& reference, uint8_t& combined)
{
    shown = 0;
    reference = 0;
    combined = 0;
}

QColor TFormTextEditShow::Colour(const TextColour& colour) const
{
    switch (colour.role) {
    case ColourRole::Window:
        return palette().color(QPalette::Base);
    case ColourRole::WindowText:
        return palette().color(QPalette::Text);
    case ColourRole::Highlight:
        return palette().color(QPalette::Highlight);
    case ColourRole::HighlightText:
        return palette().color(QPalette::HighlightedText);
    default:
        return QColor::fromRgb(colour.rgb);
    }
}

void TFormTextEditShow::DrawRowsCustom(const BandRequest& band)
{
    QImage target(reinterpret_cast<uchar*>(band.target.pixels), band.target.width, band.target.height,
                  static_cast<qsizetype>(band.target.stride) * 4, QImage::Format_RGB32);
    QPainter painter(&target);
    painter.setFont(EditorFont());
    const int ascent = QFontMetrics(EditorFont()).ascent();
    const int32_t count = core_->Lines().Count();
    const int32_t topLine = PictureHeight() - (band.firstRow + band.rows - 1);
    core_->ResetPreviousChar();
    CharState state = core_->LineSyntaxState(topLine - 1);
    QString drawn;
    // One fill of the whole band: filling row by row before each row's text
    // costs the glyph blits, which bypass the cache, far more than the fill.
    painter.fillRect(band.leftPixel, band.topPixel, band.columns * band.cellWidth, band.rows * band.cellHeight,
                     Colour(kWindowColour));
    for (int32_t r = 0; r < band.rows; ++r) {
        const int32_t line = topLine + r;
        const int y = band.topPixel + r * band.cellHeight;
        if (line < 0 || line >= count)
            continue;
        for (const TextRun& run : core_->RowRuns(line, band.firstColumn, band.columns, state)) {
            const QRect cells(band.leftPixel + run.offset * band.cellWidth, y,
                              static_cast<int>(run.text.size()) * band.cellWidth, band.cellHeight);
            const bool selected = run.colours.selected;
            if (selected || !(run.colours.background == kWindowColour))
                painter.fillRect(cells, Colour(selected ? kHighlightColour : run.colours.background));
            Drawn(run.text, drawn);
            if (drawn.isEmpty())
                continue;
            painter.setPen(Colour(selected ? kHighlightTextColour : run.colours.text));
            painter.drawText(cells.left(), y + ascent, drawn);
        }
    }
}

void TFormTextEditShow::RedrawTextRows(int32_t, int32_t firstLine, int32_t lastLine, int32_t)
{
    if (!core_ || !redrawEnabled || !isVisible())
        return;
    // Whole lines: a line's colours depend on what stands left of the change.
    if (firstLine < 0 || lastLine < 0)
        RedrawCells();
    else
        RedrawCells(1, RowOfLine(lastLine), PictureWidth(), RowOfLine(firstLine));
}

// --- caret ---

QRect TFormTextEditShow::CaretRect() const
{
    const int32_t x = (core_->CursorColumn() - Pane(0)->firstVisibleColumn) * cellWidth;
    const int32_t row = core_->CursorLine() - TopLine();
    if (x < 0 || row < 0 || x >= Pane(0)->ShowBild->width() || row >= VisibleTextRows())
        return {};
    const int width = core_->InsertMode() ? 3 : cellWidth;
    const int height = core_->ReadOnly() ? 4 : cellHeight;
    return QRect(x, row * cellHeight + cellHeight - height, width, height);
}

void TFormTextEditShow::ShowBildPaint(TFrameBildKK* pane, QPainter& painter, const QRect& rect)
{
    TFormBildKK::ShowBildPaint(pane, painter, rect);
    if (!core_ || !caretPhase_ || !caretShown_)
        return;
    const QRect caret = CaretRect();
    if (caret.isEmpty() || !caret.intersects(rect))
        return;
    // The caret stands out from the cell it is on: white on a dark cell.
    const QPoint cell(caret.left(), caret.bottom() + 1 - cellHeight);
    const QRgb under = pane->keptImage.valid(cell) ? pane->keptImage.pixel(cell) : qRgb(255, 255, 255);
    const uint32_t packed = static_cast<uint32_t>(qRed(under)) | static_cast<uint32_t>(qGreen(under)) << 8 |
                            static_cast<uint32_t>(qBlue(under)) << 16;
    painter.fillRect(caret, (ContrastColourRGB(packed) & 0xffffff) == 0xffffff ? Qt::white : Qt::black);
}

void TFormTextEditShow::UpdateCaret()
{
    const QRect caret = CaretRect();
    if (!caret.isEmpty())
        Pane(0)->ShowBild->update(caret.left(), caret.bottom() + 1 - cellHeight, cellWidth, cellHeight);
}

void TFormTextEditShow::HideCaret()
{
    if (core_)
        UpdateCaret();
    caretShown_ = false;
}

void TFormTextEditShow::ShowCaret()
{
    caretShown_ = true;
    UpdateCaret();
}

void TFormTextEditShow::BlinkCaret()
{
    SetCaretPhase(!caretPhase_);
}

void TFormTextEditShow::SetCaretPhase(bool on)
{
    caretPhase_ = on;
    UpdateCaret();
}

// --- keys and mouse ---

bool TFormTextEditShow::ClaimsKey(const QKeyEvent* event) const
{
    return core_ && core_->ClaimsKey(VirtualKeyFromQt(event->key(), event->modifiers()), ModifiersOf(event->modifiers()));
}

bool TFormTextEditShow::FormShortCut(const QKeyEvent* event)
{
    return core_->KeyDown(VirtualKeyFromQt(event->key(), event->modifiers()), ModifiersOf(event->modifiers()));
}

uint8_t TFormTextEditShow::HandleKey(char32_t c)
{
    const std::string bytes = Utf8ToCp1252(QString::fromUcs4(&c, 1).toStdString());
    // A character Windows-1252 lacks comes back as "?": it is not typed.
    if (bytes.size() == 1 && (bytes[0] != '?' || c == U'?'))
        core_->HandleKey(static_cast<uint8_t>(bytes[0]));
    return 1;
}

void TFormTextEditShow::ShowBildMouseDown(TFrameBildKK* pane, QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        setFocus();
    TFormBildKK::ShowBildMouseDown(pane, event);
}

void TFormTextEditShow::CellEvent()
{
    // Only the plain left button places the cursor and drags a selection;
    // the picture window scrolls at the pane's edges while it is down.
    const bool pressed = buttonState == 1;
    if (pressed)
        core_->MouseCell(currentCellX, currentCellY, !dragging_);
    dragging_ = pressed;
}

// --- window events ---

void TFormTextEditShow::resizeEvent(QResizeEvent* event)
{
    if (!core_) {
        TFormBildKK::resizeEvent(event);
        return;
    }
    // The picture window would keep row 1 at the bottom; the text keeps its top line.
    const int32_t top = TopLine();
    const uint8_t enabled = redrawEnabled;
    redrawEnabled = 0;
    TFormBildKK::resizeEvent(event);
    redrawEnabled = enabled;
    LayOutText(top);
    RedrawTextRows(-1, -1, -1, -1);
}

void TFormTextEditShow::showEvent(QShowEvent* event)
{
    TFormBildKK::showEvent(event);
    TextLaidOut();
    RedrawTextRows(-1, -1, -1, -1);
    ShowCursorPos();
}

void TFormTextEditShow::changeEvent(QEvent* event)
{
    TFormBildKK::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow()) {
        caretShown_ = true;
        CaretTimer->start();
        RedrawTextRows(-1, -1, -1, -1);
    } else {
        CaretTimer->stop();
        HideCaret();
    }
}

// --- clipboard ---

std::string TFormTextEditShow::GetText()
{
    QString text = QGuiApplication::clipboard()->text();
    if (text.size() > static_cast<qsizetype>(TextEditCore::kMaxPaste))
        text.truncate(static_cast<qsizetype>(TextEditCore::kMaxPaste));
    return Utf8ToCp1252(text.toStdString());
}

void TFormTextEditShow::SetText(const std::string& bytes)
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(Cp1252ToUtf8(bytes)));
}
