#pragma once
// The checker's numbered messages: template expansion, counting, pausing and
// stopping the run, and the summary line at its end.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

struct CheckMessageDef {
    uint16_t number;
    bool fatal;
    // German template; the text shown is its translation.
    const char* templ;
};

inline constexpr size_t kCheckMessageCount = 29;
// Numbers 1..30; 27 is not used.
extern const std::array<CheckMessageDef, kCheckMessageCount> kCheckMessages;

// The entry of a message number, nullptr for a number without message.
const CheckMessageDef* FindCheckMessage(uint16_t number);

// The template with its placeholders filled: "$$" takes text, "$d" (d a
// digit) the next number zero-padded to d places (never cut; a negative
// number keeps its sign in front), nothing once the numbers are used up.
// A "$" followed by anything else, or at the end, stays as it is.
std::string ExpandCheckTemplate(const std::string& templ, const std::string& text,
                                std::span<const int32_t> numbers);

// Writes the expanded, already translated template to the message sink
// (followed by an empty text), counts it (message 20 excepted), marks the
// stroke, pauses program test mode after a non-fatal message and throws
// ECheckAbort once the run is being aborted.
void FormatCheckMessage(uint16_t number, bool fatal, const std::string& text,
                        std::span<const int32_t> numbers, const std::string& templ);

// Message by number from kCheckMessages, its template translated. Numbers in
// placeholder order: S line, Z row, system, then the message's own values.
// A number without message is a programming error: std::out_of_range.
void CheckMessage(uint16_t number, const std::string& text, std::span<const int32_t> numbers);
void CheckMessage(uint16_t number, const std::string& text, std::initializer_list<int32_t> numbers = {});

// The closing line of a run with count counted messages, translated.
std::string CheckSummaryText(uint32_t count);
// The line for two or more messages from the translation of
// "%d Fehler gefunden!": only its first "%d" is replaced by the count, since
// the translation comes from a file the user edits and must never reach a
// printf-style formatter.
std::string FormatSummaryCount(uint32_t count, const std::string& translatedTemplate);
