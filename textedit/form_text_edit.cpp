#include "textedit/form_text_edit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

#include "kernel/language/language.h"
#include "kernel/services/debuglog.h"
#include "kernel/services/services.h"
#include "kernel/ui/dialog_focus.h"
#include "kernel/ui/edit_bindings.h"
#include "kernel/ui/translate_form.h"
#include "platform/paths.h"
#include "platform/qt/vkeys.h"
#include "textedit/find_replace_dialog.h"

namespace {
constexpr int kEditTag = 3;

T_EditPair& PairOf(EditPair pair)
{
    T_EditBindung& b = TextEditBindung;
    switch (pair) {
    case EditPair::Undo: return b.Rueckgaengig;
    case EditPair::Cut: return b.Ausschneiden;
    case EditPair::Copy: return b.Kopieren;
    case EditPair::Paste: return b.Einfuegen;
    case EditPair::SaveBlock: return b.KopierenNach;
    case EditPair::InsertFile: return b.EinfuegenAus;
    case EditPair::Delete: return b.Loeschen;
    case EditPair::SelectAll: return b.AllesMarkieren;
    case EditPair::ClearSelection: return b.MarkierungLoeschen;
    case EditPair::Find: return b.Suchen;
    case EditPair::Replace: return b.Ersetzen;
    }
    return b.Rueckgaengig;
}

bool ClipboardHoldsText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

std::string FileWarning(const std::string& path, int code)
{
    return path + "\r\n" + F_DiskErrorText(code);
}
} // namespace

TFormTextEdit::TFormTextEdit(QWidget* parent, const std::string& iniKey, FormRole role)
    : TFormTextEditShow(parent, iniKey, role), commands_(Core(), *this)
{
    TimerAutoSave = new QTimer(this);
    TimerAutoSave->setObjectName("TimerAutoSave");
    TimerAutoSave->setInterval(1000);
    connect(TimerAutoSave, &QTimer::timeout, this, &TFormTextEdit::TimerAutoSaveTimer);
    TranslateForm(this);
    // "Edit commands" run after every key: the clipboard is asked only when it changes.
    clipboardText_ = ClipboardHoldsText();
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { clipboardText_ = ClipboardHoldsText(); });
}

TFormTextEdit::~TFormTextEdit()
{
    // A close that never deactivated the window (a remote CLOSE) must not
    // lose what was typed since the last tick.
    if (fileBound_ && HasBoundName() && Lines().Modified())
        if (const int code = SaveToFile(boundFile_))
            DebugLog({"Text not saved:", boundFile_, F_DiskErrorText(code)});
}

// --- the bound file ---

void TFormTextEdit::LayOutLoadedText()
{
    TextLaidOut();
    RedrawTextRows(-1, -1, -1, -1);
    ShowCursorPos();
}

void TFormTextEdit::SetBoundFile(const std::string& fileName)
{
    boundFile_ = fileName;
    if (Lines().LoadFromFile(fileName) == 0) {
        stamp_ = StampOf(fileName);
        LayOutLoadedText();
    }
}

void TFormTextEdit::SetFileBound(bool on)
{
    fileBound_ = on;
    if (!on || !HasBoundName())
        return;
    if (Lines().LoadFromFile(boundFile_) != 0)
        Lines().Clear();
    stamp_ = StampOf(boundFile_);
    LayOutLoadedText();
}

void TFormTextEdit::SetAutoSaveSeconds(uint16_t seconds)
{
    autoSaveSeconds_ = seconds;
    if (seconds > 0 && HasBoundName()) {
        TimerAutoSave->setInterval(seconds * 1000);
        TimerAutoSave->start();
    } else {
        TimerAutoSave->stop();
    }
}

bool TFormTextEdit::LoadText(const std::string& fileName)
{
    if (Lines().LoadFromFile(fileName) != 0)
        return false;
    LayOutLoadedText();
    // The bound file takes the text at once: showing the editor must find
    // it there, not reload what stood before.
    if (fileBound_ && HasBoundName())
        SaveBoundFile();
    return true;
}

int TFormTextEdit::SaveToFile(const std::string& fileName)
{
    const int code = Lines().SaveToFile(fileName);
    if (code == 0 && fileName == boundFile_) {
        stamp_ = StampOf(fileName);
        saveFailing_ = false;
        Lines().SetModified(false);
    }
    return code;
}

void TFormTextEdit::SaveBoundFile()
{
    const int code = SaveToFile(boundFile_);
    if (code == 0 || saveFailing_)
        return;
    // Set before the box opens: the ticks inside its loop retry silently.
    saveFailing_ = true;
    P_WarningBox(FileWarning(boundFile_, code));
}

void TFormTextEdit::ReloadIfChanged()
{
    const FileStamp current = StampOf(boundFile_);
    if (!ReloadWanted({fileBound_, HasBoundName(), saveFailing_, stamp_, current}))
        return;
    if (!current.exists || Lines().LoadFromFile(boundFile_) != 0)
        Lines().Clear();
    stamp_ = current;
    LayOutLoadedText();
}

void TFormTextEdit::TimerAutoSaveTimer()
{
    if (HasBoundName())
        SaveBoundFile();
}

// --- activation ---

bool TFormTextEdit::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    else if (e->type() == QEvent::WindowDeactivate)
        FormDeactivate();
    return TFormTextEditShow::event(e);
}

void TFormTextEdit::showEvent(QShowEvent* e)
{
    ReloadIfChanged();
    TFormTextEditShow::showEvent(e);
}

void TFormTextEdit::FormActivate()
{
    ReloadIfChanged();
    UpdateEditCommands(false, true);
    BindEditCommand(EditPair::Find, false, HandlerOf(EditPair::Find));
    BindEditCommand(EditPair::Replace, false, HandlerOf(EditPair::Replace));
    ShowCursorPos();
}

void TFormTextEdit::FormDeactivate()
{
    if (fileBound_ && HasBoundName())
        SaveBoundFile();
}

void TFormTextEdit::hideEvent(QHideEvent* e)
{
    TFormTextEditShow::hideEvent(e);
    UpdateEditCommands(true, true);
    for (EditPair p : {EditPair::Find, EditPair::Replace}) {
        PairOf(p).Unbind();
        PairOf(p).SetVisible(false);
        bound_[static_cast<size_t>(p)] = false;
    }
}

void TFormTextEdit::changeEvent(QEvent* e)
{
    TFormTextEditShow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && !isActiveWindow() && keepCaret_) {
        ShowCaret();
        SetCaretPhase(true);
    }
}

// --- keys and mouse ---

bool TFormTextEdit::ClaimsKey(const QKeyEvent* e) const
{
    const bool ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
    return commands_.ClaimsKey(VirtualKeyFromQt(e->key(), e->modifiers()), ctrl) ||
           TFormTextEditShow::ClaimsKey(e) || HiddenEditItemOf(e).has_value();
}

bool TFormTextEdit::FormShortCut(const QKeyEvent* e)
{
    const bool ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
    if (commands_.ShortCut(VirtualKeyFromQt(e->key(), e->modifiers()), ctrl))
        return true;
    if (const std::optional<EditPair> pair = HiddenEditItemOf(e)) {
        HandlerOf(*pair)();
        return true;
    }
    return TFormTextEditShow::FormShortCut(e);
}

std::optional<EditPair> TFormTextEdit::HiddenEditItemOf(const QKeyEvent* e) const
{
    // Each key hides the Edit menu's other items, and Qt lets a hidden
    // action's shortcut die with it: the editor takes the key of a command
    // it has bound itself, so find and replace keep their keys.
    const QKeySequence pressed(e->keyCombination());
    for (int i = 0; i < kEditPairCount; ++i) {
        const auto pair = static_cast<EditPair>(i);
        const QAction* item = PairOf(pair).item();
        // A hidden action reports itself disabled: what this window bound is kept here.
        if (bound_[static_cast<size_t>(i)] && item && !item->isVisible() && !item->shortcut().isEmpty() &&
            item->shortcut().matches(pressed) == QKeySequence::ExactMatch)
            return pair;
    }
    return std::nullopt;
}

void TFormTextEdit::keyPressEvent(QKeyEvent* e)
{
    TFormTextEditShow::keyPressEvent(e);
    UpdateEditCommands(false, true);
}

void TFormTextEdit::CellEvent()
{
    TFormTextEditShow::CellEvent();
    const bool down = buttonState == 1;
    if (down && !leftDown_)
        UpdateEditCommands(false, true);
    else if (!down && leftDown_)
        UpdateEditCommands(false, false);  // a block dragged with the mouse can be copied now
    leftDown_ = down;
}

// --- text view operations ---

TextViewGeometry TFormTextEdit::Geometry() const
{
    return batching_ ? batchGeometry_ : TFormTextEditShow::Geometry();
}

void TFormTextEdit::SetFirstColumn(int32_t column)
{
    if (!batching_)
        TFormTextEditShow::SetFirstColumn(column);
}

void TFormTextEdit::SetTopLine(int32_t line)
{
    if (!batching_)
        TFormTextEditShow::SetTopLine(line);
}

void TFormTextEdit::RedrawTextRows(int32_t firstColumn, int32_t firstLine, int32_t lastLine, int32_t lastColumn)
{
    if (!batching_)
        TFormTextEditShow::RedrawTextRows(firstColumn, firstLine, lastLine, lastColumn);
}

void TFormTextEdit::HideCaret()
{
    if (!batching_)
        TFormTextEditShow::HideCaret();
}

void TFormTextEdit::ShowCaret()
{
    if (!batching_)
        TFormTextEditShow::ShowCaret();
}

void TFormTextEdit::CursorMoved()
{
    if (!batching_)
        TFormTextEditShow::CursorMoved();
}

void TFormTextEdit::TextLaidOut()
{
    if (!batching_)
        TFormTextEditShow::TextLaidOut();
}

// --- the Edit menu ---

std::function<void()> TFormTextEdit::HandlerOf(EditPair pair)
{
    const QPointer<TFormTextEdit> self(this);
    auto on = [self](void (TFormTextEdit::*command)()) {
        return [self, command] {
            if (self)
                (self.data()->*command)();
        };
    };
    switch (pair) {
    case EditPair::Undo: return {};
    case EditPair::Cut: return on(&TFormTextEdit::Cut);
    case EditPair::Copy: return on(&TFormTextEdit::Copy);
    case EditPair::Paste: return on(&TFormTextEdit::Paste);
    case EditPair::SaveBlock: return on(&TFormTextEdit::SaveSelectionAs);
    case EditPair::InsertFile: return on(&TFormTextEdit::InsertFileAtCursor);
    case EditPair::Delete: return on(&TFormTextEdit::Delete);
    case EditPair::SelectAll: return on(&TFormTextEdit::SelectAll);
    case EditPair::ClearSelection: return on(&TFormTextEdit::ClearSelection);
    case EditPair::Find: return on(&TFormTextEdit::ShowFindDialog);
    case EditPair::Replace: return on(&TFormTextEdit::ShowReplaceDialog);
    }
    return {};
}

void TFormTextEdit::BindEditCommand(EditPair pair, bool disable, std::function<void()> handler)
{
    T_EditPair& p = PairOf(pair);
    p.SetVisible(true);
    bound_[static_cast<size_t>(pair)] = !disable && handler;
    // Item and button share one handler: the button is enabled exactly when its item is.
    p.Bind(disable ? std::function<void()>() : std::move(handler));
}

void TFormTextEdit::UpdateEditCommands(bool disable, bool hideOthers)
{
    if (hideOthers && !disable)
        HideNonEditItems();
    for (const EditBinding& b : EditCommandBindings(commands_.EditInput(clipboardText_, disable)))
        BindEditCommand(b.pair, !b.handler, HandlerOf(b.pair));
    if (hideOthers && disable)
        HideNonEditItems();
}

void TFormTextEdit::HideNonEditItems()
{
    QMenu* menu = TextEditBindung.MnuBearbeiten;
    if (!menu)
        return;
    for (QAction* a : menu->actions())
        if (std::abs(a->property("Tag").toInt()) != kEditTag)
            a->setVisible(false);
}

// --- commands ---

void TFormTextEdit::Focus()
{
    if (isVisible()) {
        activateWindow();
        setFocus();
    }
}

void TFormTextEdit::Cut()
{
    Focus();
    commands_.Cut();
    UpdateEditCommands(false, false);
}

void TFormTextEdit::Copy()
{
    Focus();
    commands_.Copy();
    UpdateEditCommands(false, false);
}

void TFormTextEdit::Paste()
{
    Focus();
    commands_.Paste();
    UpdateEditCommands(false, false);
}

void TFormTextEdit::Delete()
{
    Focus();
    commands_.Delete();
    UpdateEditCommands(false, false);
}

void TFormTextEdit::SelectAll()
{
    Focus();
    commands_.SelectAll();
    UpdateEditCommands(false, false);
}

void TFormTextEdit::ClearSelection()
{
    Focus();
    commands_.ClearSelection();
    UpdateEditCommands(false, false);
}

void TFormTextEdit::SetOpenSaveVar()
{
    FillTextOpenSaveVar(openSaveVar_);
}

FileDialogAnswer TFormTextEdit::AskFile(bool save)
{
    if (!openSaveVar_.Filled)
        SetOpenSaveVar();
    const T_OpenSaveVar& v = openSaveVar_;
    FileDialogRequest request;
    request.save = save;
    request.title = QString::fromStdString(save ? v.SaveTitle : v.OpenTitle);
    request.folder = QString::fromStdString(DialogFolder(v.InitialDir, QDir::homePath().toStdString()));
    for (const std::string& f : DialogFilters(v.Filter))
        request.filters << QString::fromStdString(f);
    request.index = v.FilterIndex;
    request.suffix = QString::fromStdString(DialogSuffix(v.DefaultExt));
    FileDialogAnswer answer = askFile ? askFile(request) : AskFileWithDialog(this, request);
    if (!answer.path.isEmpty()) {
        // The next dialog opens where this one ended.
        openSaveVar_.InitialDir = FolderPart(answer.path.toStdString());
        openSaveVar_.FilterIndex = answer.index;
    }
    return answer;
}

void TFormTextEdit::SaveSelectionAs()
{
    Focus();
    if (!commands_.Block())
        return;
    const FileDialogAnswer answer = AskFile(true);
    if (answer.path.isEmpty())
        return;
    const std::string path = answer.path.toStdString();
    if (const int code = commands_.SaveBlockToFile(path))
        P_WarningBox(FileWarning(path, code));
}

void TFormTextEdit::InsertFileAtCursor()
{
    Focus();
    if (Core().ReadOnly())
        return;
    const FileDialogAnswer answer = AskFile(false);
    if (answer.path.isEmpty())
        return;
    const std::string path = answer.path.toStdString();
    if (const int code = commands_.InsertFile(path, textFilter))
        P_WarningBox(FileWarning(path, code));
    UpdateEditCommands(false, false);
}

// --- find and replace ---

FindReplaceDialog* TFormTextEdit::MakeDialog(bool replace)
{
    auto* dialog =
        new FindReplaceDialog(replace ? FindReplaceDialog::Kind::Replace : FindReplaceDialog::Kind::Find, this);
    connect(dialog, &FindReplaceDialog::findNext, this, &TFormTextEdit::FindDialogFind);
    connect(dialog, &FindReplaceDialog::closed, this, &TFormTextEdit::FindDialogClose);
    if (replace) {
        connect(dialog, &FindReplaceDialog::replaceOne, this, [this] { ReplaceDialogReplace(false); });
        connect(dialog, &FindReplaceDialog::replaceAll, this, [this] { ReplaceDialogReplace(true); });
    }
    return dialog;
}

void TFormTextEdit::ShowDialog(FindReplaceDialog* dialog)
{
    // The cursor stays visible while the dialog has the focus.
    CaretTimer->stop();
    keepCaret_ = true;
    ShowCaret();
    SetCaretPhase(true);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void TFormTextEdit::ShowFindDialog()
{
    Focus();
    if (!FindDialog)
        FindDialog = MakeDialog(false);
    ShowDialog(FindDialog);
}

void TFormTextEdit::ShowReplaceDialog()
{
    Focus();
    if (!ReplaceDialog)
        ReplaceDialog = MakeDialog(true);
    ShowDialog(ReplaceDialog);
}

void TFormTextEdit::FindDialogFind()
{
    auto* dialog = qobject_cast<FindReplaceDialog*>(sender());
    if (!dialog)
        dialog = FindDialog;
    if (!dialog)
        return;
    commands_.FindNext(dialog->FindText(), dialog->MatchCase());
    UpdateEditCommands(false, false);
}

void TFormTextEdit::ReplaceDialogReplace(bool all)
{
    if (!ReplaceDialog)
        return;
    const std::string find = ReplaceDialog->FindText();
    const std::string replace = ReplaceDialog->ReplaceText();
    if (!all) {
        commands_.ReplaceSelection(find, replace);
    } else {
        // One layout, scroll and redraw at the end instead of one per hit.
        batchGeometry_ = Geometry();
        batching_ = true;
        commands_.ReplaceAll(find, replace, ReplaceDialog->MatchCase());
        batching_ = false;
        TextLaidOut();
        Core().ScrollCursorIntoView();
        RedrawTextRows(-1, -1, -1, -1);
        ShowCaret();
        CursorMoved();
    }
    UpdateEditCommands(false, false);
}

void TFormTextEdit::FindDialogClose()
{
    keepCaret_ = false;
    // The text takes the next keys, not whichever window the window manager
    // activates when the dialog goes: asked once the dialog has gone.
    ReturnFocusTo(window(), this);
    QTimer::singleShot(0, this, [this] {
        if (!(FindDialog && FindDialog->isVisible()) && !(ReplaceDialog && ReplaceDialog->isVisible()))
            ReturnFocusTo(window(), this);
    });
    if (isActiveWindow())
        CaretTimer->start();
}
