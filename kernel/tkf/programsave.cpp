#include "kernel/tkf/programsave.h"

#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/tiffpattern.h"
#include "kernel/services/services.h"
#include "kernel/services/stream.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "platform/save_journal.h"

namespace {

constexpr uint16_t kFileNotOpen = 301;

std::string ShortenedName(const std::string& name, size_t count);

struct PlaneFile {
    int plane;
    std::string name;
};

// The first six characters of the name without folder and extension; a
// character of several UTF-8 bytes counts once and is never cut.
std::string Base6(const std::string& programFile)
{
    std::string stem = FileNamePart(programFile);
    const size_t dot = stem.rfind('.');
    if (dot != std::string::npos)
        stem.resize(dot);
    return FirstCharacters(stem, 6);
}

// The pattern files in the order they are written: plane 0, plane 2,
// plane 1. Plane 2's tag names "_q" and the load reads "_q.TIF": the file
// is written under that name, so that no older file of another spelling
// is read in its place.
std::vector<PlaneFile> PlaneFiles(const PatternNames& names, const std::string& base6)
{
    std::vector<PlaneFile> files;
    if (!names[0].empty())
        files.push_back({0, names[0]});
    if (!names[1].empty())
        files.push_back({2, base6 + "_q.TIF"});
    if (!names[2].empty())
        files.push_back({1, names[2]});
    return files;
}

uint16_t Refused(const std::string& message)
{
    P_WarningBox(message);
    return kFileNotOpen;
}

uint16_t Refused(int err)
{
    return Refused(F_DiskErrorText(DiskErrorCode(err)));
}

// A file of the set that could not be written: a refused one by name.
uint16_t Refused(int err, const std::string& file)
{
    return Refused(DiskErrorTextFor(file, DiskErrorCode(err)));
}

// A save that could not be opened again is refused before anything is
// written: the program file stores its pattern files' names in
// Windows-1252, so a name with other letters would name another file; and
// a name too long for the file system would fail half-way.
uint16_t RefusedName(const std::string& programFile, const PatternNames& names)
{
    const std::string program = ResolveForWrite(programFile);
    const std::string folder = FolderPart(program);
    const std::vector<PlaneFile> files = PlaneFiles(names, Base6(programFile));
    for (const PlaneFile& f : files)
        if (!FitsCp1252(f.name))
            return Refused(F_TRANS("Die Programmdatei kann den Namen dieser Musterdatei nicht speichern: er enthält "
                                   "Zeichen außerhalb von Windows-1252. Bitte einen Programmnamen ohne solche "
                                   "Zeichen wählen!") +
                           "\r\n" + f.name);
    bool fits = SafeFileNameFits(program);
    for (const PlaneFile& f : files)
        fits = fits && SafeFileNameFits(folder + f.name);
    if (!fits)
        return Refused(NameTooLongMessage(programFile));
    return 0;
}

// The name shortened in its middle to about count characters, so that a
// name of hundreds of letters does not stretch the message off the screen.
std::string ShortenedName(const std::string& name, size_t count)
{
    const std::string head = FirstCharacters(name, count * 2 / 3);
    if (head.size() == name.size())
        return name;
    size_t tail = name.size();
    for (size_t n = 0; n < count / 3 && tail > head.size(); ++n) {
        --tail;
        while (tail > head.size() && (static_cast<unsigned char>(name[tail]) & 0xC0) == 0x80)
            --tail;
    }
    if (tail <= head.size())
        return name;
    return head + "\u2026" + name.substr(tail);
}

bool Exists(const std::string& path)
{
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

// Puts finished files of one folder in place in their order, under a
// journal, so that a save killed between two renames is completed by
// whoever next saves or opens there. Until the last file is in place, each
// old file stays reachable under a temporary name (a second link), so that
// a rename that fails can put back the ones done before it.
class Replacement {
public:
    explicit Replacement(std::string folder) : folder_(std::move(folder)) {}
    ~Replacement()
    {
        for (const Step& s : steps_)
            if (!s.kept.empty())
                ::unlink(s.kept.c_str());
    }

    // 0, or the system's error number of the step that failed, with the
    // file it failed on; the old files are then back.
    int Run(const std::vector<SafeFileWriter*>& files, std::string& failedFile)
    {
        failedFile = folder_ + kSaveJournalName;
        for (SafeFileWriter* file : files) {
            Step step{file->destination(), {}, Exists(file->destination())};
            if (step.existed)
                KeepOld(step);
            steps_.push_back(step);
        }
        SaveStepPoint();
        if (const int err = WriteSaveJournal(folder_, ForwardRenames(files), KeptNames()))
            return err;
        SaveStepPoint();
        for (size_t i = 0; i < files.size(); ++i) {
            if (!files[i]->Commit()) {
                failedFile = files[i]->destination();
                Undo(i, files);
                return files[i]->error();
            }
            SaveStepPoint();
        }
        // The new files stand whole: a journal that could not go is
        // completed, to no effect, by the next save or open.
        RemoveSaveJournal(folder_);
        SaveStepPoint();
        return 0;
    }

private:
    struct Step {
        std::string dest;
        std::string kept;  // the old file's second name; empty when none
        bool existed;
    };

    static void KeepOld(Step& step)
    {
        // A fresh name of the save's own temporary form, which a later save
        // sweeps away should this one be killed.
        const int fd = CreateTemporaryBeside(step.dest, step.kept);
        if (fd < 0) {
            step.kept.clear();
            return;
        }
        ::close(fd);
        ::unlink(step.kept.c_str());
        if (::link(step.dest.c_str(), step.kept.c_str()) != 0)
            step.kept.clear();
    }

    static std::vector<JournalRename> ForwardRenames(const std::vector<SafeFileWriter*>& files)
    {
        std::vector<JournalRename> renames;
        for (const SafeFileWriter* file : files)
            renames.push_back({FileNamePart(file->temporary()), FileNamePart(file->destination())});
        return renames;
    }

    std::vector<std::string> KeptNames() const
    {
        std::vector<std::string> names;
        for (const Step& s : steps_)
            if (!s.kept.empty())
                names.push_back(FileNamePart(s.kept));
        return names;
    }

    // The renames before the failed one are turned back: the journal is
    // turned round first, so that a kill while putting back still ends
    // with the old files.
    void Undo(size_t failed, const std::vector<SafeFileWriter*>& files)
    {
        std::vector<JournalRename> back;
        std::vector<std::string> removals;
        for (size_t i = 0; i < failed; ++i) {
            if (!steps_[i].kept.empty())
                back.push_back({FileNamePart(steps_[i].kept), FileNamePart(steps_[i].dest)});
            else if (!steps_[i].existed)
                removals.push_back(FileNamePart(steps_[i].dest));
        }
        for (size_t i = failed + 1; i < files.size(); ++i)
            removals.push_back(FileNamePart(files[i]->temporary()));
        WriteSaveJournal(folder_, back, removals);
        for (size_t i = failed; i-- > 0;) {
            Step& s = steps_[i];
            if (!s.kept.empty() && ::rename(s.kept.c_str(), s.dest.c_str()) == 0)
                s.kept.clear();
            else if (!s.existed)
                ::unlink(s.dest.c_str());
        }
        RemoveSaveJournal(folder_);
    }

    std::string folder_;
    std::vector<Step> steps_;
};

}  // namespace

std::string NameTooLongMessage(const std::string& path)
{
    constexpr size_t kShownCharacters = 60;
    return F_TRANS("Der Dateiname oder Pfad ist zu lang!") + "\r\n" +
           ShortenedName(FileNamePart(path), kShownCharacters);
}

PatternNames ProgramPatternNames(const std::string& programFile)
{
    const std::string base6 = Base6(programFile);
    PatternNames names;
    if (BildEbene0.present)
        names[0] = base6 + "_p.TIF";
    if (BildEbene2.present)
        names[1] = base6 + "_q";
    if (BildEbene1.present)
        names[2] = base6 + "_y.TIF";
    return names;
}

uint16_t SaveWholeProgram(const std::string& programFile, const std::string& tempFolder)
{
    const PatternNames names = ProgramPatternNames(programFile);
    if (const uint16_t rc = RefusedName(programFile, names))
        return rc;
    if (const int err = CreateFolderOf(ResolveForWrite(programFile)))
        return Refused(err);

    std::string written;
    if (const uint16_t rc = engineBridge.WriteProgramFile(names, tempFolder, written)) {
        // The save's own refusals have shown their messages; a file that
        // could not be written says why here.
        if (rc == kFileNotOpen)
            Refused(F_DiskErrorText(P_DiskLastError()));
        return rc;
    }
    StatusText(F_TRANS("Dateien kopieren"));
    SafeFileWriter program;
    if (!program.Create(programFile) || !program.WriteFileContents(written) || !program.Finish())
        return Refused(program.error(), program.destination());

    const std::string folder = FolderPart(program.destination());
    std::vector<std::unique_ptr<SafeFileWriter>> patterns;
    for (const PlaneFile& f : PlaneFiles(names, Base6(programFile))) {
        patterns.push_back(std::make_unique<SafeFileWriter>());
        const std::string failure = StageTiffPattern(*patterns.back(), folder + f.name, f.plane);
        if (!failure.empty())
            return Refused(failure);
    }

    // The program file last: it names the pattern files.
    std::vector<SafeFileWriter*> order;
    for (const auto& p : patterns)
        order.push_back(p.get());
    order.push_back(&program);
    std::string failedFile;
    if (const int err = Replacement(folder).Run(order, failedFile))
        return Refused(err, failedFile);
    return 0;
}
