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

// Makes the row the error's place: the token names the row and its
// module-set code ("Y12: [AB]"), with no value and no position in the
// script (the editor's cursor stays). Returns the error, also left in the
// work record.
int32_t RowError(uint16_t row, const std::string& code, int32_t error);

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
    // The S lines of a module row whose module wrote Z lines from startZ on.
    int32_t SequenceRow(uint16_t row, const std::string& code, uint16_t startZ);
    // Moves the current row over the k-row blocks after it that repeat the
    // module row's code; 1 plus their number.
    uint16_t Repetitions(const std::string& code, int k);
    int32_t WriteS(ProgramCommandBlock& block);
    int32_t CopySelectorComment(int32_t selectorLine, uint16_t sLine);
    // WS from cells 4 and 5 of the current row when cell 4 holds 3.
    void SelectorRowWS();

    ProgramCommandBlock m_;  // the module line M
    ProgramCommandBlock g_;  // the group line G
    bool inGroup_ = false;
    bool closeGroup_ = false;
    bool examined_ = false;  // the scan has looked at a row
    bool remembered_ = false;
    uint16_t rememberedN_ = 0;
    int16_t rememberedWN_ = 0;
    uint16_t rememberedZ_ = 0;
    uint16_t height_ = 0;
    // The statements of every module compiled so far, by file position.
    std::map<int32_t, ModuleStatements> modules_;
};
