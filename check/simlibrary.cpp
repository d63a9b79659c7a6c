#include "check/simlibrary.h"

#include <cstring>

#include "check/dll_handles.h"
#include "check/programcheck.h"
#include "check/simdll.h"
#include "check/simdll_blocks.h"
#include "kernel/model/bytes.h"

// ---------------------------------------------------------------------------
// The loaded library

void SimDllLibrary::AddNZeile(std::span<uint8_t> block)
{
    CallDllAddNZeile(block.data());
}
void SimDllLibrary::NListeEnde()
{
    CallDllNListeEnde();
}
void SimDllLibrary::AddNeueZeile(std::span<uint8_t> block)
{
    CallDllAddNeueZeile(block.data());
}
void SimDllLibrary::BeginnWs(std::span<uint8_t> block)
{
    CallDllBeginnWs(block.data());
}
void SimDllLibrary::EndeWs(std::span<uint8_t> block)
{
    CallDllEndeWs(block.data());
}
void SimDllLibrary::AddSelektion(std::span<uint8_t> block)
{
    CallDllAddSelektion(block.data());
}
void SimDllLibrary::AddFsDynamisch(std::span<uint8_t> block)
{
    CallDllAddFsDynamisch(block.data());
}
void SimDllLibrary::AddFf(std::span<uint8_t> block)
{
    CallDllAddFf(block.data());
}
void SimDllLibrary::FfEndPosChg(std::span<uint8_t> block)
{
    CallDllFfEndPosChg(block.data());
}
void SimDllLibrary::ZeileFertig()
{
    CallDllZeileFertig();
}

// ---------------------------------------------------------------------------
// The recording library

namespace {

std::string TextAt(std::span<const uint8_t> block, int offset)
{
    const char* p = static_cast<const char*>(SimDllHandles().resolve(get_u32(block.data(), size_t(offset))));
    return p ? std::string(p, ::strnlen(p, kDllTextCap)) : std::string();
}

}  // namespace

uint16_t RecordingSimLibrary::width() const
{
    return width_ ? width_ : CheckNeedleStart();
}

std::vector<std::string> RecordingSimLibrary::names() const
{
    std::vector<std::string> out;
    out.reserve(calls.size());
    for (const SimCall& c : calls)
        out.push_back(c.name);
    return out;
}

std::vector<SimCall> RecordingSimLibrary::callsOf(const std::string& name) const
{
    std::vector<SimCall> out;
    for (const SimCall& c : calls)
        if (c.name == name)
            out.push_back(c);
    return out;
}

SimCall& RecordingSimLibrary::record(const char* name, std::span<const uint8_t> block)
{
    SimCall& c = calls.emplace_back();
    c.name = name;
    c.block.assign(block.begin(), block.end());
    return c;
}

void RecordingSimLibrary::done(const SimCall& call)
{
    if (onCall)
        onCall(call);
}

void RecordingSimLibrary::AddNZeile(std::span<uint8_t> block)
{
    SimCall& c = record("AddNZeile", block);
    c.texts[8] = TextAt(block, 8);
    done(c);
}

void RecordingSimLibrary::NListeEnde()
{
    done(record("NListeEnde", {}));
}

void RecordingSimLibrary::AddNeueZeile(std::span<uint8_t> block)
{
    SimCall& c = record("AddNeueZeile", block);
    for (int offset : {12, 19, 25, 31, 37, 52})
        c.texts[offset] = TextAt(block, offset);
    done(c);
}

void RecordingSimLibrary::BeginnWs(std::span<uint8_t> block)
{
    SimCall& c = record("BeginnWs", block);
    c.texts[7] = TextAt(block, 7);
    done(c);
}

void RecordingSimLibrary::EndeWs(std::span<uint8_t> block)
{
    done(record("EndeWs", block));
}

void RecordingSimLibrary::AddSelektion(std::span<uint8_t> block)
{
    SimCall& c = record("AddSelektion", block);
    const uint16_t w = width();
    for (int offset : {2, 6}) {
        const auto* p = static_cast<const uint8_t*>(SimDllHandles().resolve(get_u32(block.data(), size_t(offset))));
        if (p)
            c.actions[offset].assign(p, p + w);
    }
    done(c);
}

void RecordingSimLibrary::AddFsDynamisch(std::span<uint8_t> block)
{
    SimCall& c = record("AddFsDynamisch", block);
    const uint16_t w = width();
    const auto* p = static_cast<const uint8_t*>(SimDllHandles().resolve(get_u32(block.data(), 4)));
    if (p) {
        std::vector<uint16_t>& d = c.densities[4];
        d.resize(w);
        for (uint16_t i = 0; i < w; ++i)
            d[i] = get_u16(p, 2u * i);
    }
    done(c);
}

void RecordingSimLibrary::AddFf(std::span<uint8_t> block)
{
    done(record("AddFf", block));
}

void RecordingSimLibrary::FfEndPosChg(std::span<uint8_t> block)
{
    done(record("FfEndPosChg", block));
}

void RecordingSimLibrary::ZeileFertig()
{
    done(record("ZeileFertig", {}));
}

// ---------------------------------------------------------------------------

namespace {
SimDllLibrary loadedLibrary;
SimLibrary* currentLibrary = &loadedLibrary;
}  // namespace

SimLibrary& simLibrary()
{
    return *currentLibrary;
}

void SetSimLibrary(SimLibrary* library)
{
    currentLibrary = library ? library : &loadedLibrary;
}
