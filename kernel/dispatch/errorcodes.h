#pragma once
// Result codes of the program kernel: ProgramDispatch and the list handlers
// return 0 or one of these. Their message texts belong to the error report.
#include <cstdint>

namespace zerr {

constexpr uint16_t kOk = 0;

// Files.
constexpr uint16_t kFileNotOpen = 301;  // the stream file was not opened or created

// Knitting scheme list (Z) and list-wide codes.
constexpr uint16_t kBadListNumber = 1000;  // line field or list number out of range
constexpr uint16_t kBadColour = 1001;
constexpr uint16_t kBadSystemNumber = 1002;
constexpr uint16_t kBadSystemCount = 1003;
constexpr uint16_t kZTakeDownMode = 1101;
constexpr uint16_t kZTakeDownValue = 1102;
constexpr uint16_t kZSpeedMode = 1103;
constexpr uint16_t kZSpeedValue = 1104;
constexpr uint16_t kZMode02 = 1105;
constexpr uint16_t kZBadPList = 1106;
constexpr uint16_t kZCarrier = 1107;
constexpr uint16_t kZPListExists = 1108;
constexpr uint16_t kZCamSetting = 1109;
constexpr uint16_t kZRackingReference = 1110;
constexpr uint16_t kZRackingStep = 1111;
constexpr uint16_t kZTransferRacking = 1112;
constexpr uint16_t kZPatternLineMode = 1113;
constexpr uint16_t kZPatternLineValue = 1114;
constexpr uint16_t kZDensityMode = 1115;
constexpr uint16_t kZDensityValue = 1116;
constexpr uint16_t kZPressJack = 1117;
constexpr uint16_t kZColourPosition = 1118;
constexpr uint16_t kZSelectionMode = 1119;
constexpr uint16_t kZNetType = 1120;
constexpr uint16_t kZPListWithDirect = 1121;
constexpr uint16_t kZFListWithDirect = 1122;
constexpr uint16_t kZClamp = 1123;
constexpr uint16_t kZScissors = 1124;
constexpr uint16_t kZComb = 1125;
constexpr uint16_t kZTempFile = 1126;
constexpr uint16_t kZColTab = 1127;

// Stitch density list (F).
constexpr uint16_t kFLeftMode = 1201;
constexpr uint16_t kFLeftValue = 1202;
constexpr uint16_t kFRightMode = 1203;
constexpr uint16_t kFRightValue = 1204;

// Take-down list (A).
constexpr uint16_t kALowerValue = 1301;
constexpr uint16_t kALowerPulse = 1302;
constexpr uint16_t kALowerPressure = 1303;
constexpr uint16_t kAUpperValue = 1304;
constexpr uint16_t kAUpperPressure = 1305;
constexpr uint16_t kANeedleCount = 1306;
constexpr uint16_t kARelativeValue = 1307;
constexpr uint16_t kARelativePulse = 1308;

// Racking list (V).
constexpr uint16_t kVRackingStep = 1401;
constexpr uint16_t kVTransferRacking = 1402;
constexpr uint16_t kVCorrection = 1403;
constexpr uint16_t kVStretch = 1404;
constexpr uint16_t kVSpeed = 1405;
constexpr uint16_t kVCourse = 1406;

// Yarn-carrier position list (P).
constexpr uint16_t kPRail = 1501;
constexpr uint16_t kPBox = 1502;
constexpr uint16_t kPSwingLeft = 1503;
constexpr uint16_t kPOffsetLeft = 1504;
constexpr uint16_t kPOffsetRight = 1505;
constexpr uint16_t kPSwingRight = 1506;

// Needle division list (N).
constexpr uint16_t kNKind = 1601;
constexpr uint16_t kNStart = 1602;
constexpr uint16_t kNOffset = 1603;
constexpr uint16_t kNRepetitionKind = 1604;
constexpr uint16_t kNRepetitionCount = 1605;

// Selector list (W) and set-up values.
constexpr uint16_t kBadValue = 1701;

// Scheme sequence list (S).
constexpr uint16_t kSKind = 1901;
constexpr uint16_t kSStartAddress = 1902;
constexpr uint16_t kSOffset = 1903;
constexpr uint16_t kSChoice = 1904;
constexpr uint16_t kSRepetitions = 1905;
constexpr uint16_t kSNeedleChoice = 1906;
constexpr uint16_t kSNeedleStart = 1907;
constexpr uint16_t kSNeedleOffsetChoice = 1908;
constexpr uint16_t kSNeedleOffset = 1909;
constexpr uint16_t kSYStartFront = 1910;
constexpr uint16_t kSYOffsetFront = 1911;
constexpr uint16_t kSYStartBack = 1912;
constexpr uint16_t kSYOffsetBack = 1913;

// Yarn carriers (list 10).
constexpr uint16_t kCarrierMinDistance = 2001;
constexpr uint16_t kCarrierMaxDistance = 2002;
constexpr uint16_t kCarrierDistance = 2003;
constexpr uint16_t kCarrierNumber = 2004;
constexpr uint16_t kCarrierType = 2005;
constexpr uint16_t kCarrierOffset = 2006;

// Needle room and machine settings (list 12).
constexpr uint16_t kNeedleRoomStart = 2201;
constexpr uint16_t kNeedleRoomEnd = 2202;
constexpr uint16_t kSetupTakeDown = 2203;
constexpr uint16_t kSetupPieceCount = 2204;
constexpr uint16_t kSetupLengthLimit = 2205;
constexpr uint16_t kSetupSelectorLevel = 2206;
constexpr uint16_t kSetupSpeed = 2207;
constexpr uint16_t kSetupCarriageReversal = 2208;
constexpr uint16_t kSetupUnit = 2209;
constexpr uint16_t kSetupGauge = 2210;

// Script compiler: pass control, files and the script's structure. The
// negative codes are reported with the message alone.
constexpr int32_t kUnexpectedEnd = -999;     // the text ended inside a statement
constexpr int32_t kOutputFile = -998;
constexpr int32_t kTooManyLists = -997;
constexpr int32_t kModuleWithoutFeed = -996;
constexpr int32_t kOtherScript = -101;       // $SCRIPT names another machine family
constexpr int32_t kNoMachine = -100;         // the header ended without $ZR_TYP
constexpr int32_t kInputFile = -1;
constexpr uint16_t kHeapOverflow = 203;
constexpr uint16_t kBadProgramFile = 302;
constexpr uint16_t kStatementFile = 303;     // the statement file cannot be created or written
constexpr uint16_t kBrackets = 401;
constexpr uint16_t kStatementTooLong = 402;
constexpr uint16_t kUnknownCommand = 404;
constexpr uint16_t kMisplacedBegin = 405;
constexpr uint16_t kNoBegin = 407;
constexpr uint16_t kNoModuleSetName = 408;
constexpr uint16_t kNoEnd = 409;
constexpr uint16_t kNoModuleName = 410;
constexpr uint16_t kModuleNotFound = 413;
constexpr uint16_t kModuleChange = 414;
constexpr uint16_t kCarriageDirection = 422;
constexpr uint16_t kBl2File = 899;
constexpr uint16_t kNoFeed = 991;
constexpr uint16_t kUnknownColour = 992;
constexpr uint16_t kModulExpected = 993;
constexpr uint16_t kThreeWayTechnique = 994;
constexpr uint16_t kSelectorTooLate = 996;
constexpr uint16_t kColumnCount = 997;       // a module-set token that is not "[xy]"
constexpr uint16_t kUnknownMachine = 999;
constexpr uint16_t kExpansionRestart = 10000;  // internal to the expansion, never reported

}  // namespace zerr
