#pragma once
// What the pattern commands of kernel_probe share.
#include <cstdint>
#include <string>
#include <vector>

#include "kernel/dispatch/kernel_host.h"

// Passes every call on to the host installed before and remembers the text
// of the last warning box; puts the old host back when it goes.
class WarningCapture : public KernelHost {
public:
    WarningCapture();
    ~WarningCapture() override;
    WarningCapture(const WarningCapture&) = delete;
    WarningCapture& operator=(const WarningCapture&) = delete;

    int messageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) override;
    void infoShow(const std::string& caption, const std::vector<std::string>& labels) override;
    void infoLine(int line, const std::string& text) override;
    bool infoAbortRequested() override;
    void infoHide() override;
    void processEvents() override;

    // The last warning on one line ("" when none came).
    std::string lastWarning() const;

private:
    KernelHost& inner_;
    std::string warning_;
};

// Prints "ERROR <the last warning>" and gives exit status 1.
int PrintWarningError(const WarningCapture& capture);

// "<width> <height> <fnv1a64>" of plane 0, row 1 first.
std::string PlaneSummary();

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
