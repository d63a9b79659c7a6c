// text_probe: the text line store and the text editing core from outside.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <iostream>
#include <string>

#include "common/probe_common.h"
#include "kernel/services/services.h"
#include "platform/codepage.h"
#include "text_fakes.h"
#include "textedit/core/text_edit_core.h"
#include "textedit/core/text_editor_commands.h"
#include "textedit/core/text_editor_host.h"

namespace {

const char* const kUsage =
    "usage: text_probe [--home DIR] load FILE\n"
    "       text_probe save FILE OUT\n"
    "       text_probe edit FILE|- [--cursor C,L] [--overwrite] [--readonly] [--syntax] [--symbols TEXT]\n"
    "                             [--clipboard TEXT] [--view COLSxROWS] [--redraws]\n"
    "                             [--editor [--matchcase 0|1] [--block-file PATH] [--hidden]] KEY...\n"
    "keys: Tab Esc PgUp PgDn Home End Left Right Up Down Ins Del BS Enter Y with S- C- A- prefixes;\n"
    "      type:TEXT char:N goto:C,L. Texts take \\r \\n \\t \\\\ \\xNN.\n"
    "editor: letters A..Z pass the two-key commands first; find:TEXT replace:FIND=REPL\n"
    "      replaceall:FIND=REPL selectall copy cut paste delete clearsel; prints EDIT pair=<enabled><visible>.";

// Windows-1252 as UTF-8, bytes below 32 as \xNN.
std::string Shown(const std::string& bytes)
{
    std::string out;
    std::string plain;
    for (unsigned char c : bytes) {
        if (c >= 32) {
            plain += static_cast<char>(c);
            continue;
        }
        out += Cp1252ToUtf8(plain);
        plain.clear();
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        out += hex;
    }
    return out + Cp1252ToUtf8(plain);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    throw ProbeUsage{"bad \\x escape"};
}

// An argument (UTF-8 with escapes) as Windows-1252 bytes.
std::string Bytes(const std::string& arg)
{
    std::string out;
    std::string plain;
    for (size_t i = 0; i < arg.size(); ++i) {
        if (arg[i] != '\\' || i + 1 >= arg.size()) {
            plain += arg[i];
            continue;
        }
        out += Utf8ToCp1252(plain);
        plain.clear();
        const char e = arg[++i];
        if (e == 'r')
            out += '\r';
        else if (e == 'n')
            out += '\n';
        else if (e == 't')
            out += '\t';
        else if (e == '\\')
            out += '\\';
        else if (e == 'x' && i + 2 < arg.size()) {
            out += static_cast<char>(HexDigit(arg[i + 1]) * 16 + HexDigit(arg[i + 2]));
            i += 2;
        } else
            throw ProbeUsage{"bad escape in " + arg};
    }
    return out + Utf8ToCp1252(plain);
}

std::pair<int, int> Pair(const std::string& text, char separator)
{
    const size_t at = text.find(separator);
    try {
        if (at != std::string::npos)
            return {std::stoi(text.substr(0, at)), std::stoi(text.substr(at + 1))};
    } catch (const std::exception&) {
    }
    throw ProbeUsage{"bad pair " + text};
}

void PrintLines(const T_MyStringList& lines)
{
    for (const std::string& line : lines.Lines())
        std::cout << '[' << Shown(line) << "]\n";
}

int PrintError(int code)
{
    std::cout << "ERROR " << code << ' ' << F_DiskErrorText(code) << '\n';
    return 1;
}

int Load(ProbeArgs& args)
{
    if (args.size() != 1)
        throw ProbeUsage{"load takes one file"};
    T_MyStringList lines;
    int changes = 0;
    lines.OnTextChange = [&changes] { ++changes; };
    if (const int code = lines.LoadFromFile(args[0]))
        return PrintError(code);
    PrintLines(lines);
    std::cout << "MODIFIED " << lines.Modified() << "\nTEXTCHANGE " << changes << '\n';
    return 0;
}

int Save(ProbeArgs& args)
{
    if (args.size() != 2)
        throw ProbeUsage{"save takes a file and the output"};
    T_MyStringList lines;
    if (const int code = lines.LoadFromFile(args[0]))
        return PrintError(code);
    if (const int code = lines.SaveToFile(args[1]))
        return PrintError(code);
    std::cout << "OK\n";
    return 0;
}

bool TakePrefix(std::string& key, const char* prefix)
{
    if (key.rfind(prefix, 0) != 0 || key.size() == 2)
        return false;
    key.erase(0, 2);
    return true;
}

// The block file stands in for the dialogs of Ctrl+K R and Ctrl+K W.
class ProbeEditorHost : public TextEditorHost {
public:
    TextEditorCommands* commands = nullptr;
    std::string blockFile;
    void ShowFindDialog() override { std::cout << "DIALOG find\n"; }
    void ShowReplaceDialog() override { std::cout << "DIALOG replace\n"; }
    void InsertFileAtCursor() override
    {
        if (!blockFile.empty())
            Report(commands->InsertFile(blockFile, {}));
    }
    void SaveSelectionAs() override
    {
        if (!blockFile.empty() && commands->Block())
            Report(commands->SaveBlockToFile(blockFile));
    }

private:
    static void Report(int code)
    {
        if (code != 0)
            std::cout << "WARNING " << code << ' ' << F_DiskErrorText(code) << '\n';
    }
};

std::pair<std::string, std::string> FindAndReplace(const std::string& text)
{
    const size_t at = text.find('=');
    if (at == std::string::npos)
        throw ProbeUsage{"bad replace " + text};
    return {Bytes(text.substr(0, at)), Bytes(text.substr(at + 1))};
}

// The editor's commands; false for anything else.
bool EditorCommand(TextEditorCommands& editor, const std::string& key, bool matchCase)
{
    if (key.rfind("find:", 0) == 0) {
        editor.FindNext(Bytes(key.substr(5)), matchCase);
    } else if (key.rfind("replace:", 0) == 0) {
        const auto [find, replace] = FindAndReplace(key.substr(8));
        editor.ReplaceSelection(find, replace);
    } else if (key.rfind("replaceall:", 0) == 0) {
        const auto [find, replace] = FindAndReplace(key.substr(11));
        std::cout << "REPLACED " << editor.ReplaceAll(find, replace, matchCase) << '\n';
    } else if (key == "selectall") {
        editor.SelectAll();
    } else if (key == "copy") {
        editor.Copy();
    } else if (key == "cut") {
        editor.Cut();
    } else if (key == "paste") {
        editor.Paste();
    } else if (key == "delete") {
        editor.Delete();
    } else if (key == "clearsel") {
        editor.ClearSelection();
    } else {
        return false;
    }
    return true;
}

void PressKey(TextEditCore& core, std::string key, TextEditorCommands* editor = nullptr)
{
    if (key.rfind("type:", 0) == 0) {
        for (char c : Bytes(key.substr(5)))
            core.HandleKey(static_cast<uint8_t>(c));
        return;
    }
    if (key.rfind("char:", 0) == 0) {
        core.HandleKey(static_cast<uint8_t>(Pair(key.substr(5) + ",0", ',').first));
        return;
    }
    if (key.rfind("goto:", 0) == 0) {
        const auto [column, line] = Pair(key.substr(5), ',');
        core.SetTextCursor(column, line);
        return;
    }
    KeyModifiers mods;
    for (bool more = true; more;) {
        more = false;
        if (TakePrefix(key, "S-"))
            more = mods.shift = true;
        else if (TakePrefix(key, "C-"))
            more = mods.ctrl = true;
        else if (TakePrefix(key, "A-"))
            more = mods.alt = true;
    }
    static const std::pair<const char*, int> kKeys[] = {
        {"Tab", TextKey::Tab},     {"Esc", TextKey::Escape}, {"PgUp", TextKey::Prior}, {"PgDn", TextKey::Next},
        {"Home", TextKey::Home},   {"End", TextKey::End},    {"Left", TextKey::Left},  {"Right", TextKey::Right},
        {"Up", TextKey::Up},       {"Down", TextKey::Down},  {"Ins", TextKey::Insert}, {"Del", TextKey::Delete},
        {"Y", TextKey::Y}};
    if (editor && key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z') {
        if (editor->ShortCut(key[0], mods.ctrl))
            return;
        // A letter the commands leave types itself, as the window does.
        if (!mods.ctrl && !mods.alt) {
            core.HandleKey(static_cast<uint8_t>(mods.shift ? key[0] : key[0] - 'A' + 'a'));
            return;
        }
        if (key != "Y")
            return;
    } else if (editor) {
        const auto found = std::find_if(std::begin(kKeys), std::end(kKeys),
                                        [&key](const auto& k) { return key == k.first; });
        const int code = found != std::end(kKeys) ? found->second : 0;
        editor->Prefixes().Feed(code, mods.ctrl);
    }
    if (key == "BS" || key == "Enter") {
        // The key table leaves them to character input, as the window does.
        core.HandleKey(key == "BS" ? 8 : 13);
        return;
    }
    for (const auto& [name, code] : kKeys) {
        if (key == name) {
            core.KeyDown(code, mods);
            return;
        }
    }
    throw ProbeUsage{"unknown key " + key};
}

int Edit(ProbeArgs& args)
{
    const std::string cursor = TakeOption(args, "--cursor");
    const bool overwrite = TakeSwitch(args, "--overwrite");
    const bool readOnly = TakeSwitch(args, "--readonly");
    const bool syntax = TakeSwitch(args, "--syntax");
    const std::string symbols = TakeOption(args, "--symbols");
    const std::string clipboardText = TakeOption(args, "--clipboard");
    const std::string view = TakeOption(args, "--view");
    const bool redraws = TakeSwitch(args, "--redraws");
    const bool editorMode = TakeSwitch(args, "--editor");
    const std::string matchCase = TakeOption(args, "--matchcase");
    const std::string blockFile = TakeOption(args, "--block-file");
    const bool hidden = TakeSwitch(args, "--hidden");
    if (args.empty())
        throw ProbeUsage{"edit takes a file"};
    const auto [columns, rows] = view.empty() ? std::pair{120, 40} : Pair(view, 'x');
    if (columns < 1 || rows < 2)
        throw ProbeUsage{"bad view " + view};

    RecordingTextView port(columns, rows);
    RecordingClipboard clipboard;
    clipboard.text = Bytes(clipboardText);
    TextEditCore core(port, clipboard);
    port.Attach(&core.Lines());
    if (args[0] != "-") {
        if (const int code = core.Lines().LoadFromFile(args[0]))
            return PrintError(code);
    }
    if (!cursor.empty()) {
        const auto [column, line] = Pair(cursor, ',');
        core.SetTextCursor(column, line);
    }
    if (overwrite)
        core.KeyDown(TextKey::Insert, {});
    if (readOnly)
        core.SetReadOnly(true);
    core.SetSyntaxDisplay(syntax);
    core.SetSymbolText(Bytes(symbols));

    ProbeEditorHost host;
    TextEditorCommands editor(core, host);
    host.commands = &editor;
    host.blockFile = blockFile;
    port.redraws.clear();
    for (size_t i = 1; i < args.size(); ++i)
        if (!editorMode || !EditorCommand(editor, args[i], matchCase != "0"))
            PressKey(core, args[i], editorMode ? &editor : nullptr);

    if (redraws)
        for (const RedrawRequest& r : port.redraws)
            std::cout << "REDRAW " << r.firstColumn << ' ' << r.firstLine << ' ' << r.lastLine << ' '
                      << r.lastColumn << '\n';
    PrintLines(core.Lines());
    const TextSelection& s = core.Selection();
    std::cout << "CURSOR " << core.CursorText() << "\nMODE " << core.ModeText() << "\nMODIFIED "
              << core.Lines().Modified() << "\nSEL " << s.x1 << ' ' << s.y1 << ' ' << s.x2 << ' ' << s.y2 << ' '
              << s.present << ' ' << s.active << "\nVIEW " << port.topLine << ' ' << port.firstColumn << '\n';
    if (clipboard.sets > 0)
        std::cout << "CLIPBOARD [" << Shown(clipboard.text) << "]\n";
    if (editorMode) {
        EditMenuModel menu;
        menu.Update(editor.EditInput(!clipboard.text.empty(), hidden), true);
        menu.SetFindReplace(!hidden);
        std::cout << "EDIT";
        for (int p = 0; p < kEditPairCount; ++p) {
            const EditPairState& state = menu.State(static_cast<EditPair>(p));
            std::cout << ' ' << EditPairName(static_cast<EditPair>(p)) << '=' << state.enabled << state.visible;
        }
        std::cout << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return RunProbe("text_probe", kUsage, [&] {
        ProbeArgs args(argv + 1, argv + argc);
        ProbeHome home;
        home.Enter(TakeOption(args, "--home"), "text_probe");
        if (args.empty())
            throw ProbeUsage{"no command"};
        const std::string command = args.front();
        args.erase(args.begin());
        if (command == "load")
            return Load(args);
        if (command == "save")
            return Save(args);
        if (command == "edit")
            return Edit(args);
        throw ProbeUsage{"unknown command " + command};
    });
}
