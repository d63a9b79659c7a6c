#include "kernel/dispatch/recordstore.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr size_t kPageBytes = kStorePageRecords * kStoreRecordSize;
using Page = std::array<uint8_t, kPageBytes>;

// The pages in order: page k holds records 100k .. 100k + 99. A vector
// instead of a linked chain, so that positioning never walks the pages.
struct Store {
    std::vector<std::unique_ptr<Page>> pages;
    uint32_t index = 0;
    bool memoryMode = false;
};
Store store;

void EnsurePage(size_t page)
{
    while (store.pages.size() <= page)
        store.pages.push_back(std::make_unique<Page>());  // value-initialised: zeros
}

uint8_t* Slot(uint32_t n)
{
    const size_t page = n / kStorePageRecords;
    EnsurePage(page);
    return store.pages[page]->data() + (n % kStorePageRecords) * kStoreRecordSize;
}

void ReleasePages()
{
    store.pages.clear();
    store.pages.shrink_to_fit();
}

}  // namespace

void StorePosition(uint32_t n)
{
    store.index = n;
    EnsurePage(n / kStorePageRecords);
}

void StorePut(const uint8_t* record)
{
    std::memcpy(Slot(store.index), record, kStoreRecordSize);
    StorePosition(store.index + 1);
}

void StoreGet(uint8_t* record)
{
    std::memcpy(record, Slot(store.index), kStoreRecordSize);
    StorePosition(store.index + 1);
}

bool StoreDump(std::FILE* file, int32_t count)
{
    bool ok = std::fseek(file, 0, SEEK_SET) == 0;
    StorePosition(0);
    if (ok && count >= 0) {
        size_t left = static_cast<size_t>(count) + 1;
        EnsurePage((left - 1) / kStorePageRecords);
        for (size_t page = 0; left > 0 && ok; ++page) {
            const size_t n = std::min(left, kStorePageRecords);
            ok = std::fwrite(store.pages[page]->data(), kStoreRecordSize, n, file) == n;
            left -= n;
        }
    }
    ReleasePages();
    store.index = 0;
    return ok;
}

void StoreReset(bool memoryMode)
{
    ReleasePages();
    store.index = 0;
    store.memoryMode = memoryMode;
    if (memoryMode)
        StorePosition(0);
}

bool StoreMemoryMode()
{
    return store.memoryMode;
}

size_t StorePageCount()
{
    return store.pages.size();
}
uint32_t StoreIndex()
{
    return store.index;
}
size_t StorePage()
{
    return store.index / kStorePageRecords;
}
size_t StoreSlot()
{
    return store.index % kStorePageRecords;
}
