// Before any Qt header: the work record has a member that Qt's "slots"
// keyword would swallow.
#include "kernel/model/workrecord.h"

#include "shell/program_files.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "kernel/compiler/compilererror.h"
#include "kernel/dispatch/busystate.h"
#include "kernel/dispatch/kernel_host.h"
#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "kernel/model/machinedata.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/blpattern.h"
#include "kernel/pattern/smzfile.h"
#include "kernel/pattern/tiffpattern.h"
#include "kernel/services/debuglog.h"
#include "kernel/services/services.h"
#include "kernel/tkf/enginebridge.h"
#include "kernel/tkf/programsave.h"
#include "kernel/ui/dialog_focus.h"
#include "kernel/ui/forms.h"
#include "lists/form_fortschritt.h"
#include "pattern/form_patrone.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "shell/form_main.h"
#include "shell/program_windows.h"
#include "shell/script_source.h"

namespace {
constexpr size_t kProgramNameLength = 8;

bool Exists(const std::string& path)
{
    return !path.empty() && !FindExisting(path).empty();
}

std::vector<std::string> InfoLabels()
{
    return {F_TRANS("Dateiname"), F_TRANS("Liste"), F_TRANS("Zeile"), ""};
}

// The progress window of the compile, shown for the driver's lifetime. The
// keys go back to the window the compile was started from once the box is
// gone (after an error the editor, its cursor on the error).
class CompileProgress {
public:
    CompileProgress()
    {
        if (!FormFortschritt)
            return;
        QString caption;
        if (FormMain)
            if (QAction* compiler = FormMain->Action("MnuSkrelCompiler"))
                caption = compiler->toolTip().section('|', 0, 0);
        FormFortschritt->setWindowTitle(caption);
        FormFortschritt->ProgressBar1->setVisible(true);
        FormFortschritt->ProgressBar1->setValue(FormFortschritt->ProgressBar1->minimum());
        FormFortschritt->Label1->setText(QString::fromStdString(F_TRANS("Bitte warten")));
        FormFortschritt->adjustSize();
        if (FormMain)
            FormFortschritt->move(FormMain->geometry().center() - FormFortschritt->rect().center());
        FormFortschritt->show();
        QCoreApplication::processEvents();
    }
    ~CompileProgress()
    {
        P_UpdateFenster();
        if (FormFortschritt)
            FormFortschritt->hide();
    }
    CompileProgress(const CompileProgress&) = delete;
    CompileProgress& operator=(const CompileProgress&) = delete;

private:
    KeysStayWithWorkWindow keys_;
};
}  // namespace

std::string F_ProgrammExtension()
{
    const t_K8_heap_var& z = ZrVar;
    std::string code;
    // The codes stand where the models stand in the model table.
    if (const int pos = FindModel(ProgrammKopf.Model()); pos > 0 && z.ModelCodes.size() >= size_t(pos) + 1)
        code = z.ModelCodes.substr(size_t(pos - 1), 2);
    std::string letter;
    const std::string gauge = std::to_string(ProgrammKopf.Gauge());
    // The gauge's decimal text stands in the gauge text where its letter
    // stands in the letter text; only whole numbers count.
    for (size_t at = z.GaugeText.find(gauge); at != std::string::npos; at = z.GaugeText.find(gauge, at + 1)) {
        const bool starts = at == 0 || z.GaugeText[at - 1] == ' ';
        const size_t end = at + gauge.size();
        const bool ends = end == z.GaugeText.size() || z.GaugeText[end] == ' ';
        if (starts && ends) {
            if (at < z.GaugeLetters.size() && z.GaugeLetters[at] != ' ')
                letter = std::string(1, z.GaugeLetters[at]);
            break;
        }
    }
    return AsciiUpper(code + letter);
}

std::string F_GetProgrammDatei(const std::string& base, const std::string& extension, int imageNumber)
{
    const std::string name = FileNamePart(base);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && AsciiUpper(name.substr(dot)) == ".SMA")
        return ReplaceExtension(base, extension);
    const std::string tmp = TempPfad + "Pattern.Tmp";
    std::error_code ec;
    std::filesystem::remove(tmp, ec);
    ReadSmzFile(base, imageNumber, tmp);
    return tmp;
}

int32_t CompileProgramFiles(const std::string& base)
{
    ProgramBusyScope busy;
    ScriptSource& script = TheScriptSource();
    script.ensure();

    CompileSettings settings = DefaultCompileSettings();
    std::string incrementText = "(2)";
    if (!base.empty()) {
        if (const std::string f = F_GetProgrammDatei(base, ".Skx", 21); Exists(f))
            script.loadFile(f);
        for (int p = 0; p <= 2; ++p)
            PatternPlane(p)->present = false;
        struct Layer {
            const char* extension;
            int image;
            int plane;
        };
        for (const Layer& l : {Layer{".Bl2", 22, 0}, Layer{".Bl3", 23, 2}, Layer{".Bl4", 24, 1}}) {
            const std::string f = F_GetProgrammDatei(base, l.extension, l.image);
            if (!Exists(f))
                continue;
            LoadBlPattern(f, false, true, l.plane);
            PatternPlane(l.plane)->present = true;
            PatternPlane(l.plane)->second = true;
        }
        if (const std::string f = F_GetProgrammDatei(base, ".D10", 10); Exists(f)) {
            P_ReadKulierVar(f, settings.table);
            incrementText = F_ReadKeyValue(FindExisting(f), "!KULIERSHINC", ':');
        }
    }

    const std::string compileFile = TempPfad + "Compile.Skx";
    script.saveAs(compileFile);
    CompileProgress progress;
    settings.increment = IncrementOf(incrementText);
    return engineBridge.P_RunScriptCompiler(TempPfad, compileFile, true, settings);
}

bool P_MusterLaden(const std::string& fileName)
{
    ProgramBusyScope busy;
    const KeysStayWithWorkWindow keys;
    KernelHost& host = kernelHost();
    const std::string path = FindExisting(fileName).empty() ? fileName : FindExisting(fileName);
    const std::string folder = FolderPart(path);
    host.infoShow(F_TRANS("Muster laden"), InfoLabels());
    host.infoLine(1, FileNamePart(path));

    PatternNames names;
    const uint16_t rc = engineBridge.P_LoadProgram(TempPfad, TempPfad, path, names);
    if (rc != 0) {
        host.infoHide();
        ShowFileError(FileNamePart(path), rc);
        return false;
    }
    ProgrammKopf.SetName(ProgramNameOf(path));
    P_SetMaschinenDaten();
    if (FormMain)
        FormMain->P_ShowProgrammKopf();

    if (names[0].empty()) {
        const std::string own = folder + Cp1252ToUtf8(ProgrammKopf.Name()) + ".TIF";
        if (!ProgrammKopf.Name().empty() && Exists(own))
            names[0] = FileNamePart(FindExisting(own));
    }
    ProgrammKopf.SetWidth(0);
    ProgrammKopf.SetHeight(0);
    // Tag order: planes 0, 2, 1; each read says whether more files follow.
    // A pattern file the program names but that cannot be read fails the
    // whole load: a program saved without it would lose its pattern.
    const int planes[3] = {0, 2, 1};
    for (int i = 0; i < 3; ++i) {
        if (names[size_t(i)].empty())
            continue;
        bool more = false;
        for (int j = i + 1; j < 3; ++j)
            more = more || !names[size_t(j)].empty();
        const std::string named = folder + names[size_t(i)];
        const std::string file = FindExisting(named);
        bool aborted = false;
        const std::string failure = file.empty() ? F_TRANS("Datei nicht gefunden!")
                                                 : ReadTiffPatternFor(file, more, planes[i], aborted);
        if (!failure.empty()) {
            host.infoHide();
            P_WarningBox(failure + "\r\n" + (file.empty() ? named : file));
            return false;
        }
    }
    if (FormPatrone && FormExists("Patrone") && ProgrammKopf.Width() != 0 && ProgrammKopf.Height() != 0 &&
        FormPatrone->isVisible())
        FormPatrone->MarkForRebuild();
    host.infoHide();
    if (FormMain)
        FormMain->P_AddLoadFile(path);
    return true;
}

bool P_MusterSichern(const std::string& fileName)
{
    ProgramBusyScope busy;
    const KeysStayWithWorkWindow keys;
    KernelHost& host = kernelHost();
    host.infoShow(F_TRANS("Muster sichern"), InfoLabels());
    host.infoLine(1, FileNamePart(fileName));
    const uint16_t rc = SaveWholeProgram(fileName, TempPfad);
    host.infoHide();
    if (rc != 0)
        return false;
    ProgrammKopf.SetName(ProgramNameOf(fileName));
    if (FormMain) {
        FormMain->P_ShowProgrammKopf();
        FormMain->P_AddLoadFile(ResolveForWrite(fileName));
    }
    return true;
}

std::string ProgramNameOf(const std::string& fileName)
{
    const std::string name = Utf8ToCp1252(FileNamePart(fileName));
    if (name.size() <= 4)
        return std::string();
    return name.substr(0, std::min(name.size() - 4, kProgramNameLength));
}

std::string ShownProgramName(const std::string& programFile, const std::string& storedName)
{
    if (programFile.empty() || storedName.empty() || ProgramNameOf(programFile) != storedName)
        return Cp1252ToUtf8(storedName);
    // One stored byte a character: the stored name's length is the count.
    return FirstCharacters(FileNamePart(programFile), storedName.size());
}

std::string SaveTarget(const std::string& lastFile, const std::string& lastExtension, const std::string& programName,
                       const std::string& folder, const std::string& extension)
{
    if (!lastFile.empty() && ProgramNameOf(lastFile) == programName) {
        // The extension says the machine model and gauge the file was saved
        // for: after a change of model the program goes to the file of the
        // new model beside the old one, which stays as it was.
        const size_t nameStart = lastFile.size() - FileNamePart(lastFile).size();
        const size_t dot = lastFile.rfind('.');
        const bool hasExtension = dot != std::string::npos && dot > nameStart;
        // An unchanged model and gauge rewrite the file, whatever extension
        // the user gave it.
        if (AsciiEqualNoCase(lastExtension, extension) ||
            (hasExtension && AsciiEqualNoCase(std::string_view(lastFile).substr(dot + 1), extension)))
            return lastFile;
        return (hasExtension ? lastFile.substr(0, dot) : lastFile) + "." + extension;
    }
    return AppendSeparator(folder) + Cp1252ToUtf8(programName) + "." + extension;
}

uint16_t IncrementOf(const std::string& text)
{
    bool ok = text.size() >= 3 && text.front() == '(' && text.back() == ')' && text.size() <= 8;
    for (size_t i = 1; ok && i + 1 < text.size(); ++i)
        ok = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
    if (!ok) {
        DebugLog({"KULIERSHINC", text, "ungueltig, 2 genommen"});
        return 2;
    }
    return static_cast<uint16_t>(std::stoi(text.substr(1, text.size() - 2)));
}

std::string RecentCaption(const std::string& model, const std::string& path)
{
    std::string padded = model.substr(0, 3);
    padded.resize(3, ' ');
    return "ZR" + padded + " " + path;
}

std::string RecentPath(const std::string& caption)
{
    return caption.size() > 6 ? caption.substr(6) : std::string();
}

void AddRecentEntry(RecentList& items, const std::string& caption)
{
    if (caption.empty())
        return;
    std::string carried = caption;
    for (std::string& item : items) {
        const std::string old = item;
        item = carried;
        if (old.empty() || AsciiUpper(old) == AsciiUpper(caption))
            return;
        carried = old;
    }
}
