#include "picture/form_bild_kk.h"

#include <QCloseEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "kernel/services/services.h"
#include "kernel/ui/my_hint_window.h"
#include "kernel/ui/translate_form.h"
#include "kernel/ui/shell_values.h"
#include "picture/activate_main_form.h"
#include "picture/crosshair_cursor.h"
#include "picture/frame_bild_kk.h"
#include "picture/mal_status_bar.h"
#include "picture/my_scroll_bar.h"
#include "picture/pane_paint_box.h"
#include "picture/screen_placement.h"
#include "platform/ini_profile.h"
#include "platform/paths.h"

namespace {

constexpr int kContainerButtonWidth = 60;
constexpr int kTabsLeft = 5;
constexpr int kTabHeight = 24;
const QString kTabHint = QStringLiteral("\"LT\" Ebene Stufe h\u00f6her\u00bf\"RT\" Ebene ein oder aus");

QWidget* Panel(QWidget* parent, const char* name, int tag = 0)
{
    auto* w = new QWidget(parent);
    w->setObjectName(name);
    w->setProperty("Tag", tag);
    return w;
}

struct TabStyle {
    int top;
    bool yellow;
    bool bold;
    bool raised;
};

TabStyle StyleOf(uint8_t state)
{
    switch (state) {
    case 2:
        return {2, true, true, false};
    case 3:
        return {0, true, true, true};
    default:
        return {6, false, false, false};
    }
}

}  // namespace

TFormBildKK::TFormBildKK(QWidget* parent, const std::string& iniKey, FormRole role)
    : QWidget(parent, Qt::Window), iniFileName(IniFilePath()), iniKey_(iniKey)
{
    setWindowTitle(QStringLiteral(" "));
    setMinimumSize(100, 100);
    setFocusPolicy(Qt::StrongFocus);
    clock = [] {
        static QElapsedTimer monotonic = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return static_cast<int64_t>(monotonic.elapsed());
    };
    pointerPosition = [] { return QCursor::pos(); };
    CreateComponents();
    frames_.push_back(CreatePane(0));
    RegisterForm(this, role);
    LayOut();
    // A new window shows row 1 at the bottom.
    VerScrollBar->setValue(VerScrollBar->maximum());
    ReadPlacement();
}

TFormBildKK::~TFormBildKK()
{
    if (!workBitmapFile.empty()) {
        std::error_code ec;
        std::filesystem::remove(NormalizePath(workBitmapFile), ec);
    }
    WritePlacement();
}

void TFormBildKK::CreateComponents()
{
    PanelToolBar = Panel(this, "PanelToolBar");
    auto* tabs = new QFrame(this);
    tabs->setObjectName("PanelRegisterGrund");
    tabs->setProperty("Tag", 0);
    QFont bold = tabs->font();
    bold.setBold(true);
    tabs->setFont(bold);
    PanelRegisterGrund = tabs;
    PanelHintergrund = Panel(this, "PanelHintergrund");
    PanelVerScrollBar = Panel(this, "PanelVerScrollBar");
    VerScrollBar = new T_MyScrollBar(Qt::Vertical, PanelVerScrollBar);
    VerScrollBar->setObjectName("VerScrollBar");
    PanelVerScrollBarBottom = Panel(PanelVerScrollBar, "PanelVerScrollBarBottom");
    PanelZoomGrund = Panel(this, "PanelZoomGrund", 18);
    PanelHintergrundMalStatusBar = Panel(this, "PanelHintergrundMalStatusBar");
    PanelContainerButton = Panel(PanelHintergrundMalStatusBar, "PanelContainerButton");
    StatusBar = new MalStatusBar(PanelHintergrundMalStatusBar);
    StatusBar->setProperty("Tag", 0);
    FitStatusPanels();
    // Empty until a subclass gives them content: tool bar, tabs, zoom bar.
    PanelToolBar->resize(0, 0);
    PanelRegisterGrund->resize(0, 0);
    PanelZoomGrund->resize(0, 0);
    connect(VerScrollBar, &QScrollBar::valueChanged, this, [this] { ScrollBarChange(VerScrollBar); });

    TimerCursorInsideTest = new QTimer(this);
    TimerCursorInsideTest->setObjectName("TimerCursorInsideTest");
    TimerCursorInsideTest->setInterval(50);
    TimerCursorInsideTest->start();
    connect(TimerCursorInsideTest, &QTimer::timeout, this, &TFormBildKK::CursorInsideTest);
    TimerHint = new QTimer(this);
    TimerHint->setObjectName("TimerHint");
    TimerHint->setInterval(100);
    TimerHint->setSingleShot(true);
    connect(TimerHint, &QTimer::timeout, this, &TFormBildKK::TimerHintTimer);
    HintWindow = new T_MyHintWindow(this);

    // The end of a move or resize: once the window manager is done with it.
    moveEnd_ = new QTimer(this);
    moveEnd_->setSingleShot(true);
    moveEnd_->setInterval(0);
    connect(moveEnd_, &QTimer::timeout, this, &TFormBildKK::EndMoveOrSize);
}

TFrameBildKK* TFormBildKK::CreatePane(int index)
{
    auto* pane = new TFrameBildKK(index, PanelHintergrund);
    pane->ShowBild->setCursor(LoadCrosshairCursor());
    connect(pane, &TFrameBildKK::splitHere, this, [this, pane](int x) { SplitPane(pane->Index(), x); });
    connect(pane, &TFrameBildKK::joinHere, this, [this, pane] { JoinPane(pane->Index()); });
    connect(pane, &TFrameBildKK::splitterDragged, this, [this, pane](int dx) {
        panes_.MoveSplitter(pane->Index(), panes_.Width(pane->Index()) + dx);
        LayOutPanes();
    });
    connect(pane->HorScrollBar, &QScrollBar::valueChanged, this, [this, pane] { ScrollBarChange(pane->HorScrollBar); });
    connect(pane->ShowBild, &PanePaintBox::painting, this,
            [this, pane](QPainter& painter, const QRect& rect) { ShowBildPaint(pane, painter, rect); });
    connect(pane->ShowBild, &PanePaintBox::mousePressed, this,
            [this, pane](QMouseEvent* event) { ShowBildMouseDown(pane, event); });
    connect(pane->ShowBild, &PanePaintBox::mouseMoved, this,
            [this, pane](QMouseEvent* event) { ShowBildMouseMove(pane, event); });
    connect(pane->ShowBild, &PanePaintBox::mouseReleased, this,
            [this, pane](QMouseEvent* event) { ShowBildMouseUp(pane, event); });
    pane->show();
    return pane;
}

void TFormBildKK::LayOut()
{
    const int w = width();
    int top = PanelToolBar->height();
    PanelToolBar->setGeometry(0, 0, w, PanelToolBar->height());
    PanelRegisterGrund->setGeometry(0, top, w, PanelRegisterGrund->height());
    top += PanelRegisterGrund->height();
    const int bottom = height() - kStatusBarHeight;
    PanelHintergrundMalStatusBar->setGeometry(0, bottom, w, kStatusBarHeight);
    PanelContainerButton->setGeometry(0, 0, kContainerButtonWidth, kStatusBarHeight);
    StatusBar->setGeometry(kContainerButtonWidth, 0, std::max(0, w - kContainerButtonWidth), kStatusBarHeight);
    const int middle = std::max(0, bottom - top);
    const int zoom = PanelZoomGrund->width();
    PanelZoomGrund->setGeometry(w - zoom, top, zoom, middle);
    PanelVerScrollBar->setGeometry(w - zoom - kVerScrollBarWidth, top, kVerScrollBarWidth, middle);
    VerScrollBar->setGeometry(0, 0, kVerScrollBarWidth, std::max(0, middle - kVerScrollBarWidth));
    PanelVerScrollBarBottom->setGeometry(0, std::max(0, middle - kVerScrollBarWidth), kVerScrollBarWidth,
                                         kVerScrollBarWidth);
    PanelHintergrund->setGeometry(0, top, std::max(0, w - zoom - kVerScrollBarWidth), middle);
    panes_.Resize(PanelHintergrund->width());
    LayOutPanes();
}

void TFormBildKK::LayOutPanes()
{
    for (int p = 0; p < PaneCount(); ++p) {
        TFrameBildKK* pane = frames_[p];
        pane->SetSplitterWidth(panes_.SplitterWidth(p));
        pane->setGeometry(panes_.Left(p), 0, panes_.Width(p), PanelHintergrund->height());
    }
}

void TFormBildKK::ShowViewOrigin(int32_t column, int32_t row)
{
    const QString text = PaneCount() > 1 ? QStringLiteral(":%1").arg(row) : QStringLiteral("%1:%2").arg(column).arg(row);
    SetStatus(0, text);
}

void TFormBildKK::ShowMouseCell()
{
    SetStatus(1, mouseTracking ? QStringLiteral("%1:%2").arg(currentCellX).arg(currentCellY) : QString());
}

void TFormBildKK::SetMaxWidthMargin(int32_t n)
{
    maxWidthMargin = n;
    int w = PrimaryScreenRect().width - n;
    if (maximumWidth() < QWIDGETSIZE_MAX)
        w = std::min(w, maximumWidth());
    setMaximumWidth(std::max(w, minimumWidth()));
}

void TFormBildKK::SetMaxHeightMargin(int32_t n)
{
    maxHeightMargin = n;
    int h = PrimaryScreenRect().height - n;
    if (maximumHeight() < QWIDGETSIZE_MAX)
        h = std::min(h, maximumHeight());
    setMaximumHeight(std::max(h, minimumHeight()));
}

int32_t TFormBildKK::FirstVisibleColumn() const
{
    return frames_.at(std::clamp(currentPane, 0, PaneCount() - 1))->firstVisibleColumn;
}

bool TFormBildKK::SplitPane(int p, int x)
{
    if (!panes_.Split(p, x, splittingAllowed))
        return false;
    frames_.insert(frames_.begin() + p + 1, CreatePane(p + 1));
    for (int i = 0; i < PaneCount(); ++i)
        frames_[i]->SetIndex(i);
    LayOutPanes();
    UpdateScrollRanges();
    ApplyScrollPosition();
    RedrawCells();
    emit panesChanged();
    return true;
}

bool TFormBildKK::JoinPane(int p)
{
    if (!panes_.Join(p))
        return false;
    DrawCrosshair(-1, -1);
    TFrameBildKK* gone = frames_[p];
    frames_.erase(frames_.begin() + p);
    gone->hide();
    gone->setObjectName(QString());
    // The release that asked for the join is still being delivered to it.
    gone->deleteLater();
    for (int i = 0; i < PaneCount(); ++i)
        frames_[i]->SetIndex(i);
    currentPane = std::min(currentPane, PaneCount() - 1);
    LayOutPanes();
    for (TFrameBildKK* pane : frames_)
        pane->savedWidth = pane->width();
    setMinimumWidth(panes_.MinimumFormWidth(0, kVerScrollBarWidth + PanelZoomGrund->width()));
    UpdateScrollRanges();
    ApplyScrollPosition();
    RedrawCells();
    emit panesChanged();
    return true;
}

void TFormBildKK::ApplyLevelStates(const std::vector<uint8_t>& states)
{
    if (levels_.Apply(states))
        for (int i = 0; i < levels_.TabCount(); ++i)
            StyleTab(tabs_[i], states[i]);
    RedrawCells();
}

int TFormBildKK::TabWidth(const QString& name, int16_t width) const
{
    if (width >= 0)
        return width;
    return QFontMetrics(PanelRegisterGrund->font()).horizontalAdvance(name) - width;
}

void TFormBildKK::BuildLevelTabs(const std::vector<QString>& names, const std::vector<int16_t>& widths,
                                 const std::vector<uint8_t>& states, const std::bitset<256>& exclusive)
{
    if (!levels_.BuildTabs(names.size(), widths.size(), exclusive))
        return;
    auto* frame = static_cast<QFrame*>(PanelRegisterGrund);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setFixedHeight(kLevelTabsHeight);
    int left = kTabsLeft;
    for (int i = 0; i < levels_.TabCount(); ++i) {
        auto* tab = new QLabel(names[i], PanelRegisterGrund);
        tab->setObjectName(QStringLiteral("Tab%1").arg(i));
        tab->setProperty("Tag", i);
        SetTranslatedHint(tab, kTabHint);
        tab->setAlignment(Qt::AlignCenter);
        tab->setAutoFillBackground(true);
        const int w = TabWidth(names[i], widths[i]);
        tab->setGeometry(left, StyleOf(1).top, w, kTabHeight);
        left += w + 1;
        tab->installEventFilter(this);
        StyleTab(tab, 1);
        tab->show();
        tabs_.push_back(tab);
    }
    LayOut();
    ApplyLevelStates(states);
}

void TFormBildKK::StyleTab(QLabel* tab, uint8_t state)
{
    const TabStyle style = StyleOf(state);
    tab->setGeometry(tab->x(), style.top, tab->width(), kLevelTabsHeight - style.top);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, style.yellow ? QColor(255, 255, state == 3 ? 0 : 160) : palette().color(QPalette::Window));
    pal.setColor(QPalette::WindowText, state == 0 ? palette().color(QPalette::Disabled, QPalette::Text)
                                                  : palette().color(QPalette::WindowText));
    tab->setPalette(pal);
    tab->setFrameStyle(QFrame::Panel | (style.raised ? QFrame::Raised : QFrame::Sunken));
    tab->setLineWidth(1);
    QFont font = PanelRegisterGrund->font();
    font.setBold(style.bold);
    tab->setFont(font);
}

void TFormBildKK::TabPressed(int i, Qt::MouseButton button)
{
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    levels_.TabClick(i, button == Qt::LeftButton ? TabButton::Left : TabButton::Right);
    ApplyLevelStates(levels_.States());
}

void TFormBildKK::SelectLevel(int i)
{
    if (levels_.SelectLevel(i))
        ApplyLevelStates(levels_.States());
}

bool TFormBildKK::eventFilter(QObject* watched, QEvent* event)
{
    const int i = tabs_.indexOf(qobject_cast<QLabel*>(watched));
    if (i >= 0 && event->type() == QEvent::MouseButtonPress) {
        TabPressed(i, static_cast<QMouseEvent*>(event)->button());
        return true;
    }
    if (i >= 0 && event->type() == QEvent::MouseButtonDblClick) {
        SelectLevel(i);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

PaletteLoad TFormBildKK::LoadPaletteFile(const std::string& name)
{
    const PaletteLoad result = ::LoadPaletteFile(palette_, name);
    RedrawCells();
    return result;
}

void TFormBildKK::SetPaletteEntries(const std::array<uint8_t, kPaletteFileBytes>& entries)
{
    palette_.SetEntries(entries);
    RedrawCells();
}

void TFormBildKK::SetPaletteColours(const std::array<uint32_t, 256>& argb)
{
    std::array<uint8_t, kPaletteFileBytes> bytes = palette_.Entries();
    for (size_t i = 0; i < argb.size(); ++i) {
        bytes[4 * i] = static_cast<uint8_t>(argb[i] >> 16);
        bytes[4 * i + 1] = static_cast<uint8_t>(argb[i] >> 8);
        bytes[4 * i + 2] = static_cast<uint8_t>(argb[i]);
    }
    SetPaletteEntries(bytes);
}

void TFormBildKK::BuildSymbolTextMap(const std::string& symbolText)
{
    ::BuildSymbolTextMap(glyphs_, symbolText);
    symbolText_ = symbolText.substr(0, glyphs_.size());
}

QList<QRgb> TFormBildKK::ColourTable() const
{
    const auto& argb = palette_.Argb();
    return QList<QRgb>(argb.begin(), argb.end());
}

void TFormBildKK::ReadPlacement()
{
    if (iniFileName.empty() || iniKey_.empty())
        return;
    const std::string text = IniProfile(iniFileName).ReadString("Windows", iniKey_, "");
    if (text.empty()) {
        // Never placed yet: open below the main window's tool bars at a size
        // to work in, not at the minimum.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const int top = std::max<int>(ListWindowTop, screen.top());
        resize(std::min(800, screen.width() * 2 / 3), std::min(600, (screen.bottom() - top) * 2 / 3));
        move(std::max<int>(ListWindowLeft, screen.left()), top);
    } else {
        savedMonitor_ = ApplyFormPlacement(this, text, true);
    }
    framePending_ = true;
}

void TFormBildKK::PlaceFrameOnceFramed()
{
    // Polled briefly after the first show: Qt learns the frame's size from
    // the window manager some time after mapping, and sends no event for it.
    constexpr int kTicks = 40;
    const QRect frame = frameGeometry();
    if (frame.size() != size()) {
        framePending_ = false;
        if (frame.topLeft() != wantedFramePos_)
            move(wantedFramePos_);
    } else if (++frameWaitTicks_ >= kTicks) {
        framePending_ = false;
    }
    if (!framePending_ || !isVisible())
        frameWait_->stop();
}

void TFormBildKK::WritePlacement()
{
    if (iniFileName.empty() || iniKey_.empty())
        return;
    if (hiddenAt_ && !isVisible())
        move(*hiddenAt_);
    IniProfile(iniFileName).WriteString("Windows", iniKey_, FormPlacementText(this));
}

void TFormBildKK::EndMoveOrSize()
{
    if (!isVisible() || keepingOffMargins_)
        return;
    savedMonitor_ = FormMonitor(this);
    const ScreenRect kept = KeepOffMargins(FormBounds(this), savedMonitor_, maxWidthMargin, maxHeightMargin);
    if (kept.left != pos().x() || kept.top != pos().y()) {
        keepingOffMargins_ = true;
        move(kept.left, kept.top);
        keepingOffMargins_ = false;
    }
    MoveOrSizeEnded();
}

void TFormBildKK::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (hiddenAt_ && !event->spontaneous() && pos() != *hiddenAt_)
        move(*hiddenAt_);
    hiddenAt_.reset();
    if (framePending_ && !event->spontaneous() && frameGeometry().size() == size()) {
        // Where it was placed before it was shown, by its placement or its owner.
        wantedFramePos_ = pos();
        if (!frameWait_) {
            frameWait_ = new QTimer(this);
            frameWait_->setInterval(50);
            connect(frameWait_, &QTimer::timeout, this, &TFormBildKK::PlaceFrameOnceFramed);
        }
        frameWaitTicks_ = 0;
        frameWait_->start();
    }
    const int32_t left = ShownLeft(pos().x(), savedMonitor_, ScreenRects(), DesktopWidth());
    if (left != pos().x()) {
        move(left, pos().y());
        wantedFramePos_.setX(left);
    }
}

void TFormBildKK::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        hiddenAt_ = pos();
    if (keyboardCursor)
        KeyboardCursorOff();
    ActivateMainForm();
}

void TFormBildKK::closeEvent(QCloseEvent* event)
{
    // An allowed close only hides: the window is freed by its owner.
    if (closeAllowed)
        event->accept();
    else
        event->ignore();
}

void TFormBildKK::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && crosshairOn && keyboardCursor)
        DrawCrosshair(-2, -2);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        DrawCrosshair(-1, -1);
        if (temporaryZoom)
            TemporaryZoomOff();
        DeactivateHook();
    }
}

void TFormBildKK::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
    UpdateScrollRanges();
    ApplyScrollPosition();
    RedrawCells();
    emit panesChanged();
    moveEnd_->start();
}

void TFormBildKK::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // The program's own move of a hidden window reaches it as it is shown.
    if (hiddenAt_ && !isVisible() && !event->spontaneous())
        hiddenAt_ = pos();
    moveEnd_->start();
}
