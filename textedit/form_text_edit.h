#pragma once
// The text editor window: the text view bound to a file that it reloads
// when the file changed behind its back and saves on deactivation, every few
// seconds and at its end; it owns the main window's Edit menu while active
// and adds block commands, find and replace and the two-key commands.
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "textedit/core/edit_command_table.h"
#include "textedit/core/file_stamp.h"
#include "textedit/core/open_save_var.h"
#include "textedit/core/text_editor_commands.h"
#include "textedit/core/text_editor_host.h"
#include "textedit/form_text_edit_show.h"
#include "textedit/text_file_dialog.h"

class FindReplaceDialog;
class QTimer;

class TFormTextEdit : public TFormTextEditShow, public TextEditorHost {
    Q_OBJECT
public:
    explicit TFormTextEdit(QWidget* parent = nullptr, const std::string& iniKey = {},
                           FormRole role = FormRole::Other);
    ~TFormTextEdit() override;

    // --- the bound file ---
    // Loads the file when it exists; a missing file leaves the text.
    void SetBoundFile(const std::string& fileName);
    const std::string& BoundFile() const { return boundFile_; }
    // On: reload on show and activation, save on deactivation.
    void SetFileBound(bool on);
    bool FileBound() const { return fileBound_; }
    void SetAutoSaveSeconds(uint16_t seconds);
    // Puts a file into the editor for other code: the bound file follows at
    // once. False when the file cannot be read (the text stays).
    bool LoadText(const std::string& fileName);
    std::string Text() { return Lines().Text(); }
    // Writes the text (every line with CR LF). Saving the bound file records
    // its stamp and clears Modified. 0 or the disk error code.
    int SaveToFile(const std::string& fileName);
    // A save of the bound file failed and no later one succeeded.
    bool SaveFailing() const { return saveFailing_; }

    // --- dialogs ---
    T_OpenSaveVar& OpenSaveVar() { return openSaveVar_; }
    virtual void SetOpenSaveVar();
    // Applied to a file's text before it is inserted.
    std::function<void(std::string&)> textFilter;
    // Answers the open and save dialogs (tests); unset: the Qt dialog.
    std::function<FileDialogAnswer(const FileDialogRequest&)> askFile;

    // --- commands ---
    void Cut();
    void Copy();
    void Paste();
    void Delete();
    void SelectAll();
    void ClearSelection();
    void SaveSelectionAs() override;
    void InsertFileAtCursor() override;
    void ShowFindDialog() override;
    void ShowReplaceDialog() override;
    TextEditorCommands& Commands() { return commands_; }

    // --- the Edit menu ---
    void BindEditCommand(EditPair pair, bool disable, std::function<void()> handler);
    void UpdateEditCommands(bool disable, bool hideOthers);
    void HideNonEditItems();

    // --- handlers ---
    void TimerAutoSaveTimer();
    void FindDialogFind();
    void ReplaceDialogReplace(bool all);
    void FindDialogClose();

    QTimer* TimerAutoSave = nullptr;
    FindReplaceDialog* FindDialog = nullptr;
    FindReplaceDialog* ReplaceDialog = nullptr;

    // --- text view operations: held back while a replace all runs ---
    using TFormTextEditShow::Geometry;
    TextViewGeometry Geometry() const override;
    void SetFirstColumn(int32_t column) override;
    void SetTopLine(int32_t line) override;
    void RedrawTextRows(int32_t firstColumn, int32_t firstLine, int32_t lastLine, int32_t lastColumn) override;
    void HideCaret() override;
    void ShowCaret() override;
    void CursorMoved() override;
    void TextLaidOut() override;

    // --- picture and text view operations ---
    bool ClaimsKey(const QKeyEvent* event) const override;
    bool FormShortCut(const QKeyEvent* event) override;
    void CellEvent() override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    void FormActivate();
    void FormDeactivate();

private:
    std::function<void()> HandlerOf(EditPair pair);
    // The Edit pair this window bound whose item is hidden and has the key
    // as its shortcut.
    std::optional<EditPair> HiddenEditItemOf(const QKeyEvent* event) const;
    FindReplaceDialog* MakeDialog(bool replace);
    void ShowDialog(FindReplaceDialog* dialog);
    // Reloads or clears the text when the bound file changed behind the
    // editor's back (and no failed save holds the only copy).
    void ReloadIfChanged();
    // Saves the bound file; the first failure of a run is shown.
    void SaveBoundFile();
    bool HasBoundName() const { return !boundFile_.empty(); }
    FileDialogAnswer AskFile(bool save);
    void Focus();
    void LayOutLoadedText();

    TextEditorCommands commands_;
    std::string boundFile_;
    bool fileBound_ = false;
    uint16_t autoSaveSeconds_ = 0;
    T_OpenSaveVar openSaveVar_;
    FileStamp stamp_;
    bool saveFailing_ = false;
    bool clipboardText_ = false;
    // The find or replace dialog took the focus: the caret stays drawn.
    bool keepCaret_ = false;
    bool leftDown_ = false;
    // The Edit pairs this window has bound to its own commands.
    std::array<bool, kEditPairCount> bound_{};
    // While set, the view's notices wait for one update at the end.
    bool batching_ = false;
    TextViewGeometry batchGeometry_;
};
