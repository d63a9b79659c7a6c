#include "check/export_options.h"

uint8_t ExportNListeWs = 0;
uint8_t ExportSListeWs = 0;
uint8_t ExportFfTypTrans = 0;
uint8_t ExportGgChange = 0;
