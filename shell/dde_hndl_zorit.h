#pragma once
// The program's DDE module: the family's data module with the program's own
// commands.
#include "kernel/ui/modul_dde_hndl.h"

class TDdeHndlZorit : public TModulDdeHndl {
    Q_OBJECT
public:
    using TModulDdeHndl::TModulDdeHndl;
    void P_DdeBefehlEmpfangen(const std::string& command) override;
    void CommandWaiting(const std::string& command) override;
};

extern TDdeHndlZorit* DdeHndlZorit;
