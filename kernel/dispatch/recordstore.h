#pragma once
// The paged record store: 24-byte records kept in memory while a machine
// program file is written (memory mode), in pages of 100 records.
#include <cstddef>
#include <cstdint>
#include <cstdio>

inline constexpr size_t kStoreRecordSize = 24;
inline constexpr size_t kStorePageRecords = 100;

// Current index := n; the pages up to n's are allocated (zero-filled).
void StorePosition(uint32_t n);
// Copies a record into the current slot / out of it, then moves to the next.
void StorePut(const uint8_t* record);
void StoreGet(uint8_t* record);
// Writes records 0..count (count + 1 records, unwritten ones as zeros) to
// the start of file, then releases every page. False when a write failed.
bool StoreDump(std::FILE* file, int32_t count);
// Releases every page. With memory mode on, the store is positioned at 0.
void StoreReset(bool memoryMode);
bool StoreMemoryMode();

// The state, for tests: pages allocated, current index, its page and slot.
size_t StorePageCount();
uint32_t StoreIndex();
size_t StorePage();
size_t StoreSlot();
