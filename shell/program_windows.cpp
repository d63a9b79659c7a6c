#include "shell/program_windows.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "check/ui/install_check_windows.h"
#include "kernel/model/globals.h"
#include "kernel/model/newprogram.h"
#include "kernel/model/programmodel.h"
#include "kernel/ui/forms.h"
#include "lists/form_liste.h"
#include "lists/list_editors.h"
#include "pattern/form_patrone.h"
#include "shell/form_main.h"
#include "shell/script_source.h"

namespace {
// The pattern window follows a replaced program; with no pattern it goes.
void UpdatePatternWindow(QWidget* form)
{
    if (ProgrammKopf.Width() == 0) {
        DestroyForm(form);
        if (FormPatrone == form)
            FormPatrone = nullptr;
        return;
    }
    auto* patrone = qobject_cast<TFormPatrone*>(form);
    if (!patrone)
        return;
    // Level 1 stays current even when the program has no needle plane.
    const std::vector<uint8_t> states{3, uint8_t(BildEbene1.present ? 1 : 0), uint8_t(BildEbene2.present ? 1 : 0)};
    patrone->SetPictureWidth(ProgrammKopf.Width());
    patrone->SetPictureHeight(ProgrammKopf.Height());
    patrone->ApplyLevelStates(states);
    patrone->RedrawCells(-1, -1, -1, -1);
}

void ShowHeader()
{
    if (FormMain)
        FormMain->P_ShowProgrammKopf();
}
}  // namespace

void P_NeuesProgramm(bool clearScript)
{
    const bool otherMachine = NewProgramModel();
    // The open list editors show one empty row (the scheme keeps its rows).
    P_ResetListEditorRows();
    if (otherMachine)
        P_CloseProgrammFenster();
    if (clearScript) {
        TheScriptSource().clear();
        std::error_code ec;
        std::filesystem::remove(TempPfad + "Script.Skx", ec);
    }
    P_GTestReset();
}

void P_CloseProgrammFenster()
{
    QVector<FormEntry> forms = Forms();
    std::reverse(forms.begin(), forms.end());
    for (const FormEntry& f : forms) {
        if (f.form->objectName().isEmpty())
            continue;
        switch (f.role) {
        case FormRole::List:
            if (f.form->objectName() == "Ruestblatt")
                continue;
            DestroyForm(f.form);
            break;
        case FormRole::Picture:
            f.form->close();
            break;
        case FormRole::Simulation:
            CloseSimulationWindow(f.form);
            break;
        case FormRole::Other:
            continue;
        }
        QCoreApplication::processEvents();
    }
    ShowHeader();
}

void P_UpdateFenster()
{
    for (const FormEntry& f : Forms()) {
        if (f.form->objectName().isEmpty())
            continue;
        if (f.role == FormRole::List) {
            // Shown anew as their activation would, but the keys stay with
            // the window the person works in and no list comes to the front.
            auto* list = qobject_cast<TFormListe*>(f.form);
            if (list && list->isVisible())
                list->ShowAnew();
        } else if (f.role == FormRole::Picture && f.form->objectName() == "Patrone") {
            UpdatePatternWindow(f.form);
        }
    }
    ShowHeader();
}
