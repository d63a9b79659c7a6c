// Before any Qt header: the work record has a member that Qt's "slots"
// keyword would swallow.
#include "kernel/model/workrecord.h"

#include "textedit/form_skrel_editor.h"

#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "kernel/services/services.h"
#include "kernel/ui/forms.h"
#include "kernel/ui/shell_values.h"
#include "lists/list_globals.h"

TFormSkrelEditor* FormSkrelEditor = nullptr;

TFormSkrelEditor::TFormSkrelEditor(QWidget* parent)
    : TFormTextEditSkrel(parent ? parent : MainForm, "SkrelEditor", FormRole::Picture)
{
    setObjectName("SkrelEditor");
    // The text window translated itself; its title is set here, translated.
    setWindowFlags(ToolFormStyle == 3 ? Qt::Tool | Qt::WindowStaysOnTopHint : Qt::Window);
    setWindowTitle(QString::fromStdString(F_TRANS("Skrel Editor")));
    closeOnEsc = true;
    SetBoundFile(TempPfad + "Script.Skx");
    LoadPaletteFile(F_ReadIni("Files", "Palette", "Kelt.Pal"));
    BuildSymbolTextMap(ZrVar.Symbols);
    SetTextCursor(1, 0);
    SetFileBound(true);
    SetAutoSaveSeconds(3);
    SetMaxWidthMargin(0);
    SetMaxHeightMargin(CoolBarMainBottom);
    // Also takes the palette's and symbols' colours for the sections.
    SetSyntaxDisplay(true);
}

TFormSkrelEditor::~TFormSkrelEditor()
{
    if (FormSkrelEditor == this)
        FormSkrelEditor = nullptr;
}

void P_ShowSkrelEditor(int icon, bool show)
{
    if (!FormExists("SkrelEditor") || !FormSkrelEditor)
        FormSkrelEditor = new TFormSkrelEditor(MainForm);
    if (!show)
        return;
    if (ListWindowIcon)
        FormSkrelEditor->setWindowIcon(ListWindowIcon(icon));
    FormSkrelEditor->show();
    FormSkrelEditor->raise();
    FormSkrelEditor->activateWindow();
}
