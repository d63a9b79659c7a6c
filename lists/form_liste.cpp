#include "lists/form_liste.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "kernel/language/language.h"
#include "kernel/ui/edit_bindings.h"
#include "kernel/ui/fonts.h"
#include "kernel/ui/form_hold.h"
#include "kernel/ui/forms.h"
#include "kernel/ui/lan_dialogs.h"
#include "kernel/ui/shell_values.h"
#include "lists/activation_order.h"
#include "lists/core/list_links.h"
#include "lists/core/symbol_farben.h"
#include "lists/form_fortschritt.h"
#include "lists/form_multi_selection.h"
#include "lists/form_selection.h"
#include "lists/form_text_eingabe.h"
#include "lists/list_globals.h"
#include "lists/panel_color.h"
#include "platform/ini_profile.h"
#include "platform/qt/vkeys.h"

namespace {
constexpr int kScrollBarWidth = 16;

QColor Rgb(uint32_t rgb)
{
    return QColor((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

Qt::Alignment AlignmentOf(CellAlignment a)
{
    switch (a) {
    case CellAlignment::Right:
        return Qt::AlignRight;
    case CellAlignment::Centre:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

// The list windows find each other by form name among the open windows.
bool GotoNamedListWindow(const std::string& form, int line, int field)
{
    auto* window = qobject_cast<TFormListe*>(FindForm(QString::fromStdString(form)));
    if (!window)
        return false;
    window->GotoLine(line, field);
    return true;
}

// Items of the edit menu that no list window uses carry a Tag other than 3.
void HideOtherEditItems()
{
    if (!ListEditBindung.MnuBearbeiten)
        return;
    for (QAction* a : ListEditBindung.MnuBearbeiten->actions())
        if (std::abs(a->property("Tag").toInt()) != 3)
            a->setVisible(false);
}

QString PanelName(int row, int column)
{
    return QString("Panel%1%2").arg(row, 2, 10, QChar('0')).arg(column, 3, 10, QChar('0'));
}
}  // namespace

// The core may wait on a dialog or message, during which a remote command
// can destroy the window: it is held until the core has returned, and a
// destroyed window mirrors nothing.
template <class F>
auto TFormListe::Run(F&& work)
{
    const FormHold hold(this);
    if constexpr (std::is_void_v<decltype(work())>) {
        work();
        if (!hold.Destroyed())
            Mirror();
    } else {
        auto result = work();
        if (!hold.Destroyed())
            Mirror();
        return result;
    }
}

TFormListe::TFormListe(QWidget* parent)
    : QWidget(parent ? parent : MainForm,
              ToolFormStyle == 3 ? Qt::Tool | Qt::WindowStaysOnTopHint : Qt::Window)
{
    setWindowTitle(QString());
    PanelHintergrund = new QWidget(this);
    PanelHintergrund->setObjectName("PanelHintergrund");
    ScrollBar = new QScrollBar(Qt::Vertical, PanelHintergrund);
    ScrollBar->setObjectName("ScrollBar");
    ScrollBar->setRange(1, 1);
    ScrollBar->setFocusPolicy(Qt::NoFocus);
    connect(ScrollBar, &QScrollBar::valueChanged, this, [this](int value) {
        if (core_ && value != core_->ScrollPosition())
            Run([&] { core_->ScrollBarMoved(value); });
    });
    TimerBlinken = new QTimer(this);
    TimerBlinken->setObjectName("TimerBlinken");
    TimerBlinken->setInterval(300);
    connect(TimerBlinken, &QTimer::timeout, this, [this] { Run([&] { core_->Blink(false); }); });
    // Switched on by keys no handler takes; it has nothing to do.
    TimerTestFocus = new QTimer(this);
    TimerTestFocus->setObjectName("TimerTestFocus");
    TimerTestFocus->setInterval(100);
    CreateSharedDialogs();
    GotoListWindow = GotoNamedListWindow;
    RegisterForm(this, FormRole::List);
}

TFormListe::~TFormListe()
{
    closing_ = true;
    if (core_)
        core_->FormDestroy();
    // The panels go before the core, so no focus event of theirs reaches it.
    delete PanelHintergrund;
    PanelHintergrund = nullptr;
    panels_.clear();
}

void TFormListe::CreateSharedDialogs()
{
    if (!FormFortschritt)
        FormFortschritt = new TFormFortschritt(MainForm);
    if (!FormSelection)
        FormSelection = new TFormSelection(MainForm);
    if (!FormMultiSelection)
        FormMultiSelection = new TFormMultiSelection(MainForm);
    if (!FormTextEingabe)
        FormTextEingabe = new TFormTextEingabe(MainForm);
}

void TFormListe::SetCore(std::unique_ptr<ListWindowCore> core)
{
    core_ = std::move(core);
    setObjectName(QString::fromStdString(core_->FormKey()));
    setWindowTitle(QString::fromStdString(F_TRANS(core_->Caption())));
    Mirror();
    Run([&] { core_->FormResize(); });
}

TPanelColor* TFormListe::Panel(int row, int column) const
{
    if (row < 1 || column < 1 || row > static_cast<int>(panels_.size()) ||
        column > static_cast<int>(panels_[static_cast<size_t>(row - 1)].size()))
        return nullptr;
    return panels_[static_cast<size_t>(row - 1)][static_cast<size_t>(column - 1)];
}

TPanelColor* TFormListe::EnsurePanel(int row, int column)
{
    if (!core_ || !core_->Grid().Contains(row, column))
        return nullptr;
    if (static_cast<int>(panels_.size()) < row)
        panels_.resize(static_cast<size_t>(row));
    auto& line = panels_[static_cast<size_t>(row - 1)];
    if (static_cast<int>(line.size()) < column)
        line.resize(static_cast<size_t>(column), nullptr);
    TPanelColor*& panel = line[static_cast<size_t>(column - 1)];
    const Cell& cell = core_->Grid().At(row, column);
    if (!panel) {
        panel = new TPanelColor(PanelHintergrund);
        panel->setObjectName(PanelName(row, column));
        panel->Row = row;
        panel->Column = column;
        QFont font = panel->font();
        SetFont(cell.font, font);
        panel->setFont(font);
        panel->SetColourTable(&SymbolFarben);
        panel->SetBevel(cell.bevel);
        panel->setFocusPolicy(cell.field > 0 ? Qt::StrongFocus : Qt::NoFocus);
        panel->setMouseTracking(false);
        panel->installEventFilter(this);
        panel->setHidden(true);
    }
    MirrorCell(cell, *panel);
    return panel;
}

void TFormListe::MirrorCell(const Cell& cell, TPanelColor& panel)
{
    const QRect geometry(cell.x, cell.y, cell.width, cell.height);
    if (panel.geometry() != geometry)
        panel.setGeometry(geometry);
    panel.SetText(QString::fromStdString(cell.text));
    panel.SetColours(Rgb(cell.textColour), Rgb(cell.background));
    panel.SetSymbolMode(cell.symbolMode ? 1 : 0);
    panel.SetAlignment(AlignmentOf(cell.alignment));
    if (panel.LongTag() != cell.LongTag)
        panel.SetLongTag(cell.LongTag);
    const QString hint = QString::fromStdString(cell.hint);
    if (panel.toolTip() != hint)
        panel.setToolTip(hint);
    panel.Line = cell.line;
    panel.ReadOnly = cell.readOnly;
    if (panel.isHidden() != cell.hidden)
        panel.setHidden(cell.hidden);
}

void TFormListe::Mirror()
{
    if (!core_ || closing_)
        return;
    const CellGrid& grid = core_->Grid();
    for (int r = 1; r <= grid.Rows(); ++r)
        for (int c = 1; c <= grid.Columns(); ++c)
            EnsurePanel(r, c);
    MirrorFrame();
}

void TFormListe::MirrorFrame()
{
    const ListWindowCore& core = *core_;
    const int page = std::max(1, core.VisibleRows());
    const int last = std::max(1, core.ZeilenAnzahl() + (core.AppendRow() ? 1 : 0) - page + 1);
    {
        const QSignalBlocker block(ScrollBar);
        ScrollBar->setRange(1, last);
        ScrollBar->setPageStep(page);
        ScrollBar->setValue(core.ScrollPosition());
    }
    const CellGrid& grid = core.Grid();
    if (grid.Columns() > 0) {
        const int top = core.RowTop(1);
        const int bottom = core.RowBottom(std::min(page, grid.Rows()));
        ScrollBar->setGeometry(core.CellsRight(), top, kScrollBarWidth, std::max(kScrollBarWidth, bottom - top));
    }
    ScrollBar->setVisible(core.Resizable());
    const int width = core.CellsRight() + (core.Resizable() ? kScrollBarWidth + core.RowGap() : 0);
    if (this->width() != width || minimumWidth() != width)
        setFixedWidth(width);
    setMinimumHeight(std::max(1, core.MinHeight()));
    setMaximumHeight(core.MaxHeight() > 0 ? std::max(core.MinHeight(), core.MaxHeight()) : QWIDGETSIZE_MAX);
}

bool TFormListe::HandleKey(int key)
{
    return core_ && Run([&] { return core_->HandleKey(key); });
}

void TFormListe::GotoLine(int line, int field)
{
    if (core_)
        Run([&] { core_->GotoLine(line, field); });
}

void TFormListe::SetLineCount(int n)
{
    if (core_)
        Run([&] {
            core_->SetLineCount(n);
            core_->ShowPage();
        });
}

void TFormListe::ShowPage()
{
    if (core_)
        Run([&] { core_->ShowPage(); });
}

void TFormListe::ShowAnew()
{
    if (!core_)
        return;
    if (isActiveWindow())
        Run([&] { core_->FormActivate(); });
    else
        Run([&] { core_->Redisplay(); });
}

void TFormListe::ApplyEditBinding(const EditMenuBinding& binding, bool release, bool hide)
{
    if (hide && !release)
        HideOtherEditItems();
    const QPointer<TFormListe> self(this);
    const std::pair<T_EditPair*, int> pairs[] = {
        {&ListEditBindung.Rueckgaengig, binding.undo},
        {&ListEditBindung.Ausschneiden, binding.cut},
        {&ListEditBindung.Kopieren, binding.copy},
        {&ListEditBindung.Einfuegen, binding.paste},
        {&ListEditBindung.Loeschen, binding.remove},
        {&ListEditBindung.AllesMarkieren, binding.selectAll},
        {&ListEditBindung.MarkierungLoeschen, binding.clearSelection}};
    for (auto [pair, code] : pairs) {
        if (code)
            pair->Bind([self, code = code] {
                if (self)
                    self->HandleKey(code);
            });
        else
            pair->Unbind();
        pair->SetVisible(true);
    }
    if (hide && release)
        HideOtherEditItems();
    if (ListEditMenuBound)
        ListEditMenuBound();
}

// ---- events ---------------------------------------------------------------

bool TFormListe::event(QEvent* event)
{
    if (core_ && !closing_) {
        if (event->type() == QEvent::WindowActivate) {
            ActivationOrder::Note(this);
            Run([&] { core_->FormActivate(); });
        } else if (event->type() == QEvent::WindowDeactivate) {
            Run([&] { core_->FormDeactivate(); });
        }
    }
    return QWidget::event(event);
}

void TFormListe::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PanelHintergrund->setGeometry(rect());
    if (core_)
        Run([&] { core_->FormResize(); });
}

void TFormListe::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!core_ || closing_ || event->spontaneous())
        return;
    Run([&] { core_->FormHide(); });
    ActivationOrder::BringNextToFront(this);
}

void TFormListe::wheelEvent(QWheelEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (core_)
        Run([&] {
            core_->Wheel(event->angleDelta().y(), mods & Qt::ControlModifier, mods & Qt::ShiftModifier);
        });
    event->accept();
}

bool TFormListe::eventFilter(QObject* watched, QEvent* event)
{
    auto* panel = qobject_cast<TPanelColor*>(watched);
    if (!panel || !core_ || closing_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return CellKey(*panel, event);
    case QEvent::FocusIn:
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
            Run([&] { core_->OnEnter(panel->Row, panel->Column); });
        break;
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
            Run([&] { core_->OnExit(panel->Row, panel->Column); });
        break;
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        pressPoint_ = mouse->globalPosition().toPoint();
        core_->MouseDown(mouse->position().toPoint().x(), mouse->position().toPoint().y());
        break;
    }
    case QEvent::MouseButtonRelease:
        core_->MouseUp();
        break;
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() == Qt::NoButton)
            break;
        const QPoint global = mouse->globalPosition().toPoint();
        for (const auto& line : panels_)
            for (TPanelColor* p : line) {
                if (!p || p->isHidden() || !QRect(p->mapToGlobal(QPoint(0, 0)), p->size()).contains(global))
                    continue;
                const QPoint d = global - pressPoint_;
                Run([&] { core_->MouseMove(p->Row, p->Column, d.x(), d.y(), p->hasFocus()); });
                return false;
            }
        break;
    }
    case QEvent::MouseButtonDblClick:
        Run([&] { core_->DoubleClick(); });
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// A key is offered to HandleKey before any shortcut may take it; a used key
// is swallowed, an unused press goes to the key-down handling and its text
// to the cell editor. Tab goes on to the focus chain when nothing used it.
bool TFormListe::CellKey(TPanelColor& panel, QEvent* event)
{
    (void)panel;
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers();
    const int vk = core_->KeyCode(VirtualKeyFromQt(key->key(), mods), mods & Qt::ControlModifier);
    if (event->type() == QEvent::KeyRelease) {
        Run([&] { core_->KeyUp(key->key() != Qt::Key_Shift && (mods & Qt::ShiftModifier)); });
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        swallowPress_ = vk != 0 && Run([&] { return core_->HandleKey(vk); });
        if (swallowPress_)
            event->accept();
        return swallowPress_;
    }
    if (std::exchange(swallowPress_, false))
        return true;
    TimerTestFocus->start();
    if (vk != 0 && Run([&] {
            return core_->KeyDown(vk, mods & Qt::ShiftModifier, mods & Qt::AltModifier,
                                  mods & Qt::ControlModifier);
        }))
        return true;
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return false;
    TimerTestFocus->stop();
    QString text = key->text();
    if (key->key() == Qt::Key_Backspace)
        text = QString(QChar(8));
    for (const uint c : text.toUcs4())
        Run([&] { core_->CellEditor(static_cast<char32_t>(c)); });
    return true;
}

// ---- the host -------------------------------------------------------------

int TFormListe::TextWidth(const std::string& text, int font) const
{
    QFont f = this->font();
    SetFont(font, f);
    return QFontMetrics(f).horizontalAdvance(QString::fromStdString(text));
}

bool TFormListe::IsVisible() const
{
    return isVisible();
}

bool TFormListe::CellHasFocus(int row, int column) const
{
    const TPanelColor* panel = Panel(row, column);
    return panel && panel->hasFocus();
}

void TFormListe::FocusCell(int row, int column)
{
    TPanelColor* panel = EnsurePanel(row, column);
    if (!panel)
        return;
    panel->setFocus(Qt::OtherFocusReason);
    // An inactive window takes the focus later: the cell is entered now.
    if (!panel->hasFocus() && core_)
        core_->OnEnter(row, column);
}

void TFormListe::HideWindow()
{
    hide();
}

void TFormListe::ActivateWindow()
{
    if (!isActiveWindow())
        activateWindow();
}

void TFormListe::CloseWindow()
{
    close();
}

void TFormListe::CloseMainWindow()
{
    if (CloseMainWindowProc)
        CloseMainWindowProc();
    else if (MainForm)
        MainForm->close();
}

void TFormListe::SetBlinking(bool on)
{
    if (!on)
        TimerBlinken->stop();
    else if (!TimerBlinken->isActive())
        TimerBlinken->start();
}

void TFormListe::ShowStatusHint(const std::string& hint)
{
    P_StatusText(QString::fromStdString(hint));
}

void TFormListe::Beep()
{
    QApplication::beep();
}

void TFormListe::ShowFatalMessage(const std::string& text)
{
    LanDialogs::MessageDlg(QString::fromStdString(F_TRANS(text)), MsgKind::Error, {MsgButton::OK});
}

void TFormListe::ShowProgress(const std::string& label, int value)
{
    if (!FormFortschritt)
        return;
    FormFortschritt->Label1->setText(QString::fromStdString(label));
    FormFortschritt->ProgressBar1->setMaximum(std::max(value, FormFortschritt->ProgressBar1->maximum()));
    FormFortschritt->ProgressBar1->setValue(value);
    if (!FormFortschritt->isVisible()) {
        FormFortschritt->setAttribute(Qt::WA_ShowWithoutActivating);
        FormFortschritt->show();
    }
}

void TFormListe::HideProgress()
{
    if (!FormFortschritt)
        return;
    FormFortschritt->hide();
    FormFortschritt->setWindowTitle(QString());
}

QPoint TFormListe::CellScreenPoint(int row, int column) const
{
    const TPanelColor* panel = Panel(row, column);
    return panel ? panel->mapToGlobal(QPoint(0, 0)) : mapToGlobal(QPoint(0, 0));
}

std::optional<int> TFormListe::SelectEntry(const ChoiceRequest& request)
{
    return FormSelection->Select(request.choices, request.mask, request.preselected,
                                 CellScreenPoint(request.row, request.column));
}

std::optional<uint32_t> TFormListe::SelectEntries(const ChoiceRequest& request)
{
    const Cell& cell = core_->Grid().At(request.row, request.column);
    return FormMultiSelection->Select(request.choices, request.mask, cell.LongTag,
                                      CellScreenPoint(request.row, request.column));
}

std::optional<std::string> TFormListe::EditText(const std::string& text, int row, int column)
{
    return FormTextEingabe->Edit(text, CellScreenPoint(row, column));
}

int TFormListe::ClientHeight() const
{
    return height();
}

// Qt's position of a window is its frame's, as move() takes it; its height
// is the client's, as resize() takes it. Neither ever mixes in the other, so
// a placement read here comes back unchanged through MoveWindow.
WindowPlace TFormListe::Place() const
{
    return {x(), y(), height()};
}

void TFormListe::MoveWindow(const WindowPlace& place)
{
    int left = place.left, top = place.top;
    if (!placed_) {
        if (left < 0)
            left = ListWindowLeft;
        if (top < 0)
            top = ListWindowTop;
        placed_ = true;
    }
    // A move to where the window already stands is no request: the window
    // manager may have moved it since and not yet told, and would put it back.
    const QPoint to(left < 0 ? x() : left, top < 0 ? y() : top);
    if (to != pos())
        move(to);
    if (place.height >= 0 && std::max(1, place.height) != height())
        resize(width(), std::max(1, place.height));
}

std::vector<ScreenArea> TFormListe::Screens() const
{
    std::vector<ScreenArea> out;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        out.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    return out;
}

int TFormListe::ScreenOfWindow() const
{
    const int at = static_cast<int>(QGuiApplication::screens().indexOf(screen()));
    return std::max(0, at);
}

std::string TFormListe::ReadPlacement(const std::string& key) const
{
    if (SettingsPath.empty())
        return {};
    return IniProfile(SettingsPath).ReadString("Windows", key, "");
}

void TFormListe::WritePlacement(const std::string& key, const std::string& value)
{
    if (!SettingsPath.empty())
        IniProfile(SettingsPath).WriteString("Windows", key, value);
}
