#pragma once
// The walk's way to the simulation library: one call per entry point it
// uses, each with the entry point's parameter block byte for byte (address
// fields are handles into SimDllHandles(), valid during the call only).
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

class SimLibrary {
public:
    virtual ~SimLibrary() = default;
    virtual void AddNZeile(std::span<uint8_t> block) = 0;       // 12 bytes
    virtual void NListeEnde() = 0;
    virtual void AddNeueZeile(std::span<uint8_t> block) = 0;    // 58 bytes
    virtual void BeginnWs(std::span<uint8_t> block) = 0;        // 11 bytes
    virtual void EndeWs(std::span<uint8_t> block) = 0;          // 3 bytes
    virtual void AddSelektion(std::span<uint8_t> block) = 0;    // 12 bytes
    virtual void AddFsDynamisch(std::span<uint8_t> block) = 0;  // 8 bytes
    virtual void AddFf(std::span<uint8_t> block) = 0;           // 16 bytes
    virtual void FfEndPosChg(std::span<uint8_t> block) = 0;     // 7 bytes
    virtual void ZeileFertig() = 0;
};

// Forwards every call to the loaded library (SimDllRecord); without one the
// calls do nothing.
class SimDllLibrary : public SimLibrary {
public:
    void AddNZeile(std::span<uint8_t> block) override;
    void NListeEnde() override;
    void AddNeueZeile(std::span<uint8_t> block) override;
    void BeginnWs(std::span<uint8_t> block) override;
    void EndeWs(std::span<uint8_t> block) override;
    void AddSelektion(std::span<uint8_t> block) override;
    void AddFsDynamisch(std::span<uint8_t> block) override;
    void AddFf(std::span<uint8_t> block) override;
    void FfEndPosChg(std::span<uint8_t> block) override;
    void ZeileFertig() override;
};

// Discards every call.
class NullSimLibrary : public SimLibrary {
public:
    void AddNZeile(std::span<uint8_t>) override {}
    void NListeEnde() override {}
    void AddNeueZeile(std::span<uint8_t>) override {}
    void BeginnWs(std::span<uint8_t>) override {}
    void EndeWs(std::span<uint8_t>) override {}
    void AddSelektion(std::span<uint8_t>) override {}
    void AddFsDynamisch(std::span<uint8_t>) override {}
    void AddFf(std::span<uint8_t>) override {}
    void FfEndPosChg(std::span<uint8_t>) override {}
    void ZeileFertig() override {}
};

// One call as the recording library saw it: the entry's name without
// "P_Dll", the block, and what its address fields named at the time of the
// call (texts without their zero; needle arrays of the machine width, as
// bytes; densities as u16).
struct SimCall {
    std::string name;
    std::vector<uint8_t> block;
    std::map<int, std::string> texts;
    std::map<int, std::vector<uint8_t>> actions;
    std::map<int, std::vector<uint16_t>> densities;
};

// Keeps every call for tests. The machine width of the arrays is the one
// given, or (0) the checker's needle start at the time of the call.
class RecordingSimLibrary : public SimLibrary {
public:
    explicit RecordingSimLibrary(uint16_t machineWidth = 0) : width_(machineWidth) {}

    std::vector<SimCall> calls;
    // Runs after a call is recorded (a test may throw from it).
    std::function<void(const SimCall&)> onCall;

    // The names of the calls, in order.
    std::vector<std::string> names() const;
    // The calls named name, in order.
    std::vector<SimCall> callsOf(const std::string& name) const;

    void AddNZeile(std::span<uint8_t> block) override;
    void NListeEnde() override;
    void AddNeueZeile(std::span<uint8_t> block) override;
    void BeginnWs(std::span<uint8_t> block) override;
    void EndeWs(std::span<uint8_t> block) override;
    void AddSelektion(std::span<uint8_t> block) override;
    void AddFsDynamisch(std::span<uint8_t> block) override;
    void AddFf(std::span<uint8_t> block) override;
    void FfEndPosChg(std::span<uint8_t> block) override;
    void ZeileFertig() override;

private:
    uint16_t width_;
    uint16_t width() const;
    SimCall& record(const char* name, std::span<const uint8_t> block);
    void done(const SimCall& call);
};

// The library the walk feeds in simulation and export mode (a SimDllLibrary
// unless another is installed).
SimLibrary& simLibrary();
// Installs a library (nullptr: the loaded library again). Not owned.
void SetSimLibrary(SimLibrary* library);
