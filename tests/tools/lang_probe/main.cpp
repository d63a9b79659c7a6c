// lang_probe: the phrase engine and the message dialogs on the command line.
// Exit 0 on success, 1 when the operation reported an error, 2 on bad usage.
// Messages the engine would show in a window are printed as "MSG <text>".
//
//   lang_probe [--home DIR] [--language NAME] translate TEXT...
//   lang_probe [--home DIR] [--language NAME] hint TEXT
//   lang_probe [--home DIR] [--language NAME] dialog KIND BUTTONS TEXT [--pos X Y]
#include <QApplication>
#include <QString>
#include <exception>
#include <iostream>
#include <map>
#include <string>

#include "kernel/language/language.h"
#include "kernel/ui/lan_dialogs.h"
#include "tests/tools/common/probe_common.h"

namespace {

using Args = ProbeArgs;

// What the stored setting would give: the name from --language.
class FakeSettings : public LanguageSettings {
public:
    explicit FakeSettings(std::string name) : name_(std::move(name)) {}
    std::string ReadLanguageSetting() override { return name_; }
    int WriteLanguageSetting(const std::string& name) override
    {
        name_ = name;
        return 0;
    }

private:
    std::string name_;
};

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
        throw ProbeUsage{"not a number: " + s};
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
        throw ProbeUsage{"unknown dialog kind " + s};
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
            throw ProbeUsage{"unknown button in " + list};
        buttons.add(it->second);
        start = comma + 1;
    }
    return buttons;
}

int Translate(const Args& args)
{
    if (args.empty())
        throw ProbeUsage{"translate needs a text"};
    for (const std::string& text : args)
        std::cout << F_TRANS(text) << "\n";
    return 0;
}

int Hint(const Args& args)
{
    if (args.size() != 1)
        throw ProbeUsage{"hint needs one text"};
    std::cout << F_TRANSHINT(args[0]) << "\n";
    return 0;
}

int Dialog(char* program, Args args)
{
    const Args pos = TakeOptionValues(args, "--pos", 2);
    if (args.size() != 3)
        throw ProbeUsage{"dialog needs KIND BUTTONS TEXT"};
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

const char* const kUsage =
    "usage: lang_probe [--home DIR] [--language NAME] translate TEXT...\n"
    "       lang_probe [--home DIR] [--language NAME] hint TEXT\n"
    "       lang_probe [--home DIR] [--language NAME] dialog KIND BUTTONS TEXT [--pos X Y]\n";

}  // namespace

int main(int argc, char** argv)
{
    Args args(argv + 1, argv + argc);
    ProbeHome home;
    PrintingHost host;
    const int rc = RunProbe("lang_probe", kUsage, [&] {
        const std::string dir = TakeOption(args, "--home");
        const std::string language = TakeOption(args, "--language");
        if (args.empty())
            return PrintProbeUsage("lang_probe", "", kUsage);
        const std::string command = args[0];
        if (command != "translate" && command != "hint" && command != "dialog")
            return PrintProbeUsage("lang_probe", "unknown command " + command, kUsage);
        home.Enter(dir, "lang-probe");

        setKernelHost(&host);
        FakeSettings settings(language);
        InitLanguage(&settings, nullptr, "DbLang.Txt", ' ');
        const Args rest(args.begin() + 1, args.end());
        if (command == "translate")
            return Translate(rest);
        if (command == "hint")
            return Hint(rest);
        return Dialog(argv[0], rest);
    });
    std::cout.flush();
    // Closes the phrase database on every way out, a usage error included.
    DoneLanguage();
    setKernelHost(nullptr);
    return rc;
}
