#include "kernel/compiler/scriptcompile.h"

uint16_t ScriptCompile() { return 0; }  // the compiler passes are not in yet
