#pragma once
// The handle table shared with the simulation library: its parameter blocks
// have 32-bit address fields, so an address crosses as a handle. Handle 0 is
// null; handles count up and are never reused in a process (after 2^32 - 1
// of them, publishing gives 0).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "simlib/vpsimmod_abi.h"

class DllHandleRegistry {
public:
    DllHandleRegistry();
    uint32_t publish(const void* address);
    // nullptr for 0, for a handle never published and for a withdrawn one.
    void* resolve(uint32_t handle) const;
    void withdraw(uint32_t handle);
    // Withdraws every handle (the count goes on).
    void clear();
    size_t live() const { return live_; }

private:
    struct Slot {
        uint32_t handle = 0;  // 0: free
        const void* address = nullptr;
    };
    size_t find(uint32_t handle) const;
    void insert(uint32_t handle, const void* address);
    void grow();

    // Open addressing with linear probing: handles are consecutive numbers,
    // so their low bits spread them without hashing, and a steady state of
    // publish and withdraw allocates nothing.
    std::vector<Slot> slots_;
    size_t mask_ = 0;
    size_t live_ = 0;
    uint32_t next_ = 1;
};

// The registry the program hands to the library, and the table over it.
DllHandleRegistry& SimDllHandles();
const vpsim::T_DllHandleTable* SimDllHandleTable();
