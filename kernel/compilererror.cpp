#include "kernel/compilererror.h"

#include "kernel/language.h"
#include "kernel/services.h"
#include "platform/codepage.h"

std::string CompilerErrorText(int32_t code)
{
    switch (code) {
    case 301: return "Datei ist nicht geöffnet";
    case 302: return "TKF-Datei ist falsch";
    default: return "Fehler " + std::to_string(code);
    }
}

void ShowCompilerError(uint16_t line, uint8_t column, const std::string& text, int32_t code)
{
    std::string message = Cp1252ToUtf8(text) + "\r\n" + CompilerErrorText(code);
    if (line != 0 || column != 0)
        message = F_TRANS("Zeile") + ": " + std::to_string(line) + "\r\n" + F_TRANS("Spalte") + ": " +
                  std::to_string(column) + "\r\n" + message;
    P_WarningBox(message);
}
