#include "simlib/host_link.h"

#include <cstring>

namespace vpsim {

void HostLink::set(const T_DllHandleTable* table)
{
    table_ = T_DllHandleTable{};
    if (!table || table->size < sizeof(T_DllHandleTable))
        return;
    if (!table->resolve || !table->publish || !table->withdraw)
        return;
    table_ = *table;
}

void* HostLink::resolve(uint32_t handle) const
{
    if (handle == 0 || !table_.resolve)
        return nullptr;
    return table_.resolve(handle);
}

uint32_t HostLink::publish(const void* address) const
{
    if (!address || !table_.publish)
        return 0;
    return table_.publish(address);
}

void HostLink::withdraw(uint32_t& handle) const
{
    if (handle != 0 && table_.withdraw)
        table_.withdraw(handle);
    handle = 0;
}

std::string HostLink::text(uint32_t handle) const
{
    const char* p = static_cast<const char*>(resolve(handle));
    if (!p)
        return {};
    return std::string(p, ::strnlen(p, kTextCap));
}

HostLink& Host()
{
    static HostLink link;
    return link;
}

}  // namespace vpsim
