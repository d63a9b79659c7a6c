#pragma once
// Helpers of the window tests: the phrase database of the test's folder and
// modal dialogs answered from a timer.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "kernel/language/language.h"
#include "tests/support/test_env.h"

class TestLanguageSettings : public LanguageSettings {
public:
    std::string stored;
    std::string ReadLanguageSetting() override { return stored; }
    int WriteLanguageSetting(const std::string& name) override
    {
        stored = name;
        return 0;
    }
};

// Writes DbLang.Txt into the test's folder (when bytes are given) and starts
// the engine in the language.
inline void StartLanguage(const std::string& language, const std::string& bytes = {})
{
    static TestLanguageSettings settings;
    if (!bytes.empty())
        WriteTestFile(TestHome() + "DbLang.Txt", bytes);
    settings.stored = language;
    DoneLanguage();
    InitLanguage(&settings, nullptr, "DbLang.Txt", ' ');
}

// Calls act with the modal window once the event loop runs it. Should act
// leave the window open, it is closed after a while, so that a failing
// test does not hang.
inline void WhenModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        act(modal);
        if (QApplication::activeModalWidget() == modal && modal)
            QTimer::singleShot(2000, modal, [modal] { modal->setVisible(false); });
    });
}
