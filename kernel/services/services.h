#pragma once
// Routines used throughout the program: settings, number texts, warnings,
// disk error texts, key/value lines of text files, yarn-change variables.
#include <array>
#include <cstdint>
#include <string>

// Settings in ProgrammPfad + "Zorit.INI" (an existing file of that name in
// any letter case is used). A missing key (or one holding "#678") gets the
// default written and returned. A file that cannot be written gives the
// default all the same.
std::string F_ReadIni(const std::string& section, const std::string& key, const std::string& def);
bool P_WriteIni(const std::string& section, const std::string& key, const std::string& value);
// The INI file's path as it is used (existing match or the new name).
std::string IniFilePath();

int F_Sign(int16_t value);
// Right-aligned in width characters, blanks replaced by "0"; a negative
// value keeps its sign in front ("-005").
std::string F_ZeroPadNum(int32_t value, int width);
// "+" or "-", then the absolute value zero-padded to width - 1.
std::string F_SignedZeroPadNum(int32_t value, int width);
// Empty for 0, else F_ZeroPadNum.
std::string F_NumOrEmpty(uint16_t value, int width);

// The translated warning dialog with a single Cancel button.
void P_WarningBox(const std::string& text);
// The translated text of a disk error code.
std::string F_DiskErrorText(int code);
// The text of a disk error met on one file of several (a program with its
// pattern files): a refused write names the file on a line before the text,
// since each file of the set may be refused for itself.
std::string DiskErrorTextFor(const std::string& path, int code);

// The value after the first separator of the first line that begins with
// the key (at most 256 characters, a trailing ";" removed); empty when none.
std::string F_ReadKeyValue(const std::string& fileName, const std::string& key, char separator);
std::string F_DeleteChar(char c, const std::string& text);

// Yarn-change variables of a machine-type file: row 0 front, row 1 back.
using KulierVarTable = std::array<std::array<uint16_t, 20>, 2>;
void P_ReadKulierVar(const std::string& fileName, KulierVarTable& table);
void P_ParseKulierVar(const std::string& value, int row, KulierVarTable& table);
