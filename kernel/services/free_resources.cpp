#include "kernel/services/free_resources.h"

#include "platform/dynamic_library.h"
#include "platform/paths.h"

namespace {

using FreeResourcesEntry = int (*)(int kind);

constexpr int NotAvailable = 101;
// The library's numbers of the resource kinds 0, 1 and 2.
constexpr int KindTable[] = {0, 1, 2};

struct Binding {
    DynamicLibrary library;
    FreeResourcesEntry entry = nullptr;
    bool tryToLoad = true;
};

Binding& TheBinding()
{
    static Binding binding;
    return binding;
}

}  // namespace

int FreeResources(uint8_t kind)
{
    Binding& b = TheBinding();
    if (!b.library.IsLoaded() && b.tryToLoad) {
        if (b.library.Load("RSRC32.DLL", {ExecutableFolder()}))
            b.entry = b.library.Resolve<FreeResourcesEntry>("_MyGetFreeSystemResources32@4");
        else
            b.tryToLoad = false;
    }
    if (!b.entry || kind >= std::size(KindTable))
        return NotAvailable;
    return b.entry(KindTable[kind]);
}

void FreeResourcesDone()
{
    Binding& b = TheBinding();
    b.entry = nullptr;
    b.tryToLoad = false;
    b.library.Free();
}
