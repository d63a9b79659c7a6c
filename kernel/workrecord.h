#pragma once
// The work record: the kernel's configuration tables and working state.
#include <array>
#include <bitset>
#include <cstdint>
#include <string>

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
};

extern t_K8_heap_var ZrVar;

// Writes every default of the work record.
void SetDefaults();

// Model lookup: the 1-based position of the model in the model table, 0 when
// not found. Only exact three-character matches at slot starts count.
int FindModel(const std::string& model);
// Column k (1..3) of the model at position pos, one character.
char ModelColumnChar(int column, int pos);
// Three characters of column k at position pos.
std::string ModelColumnText(int column, int pos);
