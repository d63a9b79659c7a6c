#pragma once
// The library's side of the host's handle table: turns handles of the blocks
// into addresses and publishes what the library hands back.
#include <cstdint>
#include <string>
#include <string_view>

#include "simlib/vpsimmod_abi.h"

namespace vpsim {

class HostLink {
public:
    // Keeps a copy of the table; a table that is missing or too small leaves
    // the library without one (every handle then resolves to nothing).
    void set(const T_DllHandleTable* table);
    bool present() const { return table_.resolve != nullptr; }

    void* resolve(uint32_t handle) const;
    // 0 when there is no table.
    uint32_t publish(const void* address) const;
    // Withdraws a handle this library published and sets it to 0.
    void withdraw(uint32_t& handle) const;

    // A zero-terminated text behind a handle (at most kTextCap bytes); empty
    // for a handle that resolves to nothing.
    std::string text(uint32_t handle) const;
    const uint8_t* bytes(uint32_t handle) const { return static_cast<const uint8_t*>(resolve(handle)); }

    static constexpr size_t kTextCap = 65535;

private:
    T_DllHandleTable table_{};
};

HostLink& Host();

}  // namespace vpsim
