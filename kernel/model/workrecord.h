#pragma once
// The work record: the kernel's configuration tables and working state.
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kernel/compiler/compilerrecord.h"

class StatementFile;

using FunctionSet = std::bitset<256>;

struct t_K8_heap_var {
    // 255 by default and after the script text was handed over; 0 after list
    // 0 was cleared.
    uint8_t Status = 255;
    // Run flags of the engine bridge: set at every compile or load; the clear
    // flag of a compile is kept for the next.
    uint8_t RunFlag = 0;
    uint8_t ClearFlag = 0;

    // Function sets steering the dispatcher (one bit per function code).
    FunctionSet ReInitSet;          // {1..7, 9, 10, 12, 151..157, 159, 160}
    FunctionSet CommentSet;         // {151..157, 159, 160}
    FunctionSet LevelSet;           // {12}
    FunctionSet SystemSelectorSet;  // "G".."O" (71..79)
    FunctionSet Set7172;            // {71, 72}
    FunctionSet SystemCounts;       // allowed numbers of cam systems {1, 2, 3, 4, 6}

    // Pattern symbol characters; symbol i (1..32) is colour-set bit i - 1.
    std::string Symbols;

    // Model table: 22 entries of 4 characters (three digits and a blank),
    // and the columns at the same positions.
    std::string ModelTable;
    std::string ModelColumn1;  // cam systems (also the machine kind)
    std::string ModelColumn2;  // machine value
    std::string ModelColumn3;  // "1" when the optional take-down columns exist
    std::string ModelCodes;    // digit and letter per model

    FunctionSet GaugeSet;      // {2, 3, 4, 5, 6, 7, 8, 10, 12, 14, 25}
    std::string GaugeText;     // "2 3 4 5 6 7 8 10 12 14 25"
    std::string GaugeLetters;  // "a c d e f g h j  l  n  b "

    // Keyword texts of the compiler and checker.
    std::string KwTransferOut = "O<>O";
    std::string KwTransferIn = "O><O";
    std::string KwStars = "****";
    std::string KwDashes = "----";
    std::string KwBlow = "BLOW";
    std::string KwSensor = "SENSOR";
    std::string KwNZ = "NZ";
    std::string KwRR = "RR";
    std::string KwAuto = "Auto";
    std::string KwRatio11 = "1:1";
    std::string KwRatio21 = "2:1";
    std::string KwRatioM11 = "-1:1";
    std::string KwRatioM21 = "-2:1";
    std::string KwNz = "Nz";

    uint8_t CarrierListNumber = 10;

    std::string FfMinText;  // " FF MIN = "
    std::string FfMaxText;  // " FF MAX = "
    std::string FfDisText;  // " FF DIS = "
    uint8_t FfMinDefault = 5;
    uint8_t FfMaxDefault = 100;
    uint8_t FfDisDefault = 2;

    // Keys of the set-up sheet, in the order listed in SetDefaults.
    std::array<std::string, 17> SheetKeys;
    std::string DefaultModel;

    uint8_t Level = 1;          // current selector level
    uint8_t Systems = 0;        // number of cam systems
    uint8_t MachineValue = 1;   // model column 2
    uint8_t TakeDownColumns = 0;  // model column 3

    std::string TargetFolder = "C:\\";
    uint8_t TempFilesOpen = 0;

    std::string CommentPoolFile;   // "K-Liste.TMP"
    std::string SpecialFile;       // "SF-Liste.DB"
    std::string SectionExt;        // ".DB"
    std::string ListTempExt;       // ".TMP"
    uint8_t CommentRecordSize = 81;
    uint8_t SpecialRecordSize = 24;
    uint16_t TempRecordCount = 20000;

    // List names by list number 0..12.
    std::array<std::string, 13> ListNames;
    // Section capacities by list number (index 0 unused).
    std::array<uint16_t, 13> SectionCapacity{};

    // Pattern file names filled by a machine program load.
    std::array<std::string, 3> PatternFiles;
    // Temporary statement file (script folder + "STR_PHS6.TMP").
    std::string StatementFile;

    // Compiler: the script text handed over (Windows-1252 bytes) and the
    // error report.
    std::string ScriptText;
    int32_t ErrorCode = 0;
    int32_t ErrorLine = 0;
    int32_t ErrorColumn = 0;
    std::string ErrorDetail;

    // Machine program file directory buffer.
    std::array<uint8_t, 368> Directory{};

    // Further settings handed over by the bridge.
    std::array<uint8_t, 80> BridgeSettings{};
    uint16_t BridgeValue = 0;

    // Module-set expansion settings.
    FunctionSet ExpandModes910;  // {9, 10}
    FunctionSet ExpandModes45;   // {4, 5}
    FunctionSet ExpandModesAll;  // {4, 5, 9, 10}
    uint16_t SubSequenceGap = 1;

    // ---------------------------------------------------------------------
    // Script compiler: reader, header pass, statement file, module sets.
    // ErrorLine and ErrorColumn above follow the reader: the line is counted
    // up to 65535, the column stops at 255.
    std::string ErrorToken;  // first token of the statement (Windows-1252, at most 255)
    std::string ErrorValue;  // the rest of the statement (at most 255)
    // 0 expecting MODULSET, 1 expecting BEGIN, 3 after BEGIN, 5 after a
    // directive, 4 END read.
    uint8_t HeaderState = 0;
    uint8_t MachineDefined = 0;
    int32_t TextPosition = 1;  // 1-based index of the next character
    int32_t ScriptLength = 0;  // 0: measure on the next read
    int32_t StartPosition = 0;  // where the statement being read began
    uint16_t StartLine = 0;
    uint8_t F_Opt = 0;  // $F_OPT
    // Machine table columns of the $ZR_TYP model.
    uint8_t MachineNumber = 0;    // column 1
    uint8_t MachineMode = 0;      // column 2
    uint8_t MachineTakeDown = 0;  // column 3 is "1"
    // $YC_OFFSET_: two values per rail (1..8) and box (A..H).
    std::array<std::array<std::array<int16_t, 2>, 8>, 8> CarrierOffsets{};
    char ComparisonChar = '*';  // marks the flag of a $S_ kind I line
    char SideSeparator = '/';   // between the sides of a $P_ item
    std::string SwitchOn = "ON";    // PRESS words: 103
    std::string SwitchOff = "OFF";  // 102
    // Switches the compiler only reads.
    uint8_t DensityFixUp = 0;
    uint8_t ContinueOnError = 0;
    std::array<uint8_t, 4> WorkFlags{};
    uint8_t ReportFlag = 0;
    // The compile's records; the driver creates and drops them.
    std::shared_ptr<t_modulset_info> ModulsetInfo;
    std::shared_ptr<::StatementFile> Statements;
    // Module-set definitions, oldest first (searched from the back).
    std::vector<ModuleSetRecord> ModuleSets;
    int ModuleSetCursor = -1;
    uint8_t ModuleSetsPresent = 0;

    // Module statements and the expansion over the pattern.
    // Direct racking continues from the step and transfer code the last
    // racking statement gave, across modules; a compile starts them at 0.
    int8_t LastRackingStep = 0;
    uint8_t LastRackingCode = 0;
    std::string ModuleColourTable;  // COLTAB of the module being compiled (at most 10)
    std::string CurrentRowCode;     // row code of the module row being knitted (at most 3)
    std::string NextRowCode;        // row code of the row after it
};

extern t_K8_heap_var ZrVar;

// Writes every default of the work record.
void SetDefaults();

// The F line of the colour-specific stitch densities of symbol k (1..20) on
// side 1 (front) or 2 (back): the table the bridge hands over in
// BridgeSettings. The slot distance is BridgeValue.
uint16_t ColourDensityTableLine(int side, int k);
void SetColourDensityTableLine(int side, int k, uint16_t line);

// Model lookup: the 1-based position of the model in the model table, 0 when
// not found. Only exact three-character matches at slot starts count.
int FindModel(const std::string& model);
// Column k (1..3) of the model at position pos, one character.
char ModelColumnChar(int column, int pos);
// Three characters of column k at position pos.
std::string ModelColumnText(int column, int pos);
// The number column k's slot at position pos holds ("2   " is 2; 0 for
// anything else).
int ModelColumnNumber(int column, int pos);
