#pragma once
// The four export options of the checker module (INI section "Export"),
// read and written by the export window; 1 = set.
#include <cstdint>

extern uint8_t ExportNListeWs;
extern uint8_t ExportSListeWs;
extern uint8_t ExportFfTypTrans;
extern uint8_t ExportGgChange;
