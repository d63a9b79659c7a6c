// lang_probe: the phrase engine and the message dialogs on the command line.
// Exit 0 on success, 1 when the operation reported an error, 2 on bad usage.
// Messages the engine would show in a window are printed as "MSG <text>".
//
//   lang_probe [--home DIR] [--language NAME] translate TEXT...
//   lang_probe [--home DIR] [--language NAME] hint TEXT
//   lang_probe [--home DIR] [--language NAME] dialog KIND BUTTONS TEXT [--pos X Y]
#include <QApplication>
#include <QString>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "kernel/globals.h"
#include "kernel/kernel_host.h"
#include "kernel/language.h"
#include "kernel/ui/lan_dialogs.h"

namespace fs = std::filesystem;

namespace {

using Args = std::vector<std::string>;

struct Usage {
    std::string text;
};

class PrintingHost : public KernelHost {
public:
    int messageDlg(const std::string& text, MsgKind, MsgButtons buttons) override
    {
        std::istringstream lines(text);
        std::string line;
        bool any = false;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::cout << "MSG " << line << "\n";
            any = true;
        }
        if (!any)
            std::cout << "MSG \n";
        std::cout.flush();
        return UnattendedResult(buttons);
    }
};

// What the stored setting would give: the name from --language.
class FakeSettings : public LanguageSettings {
public:
    explicit FakeSettings(std::string name) : name_(std::move(name)) {}
    std::string ReadLanguageSetting() override { return name_; }
    void WriteLanguageSetting(const std::string& name) override { name_ = name; }

private:
    std::string name_;
};

// Takes "--name VALUE..." (count values) out of args; empty when absent.
Args TakeOption(Args& args, const std::string& name, std::size_t count = 1)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name)
            continue;
        if (i + count >= args.size())
            throw Usage{name + " needs " + std::to_string(count) + " value(s)"};
        Args values(args.begin() + static_cast<long>(i) + 1, args.begin() + static_cast<long>(i + count) + 1);
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i + count) + 1);
        return values;
    }
    return {};
}

int ParseInt(const std::string& s)
{
    std::size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(s, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != s.size())
        throw Usage{"not a number: " + s};
    return v;
}

MsgKind ParseKind(const std::string& s)
{
    static const std::map<std::string, MsgKind> kinds = {
        {"warning", MsgKind::Warning},           {"error", MsgKind::Error},
        {"information", MsgKind::Information},   {"confirmation", MsgKind::Confirmation},
        {"custom", MsgKind::Custom},
    };
    const auto it = kinds.find(s);
    if (it == kinds.end())
        throw Usage{"unknown dialog kind " + s};
    return it->second;
}

MsgButtons ParseButtons(const std::string& list)
{
    static const std::map<std::string, MsgButton> names = {
        {"yes", MsgButton::Yes},         {"no", MsgButton::No},         {"ok", MsgButton::OK},
        {"cancel", MsgButton::Cancel},   {"abort", MsgButton::Abort},   {"retry", MsgButton::Retry},
        {"ignore", MsgButton::Ignore},   {"all", MsgButton::All},       {"notoall", MsgButton::NoToAll},
        {"yestoall", MsgButton::YesToAll}, {"help", MsgButton::Help},
    };
    MsgButtons buttons;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        const auto it = names.find(list.substr(start, comma - start));
        if (it == names.end())
            throw Usage{"unknown button in " + list};
        buttons.add(it->second);
        start = comma + 1;
    }
    return buttons;
}

int Translate(const Args& args)
{
    if (args.empty())
        throw Usage{"translate needs a text"};
    for (const std::string& text : args)
        std::cout << F_TRANS(text) << "\n";
    return 0;
}

int Hint(const Args& args)
{
    if (args.size() != 1)
        throw Usage{"hint needs one text"};
    std::cout << F_TRANSHINT(args[0]) << "\n";
    return 0;
}

int Dialog(char* program, Args args)
{
    const Args pos = TakeOption(args, "--pos", 2);
    if (args.size() != 3)
        throw Usage{"dialog needs KIND BUTTONS TEXT"};
    const MsgKind kind = ParseKind(args[0]);
    const MsgButtons buttons = ParseButtons(args[1]);
    const int x = pos.empty() ? -1 : ParseInt(pos[0]);
    const int y = pos.empty() ? -1 : ParseInt(pos[1]);
    // Only the program name: a message text must not be read as a Qt option.
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    QApplication app(qtArgc, qtArgv);
    // The name the custom kind shows. Set as the application name, not the
    // display name: X11 would append a display name to every title.
    QCoreApplication::setApplicationName(QStringLiteral("ZORIT"));
    const int result = LanDialogs::MessageDlgPos(QString::fromStdString(args[2]), kind, buttons, 0, x, y);
    std::cout << result << "\n";
    return 0;
}

int Usage2(const std::string& text)
{
    if (!text.empty())
        std::cerr << "lang_probe: " << text << "\n";
    std::cerr << "usage: lang_probe [--home DIR] [--language NAME] translate TEXT...\n"
                 "       lang_probe [--home DIR] [--language NAME] hint TEXT\n"
                 "       lang_probe [--home DIR] [--language NAME] dialog KIND BUTTONS TEXT [--pos X Y]\n";
    return 2;
}

// Removes the probe's own fresh folder at exit.
struct FreshHome {
    std::string path;
    ~FreshHome()
    {
        if (!path.empty()) {
            std::error_code ec;
            fs::remove_all(path, ec);
        }
    }
};

}  // namespace

int main(int argc, char** argv)
{
    Args args(argv + 1, argv + argc);
    FreshHome fresh;
    PrintingHost host;
    try {
        const Args home = TakeOption(args, "--home");
        const Args language = TakeOption(args, "--language");
        if (args.empty())
            return Usage2("");
        const std::string command = args[0];
        if (command != "translate" && command != "hint" && command != "dialog")
            return Usage2("unknown command " + command);
        std::string folder = home.empty() ? std::string() : home[0];
        if (folder.empty()) {
            const char* tmp = std::getenv("TMPDIR");
            std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/lang-probe-XXXXXX";
            char* dir = mkdtemp(templ.data());
            if (!dir) {
                std::cout << "ERROR cannot create a folder\n";
                return 1;
            }
            fresh.path = dir;
            folder = dir;
        }
        fs::create_directories(folder);
        folder = fs::absolute(folder).lexically_normal().string();
        if (folder.back() != '/')
            folder += '/';
        ProgrammPfad = folder;
        TempPfad = folder + "Temp/";
        fs::create_directories(TempPfad);

        setKernelHost(&host);
        FakeSettings settings(language.empty() ? std::string() : language[0]);
        InitLanguage(&settings, nullptr, "DbLang.Txt", ' ');
        const Args rest(args.begin() + 1, args.end());
        int rc;
        if (command == "translate")
            rc = Translate(rest);
        else if (command == "hint")
            rc = Hint(rest);
        else
            rc = Dialog(argv[0], rest);
        std::cout.flush();
        DoneLanguage();
        setKernelHost(nullptr);
        return rc;
    } catch (const Usage& u) {
        DoneLanguage();
        return Usage2(u.text);
    } catch (const std::exception& e) {
        std::cout << "ERROR " << e.what() << std::endl;
        return 1;
    }
}
