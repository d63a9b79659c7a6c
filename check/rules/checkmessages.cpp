#include "check/rules/checkmessages.h"

#include <stdexcept>

#include "check/rules/checkstate.h"
#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "kernel/services/services.h"

const std::array<CheckMessageDef, kCheckMessageCount> kCheckMessages = {{
    {1, true, "Kein Nadelraum vorhanden!"},
    {2, false, "S$4 Z$4 Sys$1 $$: Lang- und Kurzauswahl überschneidet sich!"},
    {3, true, "S$4 Z$4 V$4: Verweis auf ungültige Versatzliste!"},
    {4, true, "S$4: Schachtelungstiefe ($1) der Nadeleinteilung zu hoch!"},
    {5, true, "S$4 N$4: Leere Nadeleinteilung!"},
    {6, true, "S$4: Nadeleinteilung ist 0 Nadeln breit!"},
    {7, true, "S$4: Leerer Schemaablauf!"},
    {8, false, "S$4 Z$4 Sys$1 P$4: Farbangabe in P-Liste und Festprogramm in System nicht erlaubt!"},
    {9, true, "S$4 N$4 X$4: Die Patrone ist nur $1 Nadeln breit!"},
    {10, true, "S$4 N$4 X0000: Auf Spalte 0 kann nicht zugegriffen werden!"},
    {11, true, "S$4 Z$4 Sys$1 $$ Y$4: Die Patrone ist nur $1 Reihen hoch!"},
    {12, true, "S$4 Z$4 Sys$1 $$: Zur Jacquardauswahl wird eine Patronenzeile erwartet!"},
    {13, false, "S$4 Z$4 Sys$1 $$: Es können nur selektierte Nadeln mit 2. Festigkeit arbeiten!"},
    {14, true, "S$4 Z$4 Sys$1: Intarsiaabbindung ohne Fadenführer!"},
    {15, false, "S$4 Z$4: Mittenversatz kann nicht ausgeführt werden!"},
    {16, false, "S$4 Z$4 Sys$1 $$: Variable Netzrückseite und Netzrückseite kann nicht kombiniert werden!"},
    {17, false, "S$4 Z$4 Sys$1: Variable Netzrückseite kann nur auf eine Seite verwendet werden!"},
    {18, false, "S$4 Z$4 Sys$1: Netzrückseite kann nur auf eine Seite verwendet werden!"},
    {19, false, "S$4 Z$4: Ungültiger Wert ($3) für Geschwindigkeit!"},
    {20, false, "S$4 Z$4: Maschine Stop!"},
    {21, false, "S$4 Z$4: In 1. Schemazeile wird ein Warenabzug (unten) erwartet!"},
    {22, true, "S$4 Z$4 Sys$1: Zu viele Fadenführer auf der Schiene $1!"},
    {23, true, "S$4: Kein Schemaablauf vorhanden!"},
    {24, false, "S$4 Z$4: In 1. Schemazeile wird eine Geschwindigkeitsangabe erwartet!"},
    {25, true, "S$4 Z$4: Abbruch durch Anwender!"},
    {26, true, "S$4 Z$4 Sys$1 $$: Jacquardauswahl ohne Nadeleinteilung!"},
    {28, false, "S$4 Z$4: Die Schlittenrichtung ($$) ist falsch!"},
    {29, false, "S$4 Z$4: Der letzte Hub muß ein Hub nach links sein!"},
    {30, false, "S$4 Z$4: In 1. Schemazeile wird ein Warenabzug (Kamm) erwartet!"},
}};

const CheckMessageDef* FindCheckMessage(uint16_t number)
{
    for (const CheckMessageDef& def : kCheckMessages)
        if (def.number == number)
            return &def;
    return nullptr;
}

std::string ExpandCheckTemplate(const std::string& templ, const std::string& text,
                                std::span<const int32_t> numbers)
{
    // Templates come from the user's phrase database: a "$" may stand
    // anywhere, also last.
    std::string out;
    out.reserve(templ.size() + text.size() + 16);
    size_t next = 0;
    for (size_t i = 0; i < templ.size(); ++i) {
        const char c = templ[i];
        const char after = i + 1 < templ.size() ? templ[i + 1] : '\0';
        if (c == '$' && after == '$') {
            out += text;
            ++i;
        } else if (c == '$' && after >= '0' && after <= '9') {
            if (next < numbers.size())
                out += F_ZeroPadNum(numbers[next++], after - '0');
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

void FormatCheckMessage(uint16_t number, bool fatal, const std::string& text,
                        std::span<const int32_t> numbers, const std::string& templ)
{
    const std::string line = ExpandCheckTemplate(templ, text, numbers);
    CheckState.messageActive = 1;
    if (fatal)
        CheckState.abortFlag = 1;
    // "Maschine Stop!" reports what the program asks for, not a fault.
    // The count stops at its top rather than wrap round to "no faults".
    if (number != 20 && CheckState.errorCount < UINT16_MAX)
        ++CheckState.errorCount;
    CallSink(CheckState.messageSink, line);
    CallSink(CheckState.messageSink, std::string());
    if (!fatal && TestModus == 0)
        CheckState.pauseFlag = 1;
    if (CheckState.abortFlag)
        throw ECheckAbort();
}

void CheckMessage(uint16_t number, const std::string& text, std::span<const int32_t> numbers)
{
    const CheckMessageDef* def = FindCheckMessage(number);
    if (!def)
        throw std::out_of_range("no checker message " + std::to_string(number));
    FormatCheckMessage(number, def->fatal, text, numbers, F_TRANS(def->templ));
}

void CheckMessage(uint16_t number, const std::string& text, std::initializer_list<int32_t> numbers)
{
    CheckMessage(number, text, std::span<const int32_t>(numbers.begin(), numbers.size()));
}

std::string CheckSummaryText(uint32_t count)
{
    if (count == 0)
        return F_TRANS("Keine Fehler gefunden!");
    if (count == 1)
        return F_TRANS("1 Fehler gefunden!");
    return FormatSummaryCount(count, F_TRANS("%d Fehler gefunden!"));
}

std::string FormatSummaryCount(uint32_t count, const std::string& translatedTemplate)
{
    std::string out = translatedTemplate;
    const size_t at = out.find("%d");
    if (at != std::string::npos)
        out.replace(at, 2, std::to_string(count));
    return out;
}
