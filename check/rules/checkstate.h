#pragma once
// The checker's module state: one check runs at a time, so its state is one
// global record. This part holds what the messages need; the walk adds the
// rest of its bookkeeping to the same record.
#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

// An output sink of the checker: the message sink or the carrier report
// sink. Texts are UTF-8; an unset sink drops them.
using T_MeldungProc = std::function<void(const std::string&)>;

// Raised by no routine; the run catches it together with ECheckAbort.
class E_SyntaxFehler : public std::exception {
public:
    const char* what() const noexcept override { return "E_SyntaxFehler"; }
};

// Ends a run after a fatal message (or any message once the run is being
// aborted). The run's frame catches it; rule code never does.
class ECheckAbort : public std::exception {
public:
    const char* what() const noexcept override { return "ECheckAbort"; }
};

struct T_CheckState {
    uint8_t abortFlag = 0;
    uint16_t errorCount = 0;
    // A message was issued in the current stroke.
    uint8_t messageActive = 0;
    // Program test mode waits for the user after a non-fatal message.
    uint8_t pauseFlag = 0;
    T_MeldungProc messageSink;
    T_MeldungProc carrierReportSink;
    // "$$" text of side-related messages: front (0) and back (1).
    std::array<std::string, 2> sideText{"vorne", "hinten"};

    // The walk's flags, read and set by the windows while it runs.
    // Set while RunProgramCheck runs.
    uint8_t running = 0;
    // 0 while a run goes on, 1 once it is over (however it ended).
    uint8_t checkFinished = 0;
    // Set by the window's continue button; the walk waits for it in a pause.
    uint8_t continueFlag = 0;
    // Set by the window's stop button; the next stroke ends the run.
    uint8_t userAbort = 0;
    // 1 until the first stroke has been processed.
    uint8_t firstRow = 0;
};

extern T_CheckState CheckState;

// Clears the message part of the state and translates the side texts. The
// sinks stay: the windows set them before they start a run.
void ResetCheckMessages();

// Writes one text to a sink when it is set.
void CallSink(const T_MeldungProc& sink, const std::string& text);
