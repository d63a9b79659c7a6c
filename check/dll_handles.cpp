#include "check/dll_handles.h"

namespace {
constexpr size_t kNone = static_cast<size_t>(-1);
constexpr size_t kInitialSlots = 64;
}  // namespace

DllHandleRegistry::DllHandleRegistry() : slots_(kInitialSlots), mask_(kInitialSlots - 1) {}

size_t DllHandleRegistry::find(uint32_t handle) const
{
    if (handle == 0)
        return kNone;
    for (size_t i = handle & mask_;; i = (i + 1) & mask_) {
        if (slots_[i].handle == handle)
            return i;
        if (slots_[i].handle == 0)
            return kNone;
    }
}

void DllHandleRegistry::insert(uint32_t handle, const void* address)
{
    size_t i = handle & mask_;
    while (slots_[i].handle != 0)
        i = (i + 1) & mask_;
    slots_[i] = Slot{handle, address};
}

void DllHandleRegistry::grow()
{
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    mask_ = slots_.size() - 1;
    for (const Slot& s : old)
        if (s.handle != 0)
            insert(s.handle, s.address);
}

uint32_t DllHandleRegistry::publish(const void* address)
{
    if (!address || next_ == 0)
        return 0;
    if (2 * (live_ + 1) > slots_.size())
        grow();
    const uint32_t handle = next_++;
    insert(handle, address);
    ++live_;
    return handle;
}

void* DllHandleRegistry::resolve(uint32_t handle) const
{
    size_t i = find(handle);
    return i == kNone ? nullptr : const_cast<void*>(slots_[i].address);
}

void DllHandleRegistry::withdraw(uint32_t handle)
{
    size_t i = find(handle);
    if (i == kNone)
        return;
    slots_[i] = Slot{};
    --live_;
    // Backward shift: move later members of the probe run into the hole
    // unless their home lies cyclically within (i, j].
    for (size_t j = (i + 1) & mask_; slots_[j].handle != 0; j = (j + 1) & mask_) {
        const size_t home = slots_[j].handle & mask_;
        const bool stays = (i <= j) ? (home > i && home <= j) : (home > i || home <= j);
        if (stays)
            continue;
        slots_[i] = slots_[j];
        slots_[j] = Slot{};
        i = j;
    }
}

void DllHandleRegistry::clear()
{
    for (Slot& s : slots_)
        s = Slot{};
    live_ = 0;
}

DllHandleRegistry& SimDllHandles()
{
    static DllHandleRegistry registry;
    return registry;
}

namespace {
void* ResolveHandle(uint32_t handle)
{
    return SimDllHandles().resolve(handle);
}
uint32_t PublishHandle(const void* address)
{
    return SimDllHandles().publish(address);
}
void WithdrawHandle(uint32_t handle)
{
    SimDllHandles().withdraw(handle);
}
}  // namespace

const vpsim::T_DllHandleTable* SimDllHandleTable()
{
    static const vpsim::T_DllHandleTable table{sizeof(vpsim::T_DllHandleTable), ResolveHandle, PublishHandle,
                                               WithdrawHandle};
    return &table;
}
