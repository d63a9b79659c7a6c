#include "textedit/tformtexteditshow.h"

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
#include "pattern/core/contrast_colour.h"
#include "pattern/mal_status_bar.h"
#include "pattern/pane_paint_box.h"
#include "pattern/t_frame_bild_kk.h"
#include "pattern/t_my_scroll_bar.h"
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

QString Drawn(const std::string& bytes)
{
    QString s(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    for (size_t i = 0; i < bytes.size(); ++i)
        s[static_cast<qsizetype>(i)] = DrawnChars()[static_cast<unsigned char>(bytes[i])];
    return s;
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

    PanePaintBox* box = Pane(0)->ShowBild;
    box->setCursor(Qt::IBeamCursor);
    connect(box, &PanePaintBox::mouseMoved, this, [this](QMouseEvent* e) {
        if (dragging_ && (e->buttons() & Qt::LeftButton))
            MouseAt(e, false);
    });
    connect(box, &PanePaintBox::mouseReleased, this, [this] { dragging_ = false; });
    setFocusPolicy(Qt::StrongFocus);

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
    StatusBar->SetStatusText(0, QString::fromStdString(core_->CursorText()));
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

TextViewGeometry TFormTextEditShow::Geometry() const
{
    TextViewGeometry g;
    g.firstColumn = Pane(0)->firstVisibleColumn;
    g.columns = VisibleColumns();
    g.topLine = topLine_;
    g.rows = VisibleTextRows();
    g.pageStep = std::max(1, g.rows - 1);
    g.vertMax = core_ ? std::max(0, core_->Lines().Count() - g.rows) : 0;
    return g;
}

void TFormTextEditShow::SetFirstColumn(int32_t column)
{
    Pane(0)->firstVisibleColumn = column;
    const QSignalBlocker block(Pane(0)->HorScrollBar);
    Pane(0)->HorScrollBar->setValue(column);
    RedrawTextRows(-1, -1, -1, -1);
}

void TFormTextEditShow::SetTopLine(int32_t line)
{
    topLine_ = line;
    const QSignalBlocker block(VerScrollBar);
    VerScrollBar->setValue(line);
    RedrawTextRows(-1, -1, -1, -1);
}

void TFormTextEditShow::ScrollBarChange(T_MyScrollBar* bar)
{
    if (bar == VerScrollBar)
        topLine_ = bar->value();
    else
        Pane(0)->firstVisibleColumn = std::max(1, bar->value());
    RedrawTextRows(-1, -1, -1, -1);
}

void TFormTextEditShow::TextLaidOut()
{
    if (!core_)
        return;
    const TextViewGeometry g = Geometry();
    {
        const QSignalBlocker block(VerScrollBar);
        SetPictureHeight(static_cast<uint16_t>(std::min(core_->Lines().Count(), 65535)));
        VerScrollBar->setRange(g.vertMin, g.vertMax);
        VerScrollBar->setPageStep(g.pageStep);
        topLine_ = std::clamp(topLine_, g.vertMin, g.vertMax);
        VerScrollBar->setValue(topLine_);
    }
    T_MyScrollBar* hor = Pane(0)->HorScrollBar;
    const QSignalBlocker block(hor);
    hor->setRange(g.horzMin, std::max(g.horzMin, g.horzMax - g.columns + 1));
    hor->setPageStep(g.columns);
    Pane(0)->firstVisibleColumn = std::clamp(Pane(0)->firstVisibleColumn, hor->minimum(), hor->maximum());
    hor->setValue(Pane(0)->firstVisibleColumn);
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
    const int32_t topRow = band.firstRow + band.rows - 1;
    core_->ResetPreviousChar();
    CharState state = core_->LineSyntaxState(count - topRow - 1);
    for (int32_t r = 0; r < band.rows; ++r) {
        const int32_t line = count - (topRow - r);
        const int y = r * band.cellHeight;
        if (line < 0 || line >= count) {
            painter.fillRect(0, y, band.columns * band.cellWidth, band.cellHeight, Colour(kWindowColour));
            continue;
        }
        for (const TextRun& run : core_->RowRuns(line, band.firstColumn, band.columns, state)) {
            const QRect cells(run.offset * band.cellWidth, y, static_cast<int>(run.text.size()) * band.cellWidth,
                              band.cellHeight);
            const bool selected = run.colours.selected;
            painter.fillRect(cells, Colour(selected ? kHighlightColour : run.colours.background));
            painter.setPen(Colour(selected ? kHighlightTextColour : run.colours.text));
            painter.drawText(cells.left(), y + ascent, Drawn(run.text));
        }
    }
}

void TFormTextEditShow::RenderLines(int32_t firstLine, int32_t lastLine)
{
    TFrameBildKK* pane = Pane(0);
    const QSize size = pane->ShowBild->size();
    if (size.isEmpty())
        return;
    if (pane->keptImage.size() != size) {
        pane->keptImage = QImage(size, QImage::Format_RGB32);
        firstLine = -1;
    }
    const int32_t rows = (size.height() + cellHeight - 1) / cellHeight;
    const int32_t count = core_->Lines().Count();
    if (firstLine < 0) {
        // The rows cover the pane's width; only below the text is bare.
        const int textBottom = std::max(0, count - topLine_) * cellHeight;
        if (textBottom < size.height()) {
            QPainter painter(&pane->keptImage);
            painter.fillRect(0, textBottom, size.width(), size.height() - textBottom, Colour(kWindowColour));
        }
        firstLine = topLine_;
        lastLine = topLine_ + rows - 1;
    }
    firstLine = std::max(firstLine, topLine_);
    lastLine = std::min({lastLine, topLine_ + rows - 1, count - 1});
    if (lastLine < firstLine)
        return;
    BandRequest band;
    band.firstColumn = pane->firstVisibleColumn;
    band.columns = (size.width() + cellWidth - 1) / cellWidth;
    band.rows = lastLine - firstLine + 1;
    band.firstRow = count - lastLine;
    band.topPixel = (firstLine - topLine_) * cellHeight;
    band.cellWidth = cellWidth;
    band.cellHeight = cellHeight;
    band.target.pixels = reinterpret_cast<uint32_t*>(pane->keptImage.scanLine(band.topPixel));
    band.target.width = size.width();
    band.target.height = std::min(size.height() - band.topPixel, band.rows * cellHeight);
    band.target.stride = static_cast<int32_t>(pane->keptImage.bytesPerLine() / 4);
    DrawRowsCustom(band);
}

void TFormTextEditShow::RedrawTextRows(int32_t, int32_t firstLine, int32_t lastLine, int32_t)
{
    if (!core_ || !redrawEnabled || !isVisible())
        return;
    if (firstLine < 0 || lastLine < 0)
        RenderLines(-1, -1);
    else
        RenderLines(firstLine, lastLine);
    RedrawCells();
}

// --- caret ---

QRect TFormTextEditShow::CaretRect() const
{
    const int32_t x = (core_->CursorColumn() - Pane(0)->firstVisibleColumn) * cellWidth;
    const int32_t row = core_->CursorLine() - topLine_;
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

bool TFormTextEditShow::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && core_) {
        // The text's key table decides, not the picture's: a key the text
        // does not take stays a shortcut of the menus.
        auto* key = static_cast<QKeyEvent*>(event);
        if (core_->ClaimsKey(VirtualKeyFromQt(key->key(), key->modifiers()), ModifiersOf(key->modifiers()))) {
            key->accept();
            return true;
        }
        return QWidget::event(event);
    }
    return TFormBildKK::event(event);
}

void TFormTextEditShow::keyPressEvent(QKeyEvent* event)
{
    const int key = VirtualKeyFromQt(event->key(), event->modifiers());
    if (FormShortCut(key, ModifiersOf(event->modifiers()))) {
        event->accept();
        return;
    }
    const QString text = event->text();
    if (text.isEmpty()) {
        TFormBildKK::keyPressEvent(event);
        return;
    }
    for (char32_t c : text.toUcs4())
        HandleKey(c);
    event->accept();
}

uint8_t TFormTextEditShow::HandleKey(char32_t c)
{
    const std::string bytes = Utf8ToCp1252(QString::fromUcs4(&c, 1).toStdString());
    // A character Windows-1252 lacks comes back as "?": it is not typed.
    if (bytes.size() == 1 && (bytes[0] != '?' || c == U'?'))
        core_->HandleKey(static_cast<uint8_t>(bytes[0]));
    return 1;
}

void TFormTextEditShow::ShowBildMouseDown(TFrameBildKK*, QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || (event->modifiers() & Qt::ControlModifier))
        return;
    setFocus();
    dragging_ = true;
    MouseAt(event, true);
}

void TFormTextEditShow::MouseAt(QMouseEvent* event, bool first)
{
    const QPoint at = event->position().toPoint();
    const int32_t column = Pane(0)->firstVisibleColumn + std::max(0, at.x()) / cellWidth;
    const int32_t row = std::max(0, at.y()) / cellHeight;
    const int32_t count = core_->Lines().Count();
    const int32_t rows = VisibleTextRows();
    // Cell rows count upward; a text shorter than the pane stands at its top.
    const int32_t cellRow = count < rows ? rows - row : count - (topLine_ + row);
    core_->MouseCell(column, cellRow, first);
}

// --- window events ---

void TFormTextEditShow::resizeEvent(QResizeEvent* event)
{
    TFormBildKK::resizeEvent(event);
    if (!core_)
        return;
    TextLaidOut();
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
