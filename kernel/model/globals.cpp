#include "kernel/model/globals.h"

#include "platform/paths.h"

std::string ProgrammPfad;
std::string TempPfad;
int Arbeitsebene = 1;
int TestModus = 0;
bool Fernsteuerung = false;

void InitDefaultFolders()
{
    ProgrammPfad = ExecutableFolder();
    TempPfad = ProgrammPfad + "Temp/";
}
