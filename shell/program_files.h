#pragma once
// Files and the program model: the compile driver for scripts and the design
// program's exchange sets, loading and saving complete programs with their
// pattern files, and the rules these share (names, extension, recent files).
#include <array>
#include <cstdint>
#include <string>

// The extension of a complete program: the model's code and the gauge's
// letter, upper-cased ("8DH").
std::string F_ProgrammExtension();

// The file of one part of an exchange set: beside base for a ".SMA" base,
// else the part extracted from the container base into "Pattern.Tmp" in the
// temporary folder. The caller tests whether it exists.
std::string F_GetProgrammDatei(const std::string& base, const std::string& extension, int imageNumber);

// Compiles the script holder's text, for an exchange set (base not empty)
// with its script, pattern layers and machine-type file. The compiler
// reports its own errors; the windows are redisplayed whatever the result.
// The compiler's code.
int32_t CompileProgramFiles(const std::string& base);

// Loads a complete program with its pattern files. A program file that the
// bridge refuses, or a pattern file it names that is missing or cannot be
// read, shows why once (naming the pattern file) and gives false; the
// caller puts the program as it was back.
bool P_MusterLaden(const std::string& fileName);
// Saves the program as fileName with its pattern files. False when the save
// failed (its message shown; the old files stay).
bool P_MusterSichern(const std::string& fileName);

// The program name a file gives: without folder and without its last four
// characters (the extension), in Windows-1252, cut to 8 characters; empty
// for a name of four characters or fewer.
std::string ProgramNameOf(const std::string& fileName);
// The program's name as the person gave it, in UTF-8: while the stored name
// (Windows-1252, where letters outside it are "?") is the one programFile
// gave, the same characters of programFile's own name; else the stored name.
std::string ShownProgramName(const std::string& programFile, const std::string& storedName);
// The file "&Speichern" writes. While the program still has the name that
// lastFile (the file it was last loaded from or saved as, by its full name)
// gave it: lastFile itself as long as the machine model and gauge give the
// extension they gave then (lastExtension) or lastFile's own extension;
// after a change of model or gauge, lastFile's folder and base name with
// the new extension. Otherwise the program name (Windows-1252) with the
// extension in folder.
std::string SaveTarget(const std::string& lastFile, const std::string& lastExtension, const std::string& programName,
                       const std::string& folder, const std::string& extension);
// The course increment of a text "(n)"; 2 when the text is not of that form.
uint16_t IncrementOf(const std::string& text);

// Recent files: a caption is "ZR" + the model padded to 3 + " " + the path.
using RecentList = std::array<std::string, 4>;
std::string RecentCaption(const std::string& model, const std::string& path);
// The path of a caption (what stands after its first six characters).
std::string RecentPath(const std::string& caption);
// Puts caption at the top: an entry equal to it (upper-cased) moves up
// without a duplicate, else the fourth drops out.
void AddRecentEntry(RecentList& items, const std::string& caption);
