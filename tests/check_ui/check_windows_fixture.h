#pragma once
// The checker windows with a stand-in main window: the six test items as
// actions, a compiled program from tests/data/check, and everything torn
// down after each test.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "check/rules/checkstate.h"
#include "check/simdll.h"
#include "check/ui/check_windows_shell.h"
#include "check/ui/install_check_windows.h"
#include "check/ui/list_cursor.h"
#include "kernel/dispatch/kernel_host.h"
#include "kernel/model/globals.h"
#include "tests/support/recording_host.h"
#include "tests/check_ui/fake_check_shell.h"
#include "tests/support/test_env.h"
#include "tests/tools/compilerun.h"

struct ListMove {
    QString form;
    int line;
    int field;
    bool operator==(const ListMove&) const = default;
};

class CheckWindowsTest : public testing::Test {
protected:
    void SetUp() override
    {
        setKernelHost(&host);
        shell = new FakeCheckShell;
        InstallCheckWindows(*shell);
        SetListCursorRecorder([this](const QString& f, int line, int field) { moves.push_back({f, line, field}); });
        Fernsteuerung = false;
    }
    void TearDown() override
    {
        SetListCursorRecorder(nullptr);
        CloseCheckWindows(shell);
        FreeSimDll();
        setKernelHost(nullptr);
    }

    // Compiles a script of tests/data/check; false with the compiler's output.
    static ::testing::AssertionResult Compile(const std::string& name)
    {
        std::ifstream in(std::string(ZORIT_CHECK_DATA_DIR) + name, std::ios::binary);
        std::stringstream script;
        script << in.rdbuf();
        std::ostringstream out;
        if (RunCompileCommand(script.str(), false, out) != 0)
            return ::testing::AssertionFailure() << out.str();
        return ::testing::AssertionSuccess();
    }
    // The lines of an expected checker output, without the stroke count.
    static std::vector<std::string> Expected(const std::string& name)
    {
        std::vector<std::string> lines = SplitLines(ReadTestFile(std::string(ZORIT_CHECK_DATA_DIR) + name));
        if (!lines.empty() && lines.back().rfind("STROKES", 0) == 0)
            lines.pop_back();
        return lines;
    }

    QAction* A(const char* name) { return shell->action(name); }
    // With ZORIT_SCREENSHOT_DIR set, the window as a PNG there (to look at).
    static void Screenshot(QWidget& w, const char* name)
    {
        if (const char* dir = std::getenv("ZORIT_SCREENSHOT_DIR"))
            w.grab().save(QString(dir) + "/" + name);
    }

    RecordingKernelHost host;
    FakeCheckShell* shell = nullptr;
    std::vector<ListMove> moves;
};
