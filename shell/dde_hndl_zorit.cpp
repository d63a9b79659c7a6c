#include "shell/dde_hndl_zorit.h"

TDdeHndlZorit* DdeHndlZorit = nullptr;

void TDdeHndlZorit::P_DdeBefehlEmpfangen(const std::string&)
{
    // The remote commands arrive with the program files.
}
