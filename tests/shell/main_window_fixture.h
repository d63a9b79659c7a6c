#pragma once
// A main window as the program makes it: the busy rule holding the DDE
// queue, the progress window; afterwards every window of the test goes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <memory>

#include "kernel/ui/program_actions.h"
#include "lists/form_fortschritt.h"
#include "shell/dde_hndl_zorit.h"
#include "shell/form_main.h"

class MainWindowFixture : public testing::Test {
protected:
    void SetUp() override
    {
        InstallBusyHandling([](bool hold) {
            if (DdeHndlZorit)
                DdeHndlZorit->setCommandsHeld(hold);
        });
        form = std::make_unique<TFormMain>();
        FormFortschritt = new TFormFortschritt(form.get());
    }
    void TearDown() override
    {
        FormFortschritt = nullptr;
        form.reset();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() != "FormMain")
                delete w;
        RemoveBusyHandling();
        delete DdeHndlZorit;
        DdeHndlZorit = nullptr;
    }
    QAction* A(const char* name) { return form->Action(name); }

    std::unique_ptr<TFormMain> form;
};
