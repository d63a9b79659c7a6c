#pragma once
// A named module set knitted along the pattern: the first three cells of a
// pattern row name the module that knits it ("AB" and a mode code). Every
// compiled module becomes a scheme sequence (S) line that runs its Z lines;
// identical following rows become repetitions, rows of one mode code a
// sub-sequence, and ">>" rows needle division (N) lines.
#include <cstdint>
#include <map>
#include <string>

#include "kernel/compiler/modulecompiler.h"
#include "kernel/model/programcommandblock.h"

// The row code of pattern row y: the symbols of cells 1 and 2 and the
// character whose code is cell 3 (each cell read as PatternCell gives it).
// A cell beyond the symbol string gives no character, so the code may be
// shorter than 3.
std::string ModuleRowCode(uint16_t y);

// How an error names a row and its module-set code: "Y12: [AB]".
std::string RowToken(uint16_t row, const std::string& code);

// The N lines of the row after the compiler record's current row. Sets and
// returns the work record's error code.
int32_t BuildNeedleDivisionLines();

// Compiles the module of every module row from the current row on. 0 or
// the error code (also left in the work record).
int32_t ExpandModuleSet();

class ModuleExpansion {
public:
    ModuleExpansion();
    int32_t Run();

private:
    // Skips "--" rows and writes the N lines of ">>" rows; false when the
    // scan passes the last row or the pattern.
    bool ScanToModuleRow(uint16_t& row);
    int32_t NeedleDivisionRow();
    int32_t CompileRow(uint16_t row, const std::string& code);
    int32_t WriteS(ProgramCommandBlock& block);
    int32_t CopySelectorComment(int32_t selectorLine, uint16_t sLine);
    // WS from cells 4 and 5 of the current row when cell 4 holds 3.
    void SelectorRowWS();

    ProgramCommandBlock m_;  // the module line M
    ProgramCommandBlock g_;  // the group line G
    bool inGroup_ = false;
    bool closeGroup_ = false;
    bool remembered_ = false;
    uint16_t rememberedN_ = 0;
    int16_t rememberedWN_ = 0;
    uint16_t rememberedZ_ = 0;
    uint16_t height_ = 0;
    // The statements of every module compiled so far, by file position.
    std::map<int32_t, ModuleStatements> modules_;
};
