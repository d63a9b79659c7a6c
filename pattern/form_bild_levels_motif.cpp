// The painting form's share of the Edit menu: cut, copy and paste of the
// motif, its exchange with PCX and BMP files and its transformations, bound
// to the main window's items while the form is shown.
#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>

#include "kernel/dispatch/busystate.h"
#include "kernel/ui/edit_bindings.h"
#include "pattern/bind_edit_action.h"
#include "pattern/form_bild_levels.h"
#include "pattern/motif_file_dialog.h"
#include "pattern/zeichenfunktionen.h"
#include "platform/paths.h"

namespace {

constexpr int kCut = 2;
constexpr int kCopy = 3;
constexpr int kPaste = 4;
constexpr int kCopyTo = 5;
constexpr int kInsertFrom = 6;
constexpr int kLastEntry = 22;

// Entries 2 to 22 run the commands in the menu's order.
EditCommand CommandOf(int entry)
{
    return static_cast<EditCommand>(entry - kCut);
}

const char* const kMotifButtons[] = {"RasterKopie_SpeedButton", "Bewegen_SpeedButton", "Kopieren_SpeedButton"};

}  // namespace

void TFormBildLevels::RunEdit(EditCommand command)
{
    if (ProgramBusy())
        return;
    SyncPaintCore();
    std::string file;
    if (command == EditCommand::InsertFrom || command == EditCommand::CopyTo) {
        if (command == EditCommand::CopyTo && Core().Motif().Empty())
            return;
        const QString chosen = ChooseMotifFile(this, command == EditCommand::CopyTo, lastMotifFile);
        if (chosen.isEmpty())
            return;
        lastMotifFile = chosen;
        file = chosen.toStdString();
    }
    RunEditCommand(*core_, command, file);
    FeedbackShowAndDrop();
}

void TFormBildLevels::Einfuegenaus1Click()
{
    RunEdit(EditCommand::InsertFrom);
}

void TFormBildLevels::Kopierennach1Click()
{
    RunEdit(EditCommand::CopyTo);
}

void TFormBildLevels::BindEditEntry(int entry, bool on)
{
    if (on)
        BindEditAction(entry, false, [this, entry] { RunEdit(CommandOf(entry)); });
    else
        BindEditAction(entry, true, nullptr);
}

// The motif set: paste, the file commands and the transformations; a file
// can always be inserted.
void TFormBildLevels::BindMotifCommands(bool on)
{
    BindEditEntry(kPaste, on);
    BindEditEntry(kCopyTo, on);
    BindEditEntry(kInsertFrom, true);
    for (int entry = kInsertFrom + 1; entry <= kLastEntry; ++entry)
        BindEditEntry(entry, on);
}

void TFormBildLevels::P_KopierenButtonEnable(bool on)
{
    if (QMenu* menu = BildEditBindung.MnuBearbeiten)
        for (QAction* a : menu->actions())
            if (std::abs(a->property("Tag").toInt()) != 3)
                a->setVisible(false);
    const bool motif = on || paint.motifIsForeground != 0;
    BindMotifCommands(motif);
    for (int entry : {kPaste, kCopy, kCut})
        BindEditEntry(entry, on);
    if (Zeichenfunktionen)
        for (const char* name : kMotifButtons)
            if (QToolButton* b = Zeichenfunktionen->Button(name))
                b->setEnabled(motif);
}

// On showing: what the last session left in the work bitmap can be pasted.
void TFormBildLevels::BindEditOnShow()
{
    P_KopierenButtonEnable(!Core().Motif().Empty());
    std::error_code ec;
    if (!workBitmapFile.empty() && std::filesystem::exists(NormalizePath(workBitmapFile), ec))
        BindEditEntry(kPaste, true);
}
