// The error report: every code's text and how the report is put together
// and shown.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "kernel/compiler/compilererror.h"
#include "kernel/language/language.h"
#include "kernel/model/workrecord.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

namespace {
struct Expected {
    int32_t code;
    const char* text;
};

// Written out here, not taken from the program: the texts are what users
// and support know the messages by.
const Expected kExpected[] = {
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

TEST(CompilerErrorText, EveryCodeHasItsTextByteForByte)
{
    std::set<int32_t> codes;
    for (const Expected& e : kExpected) {
        EXPECT_EQ(CompilerErrorText(e.code), e.text) << e.code;
        EXPECT_TRUE(CompilerErrorHasText(e.code)) << e.code;
        codes.insert(e.code);
    }
    // Nothing more, nothing less.
    std::vector<int32_t> table = CompilerErrorCodes();
    EXPECT_EQ(std::set<int32_t>(table.begin(), table.end()), codes);
    EXPECT_EQ(table.size(), codes.size());
}

TEST(CompilerErrorText, OddBlanksAndQuotesStay)
{
    // Two blanks before "Offset"; "ü" in UTF-8.
    EXPECT_EQ(CompilerErrorText(1504), "Ung\xc3\xbcltiger linker  Offset");
    EXPECT_EQ(CompilerErrorText(1910), "Y-Startwert  vorne  ist ung\xc3\xbcltig");
    EXPECT_EQ(CompilerErrorText(1911), "Y-Offsetwert vorne  ist ung\xc3\xbcltig");
    EXPECT_EQ(CompilerErrorText(1601), "Nur `N` oder `X` ist erlaubt");
    EXPECT_EQ(CompilerErrorText(1901), "Nur `Z`, `S` oder `I` erlaubt");
    EXPECT_EQ(CompilerErrorText(2002), "Fadenf\xc3\xbchrerabstand Maximum falsch");
}

TEST(CompilerErrorText, CodesWithoutTextAndSharedTexts)
{
    EXPECT_EQ(CompilerErrorText(303), "Fehler 303");
    EXPECT_EQ(CompilerErrorText(10000), "Fehler 10000");
    EXPECT_EQ(CompilerErrorText(2), "Fehler 2");
    EXPECT_EQ(CompilerErrorText(-5), "Fehler -5");
    EXPECT_FALSE(CompilerErrorHasText(303));
    EXPECT_EQ(CompilerErrorText(1904), CompilerErrorText(1906));
    EXPECT_EQ(CompilerErrorText(1904), CompilerErrorText(1908));
    EXPECT_EQ(CompilerErrorText(1111), CompilerErrorText(1401));
    EXPECT_EQ(CompilerErrorText(1112), CompilerErrorText(1402));
}

TEST(ShowCompilerError, WithPositionMovesTheCursorFirst)
{
    ScopedRecordingHost scoped;
    ZrVar.ReportFlag = 7;
    ShowCompilerError(12, 5, "$Y=1", 404);
    const auto& calls = scoped.host.calls;
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].what, "setScriptCursor");
    EXPECT_EQ(calls[0].a, 11);
    EXPECT_EQ(calls[0].b, 5);
    EXPECT_EQ(calls[1].what, "messageDlg");
    EXPECT_EQ(calls[1].text, "Zeile: 12\r\nSpalte: 5\r\n$Y=1\r\nunbekannter Befehl");
    EXPECT_EQ(calls[1].kind, MsgKind::Warning);
    EXPECT_EQ(calls[1].buttons, (MsgButtons{MsgButton::Cancel}));
    EXPECT_EQ(ZrVar.ReportFlag, 0);
}

TEST(ShowCompilerError, WithoutPositionShowsTextAndMessageOnly)
{
    ScopedRecordingHost scoped;
    ShowCompilerError(0, 0, "Y2: [CD]", 413);
    EXPECT_TRUE(scoped.host.callsOf("setScriptCursor").empty());
    ASSERT_EQ(scoped.host.messages().size(), 1u);
    EXPECT_EQ(scoped.host.messages()[0], "Y2: [CD]\r\nModul wurde nicht gefunden");
}

TEST(ShowCompilerError, OnlyOneCoordinateStillCounts)
{
    ScopedRecordingHost scoped;
    ShowCompilerError(0, 3, "X", 303);
    ASSERT_EQ(scoped.host.callsOf("setScriptCursor").size(), 1u);
    EXPECT_EQ(scoped.host.callsOf("setScriptCursor")[0].a, -1);
    EXPECT_EQ(scoped.host.messages()[0], "Zeile: 0\r\nSpalte: 3\r\nX\r\nFehler 303");
}

TEST(ShowCompilerError, DetailIsConvertedFromWindows1252)
{
    ScopedRecordingHost scoped;
    ShowCompilerError(0, 0, "$V_1=Gr\xf6\xdf" "e", 404);
    EXPECT_EQ(scoped.host.messages()[0], "$V_1=Gr\xc3\xb6\xc3\x9f" "e\r\nunbekannter Befehl");
    EXPECT_EQ(CompilerErrorMessage(0, 0, "", -100), "\r\nMaschine nicht definiert");
}

// A user who chose English reads the whole report in English, the message
// included; an error without an entry keeps its German text.
TEST(ShowCompilerError, ReportInTheChosenLanguage)
{
    WriteTestFile(TestHome() + "DbLang.Txt",
                  "$:Zeile\r\nG:Zeile\r\nE:Line\r\n$:Spalte\r\nG:Spalte\r\nE:Column\r\n"
                  "$:unbekannter Befehl\r\nG:unbekannter Befehl\r\nE:unknown command\r\n"
                  "$:Fehler\r\nG:Fehler\r\nE:Error\r\n");
    InitLanguage(nullptr, nullptr, "DbLang.Txt", 'E');
    EXPECT_EQ(CompilerErrorMessage(12, 5, "$Y=1", 404), "Line: 12\r\nColumn: 5\r\n$Y=1\r\nunknown command");
    EXPECT_EQ(CompilerErrorMessage(0, 0, "X", 303), "X\r\nError 303");
    EXPECT_EQ(CompilerErrorMessage(0, 0, "X", 413), "X\r\nModul wurde nicht gefunden");
    DoneLanguage();
}
