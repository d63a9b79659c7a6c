#include "kernel/compiler/compilererror.h"

#include <algorithm>
#include <array>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/language/language.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/services.h"
#include "platform/codepage.h"

namespace {
struct CodeText {
    int32_t code;
    const char* text;
};

// The texts stand as the users know them, odd blanks and quotes included:
// support staff recognise a message by its exact wording.
constexpr CodeText kTexts[] = {
    {-999, "Unerwartetes Dateieende"},
    {-998, "Fehler beim Erzeugen der Ausgabedatei"},
    {-997, "Zu viele Funktionslisten"},
    {-996, "Modul hat keinen Vorschub"},
    {-101, "Script nicht für Keltaris"},
    {-100, "Maschine nicht definiert"},
    {-1, "Fehler beim Öffnen der Eingabedatei"},
    {203, "Heap-Überlauf"},
    {301, "Datei ist nicht geöffnet"},
    {302, "TKF-Datei ist falsch"},
    {401, "Klammern in Klammern"},
    {402, "Satzlänge > 255 Bytes"},
    {404, "unbekannter Befehl"},
    {405, "'BEGIN' an dieser Position nicht erlaubt!"},
    {407, "'BEGIN' fehlt"},
    {408, "Modulset-Name fehlt"},
    {409, "'END' fehlt!"},
    {410, "Modulname fehlt"},
    {413, "Modul wurde nicht gefunden"},
    {414, "Modulwechsel noch nicht erlaubt"},
    {422, "Schlittenrichtung falsch"},
    {899, "BL2-Datei konnte nicht geöffnet werden"},
    {991, "Vorschub fehlt"},
    {992, "Unbekannte Farbe"},
    {993, "'MODUL' erwartet!"},
    {994, "Dreiwegtechnik wegen Vorschub nicht möglich"},
    {996, "Wahlschalter zu spät definiert (wurde bereits in Festigkeit benötigt)"},
    {997, "Falsche Spaltenanzahl"},
    {999, "Unbekannte Maschine"},
    {1000, "Ungültige Listennummer"},
    {1001, "Ungültige Farbe"},
    {1002, "Falsche Systemnummer"},
    {1003, "Ungültige Systemanzahl"},
    {1101, "Als Modus ist nur 0, 1, 2, 3 zugelassen"},
    {1102, "Wert für Warenabzug ist ungültig"},
    {1103, "Als Modus ist nur 0, 1, 2, zugelassen"},
    {1104, "Wert für Geschwindigkeit ist ungültig"},
    {1105, "Als Modus ist nur 0, 2, zugelassen"},
    {1106, "Falsche P-Liste"},
    {1107, "Fadenführer muß zwischen 1 und 8 liegen"},
    {1108, "Es existiert bereits eine P-Liste"},
    {1109, "Ungültige Schloßschaltung"},
    {1110, "Ungültiger Verweis auf Versatzliste"},
    {1111, "Versatzstufe zu groß"},
    {1112, "Ungültige Umhängeversatzangabe"},
    {1113, "Ungültiger Modus für die Patronenzeile"},
    {1114, "Ungültiger Wert für die Patronenzeile"},
    {1115, "Ungültiger Modus für die Festigkeit"},
    {1116, "Ungültiger Wert für die Festigkeit"},
    {1117, "Ungültiger Wert für den Pressjack"},
    {1118, "Ungültige Position für Farbauswahl"},
    {1119, "Ungültiger Selektionsmodus"},
    {1120, "Ungültige Netzart"},
    {1121, "P-Liste und Direkte FF-Steuerung können nicht gemischt werden"},
    {1122, "F-Liste und Direkte FS-Steuerung können nicht gemischt werden"},
    {1123, "Befehl für Klemme falsch"},
    {1124, "Befehl für Schere falsch"},
    {1125, "Befehl für Kamm falsch"},
    {1126, "Temporäre Skrel-Datei konnte nicht geöffnet werden"},
    {1127, "Coltab nicht vorhanden oder Länge von Coltab ist falsch"},
    {1201, "Als Modus für linken Schlitten ist nur 0, 1, 2 zugelassen"},
    {1202, "Wert für linken Schlitten ist ungültig"},
    {1203, "Als Modus für rechten Schlitten ist nur 0, 1, 2, 3 zugelassen"},
    {1204, "Wert für rechten Schlitten ist ungültig"},
    {1301, "Ungültiger Abzugswert unterer Warenabzug"},
    {1302, "Ungültiger Pulswert unterer Warenabzug"},
    {1303, "Ungültiger Anpreßdruck unterer Warenabzug"},
    {1304, "Ungültiger Abzugswert oberer Warenabzug"},
    {1305, "Ungültiger Anpreßdruck oberer Warenabzug"},
    {1306, "Ungültige Nadelanzahl für relativem Warenabzug"},
    {1307, "Ungültige Abzugswert für relativem Warenabzug"},
    {1308, "Ungültiger Pulswert für relativem Warenabzug"},
    {1401, "Versatzstufe zu groß"},
    {1402, "Ungültige Umhängeversatzangabe"},
    {1403, "Ungültiger Versatzkorrekturwert"},
    {1404, "Ungültiger Wert für die Dehnung"},
    {1405, "Ungültige Versatzgeschwindigkeit"},
    {1406, "Ungültiger Versatzverlauf"},
    {1501, "Nur Fadenführer 1-8 erlaubt"},
    {1502, "Nur Kasten A-H erlaubt"},
    {1503, "Falsche Schwenkanweisung links"},
    {1504, "Ungültiger linker  Offset"},
    {1505, "Ungültiger rechter Offset"},
    {1506, "Falsche Schwenkanweisung rechts"},
    {1601, "Nur `N` oder `X` ist erlaubt"},
    {1602, "Startwert ist ungültig"},
    {1603, "Offset ist ungültig"},
    {1604, "Repetationsart ist ungültig"},
    {1605, "Repetationsanzahl ist ungültig"},
    {1701, "Ungültiger Wert"},
    {1901, "Nur `Z`, `S` oder `I` erlaubt"},
    {1902, "Startadresse für den Schemaablauf ist ungültig"},
    {1903, "Offset auf die Startadresse ist ungültig"},
    {1904, "Nur `D` oder `W` erlaubt"},
    {1905, "Anzahl der Wiederholungen ist falsch"},
    {1906, "Nur `D` oder `W` erlaubt"},
    {1907, "Startwert für Nadeleinteilung ist ungültig"},
    {1908, "Nur `D` oder `W` erlaubt"},
    {1909, "Offsetwert für Nadeleinteilung ist ungültig"},
    {1910, "Y-Startwert  vorne  ist ungültig"},
    {1911, "Y-Offsetwert vorne  ist ungültig"},
    {1912, "Y-Startwert  hinten ist ungültig"},
    {1913, "Y-Offsetwert hinten ist ungültig"},
    {2001, "Fadenführerabstand Minimum falsch"},
    {2002, "Fadenführerabstand Maximum falsch"},
    {2003, "Fadenführerabstand untereinander falsch"},
    {2004, "Fadenführernummer falsch"},
    {2005, "Fadenführertyp falsch"},
    {2006, "Fadenführeroffset falsch"},
    {2201, "Nadelraum: Ungültiger Startwert"},
    {2202, "Nadelraum: Ungültiger Endwert"},
    {2203, "Ungültiger Warenabzug"},
    {2204, "Ungültige Stückzahl"},
    {2205, "Ungültige Längenbegrenzung"},
    {2206, "Ungültige Walschalterebene"},
    {2207, "Ungültige Geschwindigkeit"},
    {2208, "Ungültiger Wert für Schlittenumkehr"},
    {2209, "Ungültige Maßeinheit"},
    {2210, "Ungültige Feinheit"},
};
}  // namespace

std::string CompilerErrorText(int32_t code)
{
    for (const CodeText& entry : kTexts) {
        if (entry.code == code)
            return entry.text;
    }
    return "Fehler " + std::to_string(code);
}

bool CompilerErrorHasText(int32_t code)
{
    return std::any_of(std::begin(kTexts), std::end(kTexts), [code](const CodeText& e) { return e.code == code; });
}

std::vector<int32_t> CompilerErrorCodes()
{
    std::vector<int32_t> codes;
    for (const CodeText& entry : kTexts)
        codes.push_back(entry.code);
    return codes;
}

namespace {
// The report speaks the user's language, the message as well as its
// position lines; only the word of an unlisted code is looked up, not every
// number with it.
std::string CodeMessage(int32_t code)
{
    return CompilerErrorHasText(code) ? F_TRANS(CompilerErrorText(code))
                                      : F_TRANS("Fehler") + " " + std::to_string(code);
}
}  // namespace

std::string CompilerErrorMessage(uint16_t line, uint8_t column, const std::string& text, int32_t code)
{
    const std::string message = CodeMessage(code);
    std::string detail = Cp1252ToUtf8(text);
    if (line == 0 && column == 0)
        return detail + "\r\n" + message;
    return F_TRANS("Zeile") + ": " + std::to_string(line) + "\r\n" + F_TRANS("Spalte") + ": " +
           std::to_string(column) + "\r\n" + detail + "\r\n" + message;
}

void ShowCompilerError(uint16_t line, uint8_t column, const std::string& text, int32_t code)
{
    ZrVar.ReportFlag = 0;
    std::string report = CompilerErrorMessage(line, column, text, code);
    // Only a position the script has can be shown; the editor's rows count
    // from 0, its columns as the reader counted them.
    if (line != 0 || column != 0)
        kernelHost().setScriptCursor(int(line) - 1, column);
    P_WarningBox(report);
}

void ShowFileError(const std::string& fileName, int32_t code)
{
    ZrVar.ReportFlag = 0;
    P_WarningBox(fileName + "\r\n" + CodeMessage(code));
}
