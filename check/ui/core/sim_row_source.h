#pragma once
// Where the simulation window reads the fabric from: the library's read
// calls. Tests script a fake.
#include <cstdint>
#include <string>

#include "check/simdll_blocks.h"

class SimRowSource {
public:
    virtual ~SimRowSource() = default;
    // Rows available (carrier-bar rows included while they are shown).
    virtual uint16_t height() = 0;
    // One row's three arrays and bytes; false when nothing came.
    virtual bool row(uint16_t rowFromTop, uint16_t cellWidth, uint16_t row, bool oldYarnHidden, bool densityHidden,
                     SimDllRow& out) = 0;
    // The carrier (1..64 over all rails) of a cell colour, 0 for none.
    virtual uint8_t carrierOf(uint8_t colour) = 0;
    virtual SimExtras extras(uint8_t colour, uint16_t column, uint16_t row) = 0;
    // The stroke label of a row.
    virtual std::string comment(uint16_t row) = 0;
};

// The loaded library (SimDllRecord).
class DllSimRowSource : public SimRowSource {
public:
    uint16_t height() override;
    bool row(uint16_t rowFromTop, uint16_t cellWidth, uint16_t row, bool oldYarnHidden, bool densityHidden,
             SimDllRow& out) override;
    uint8_t carrierOf(uint8_t colour) override;
    SimExtras extras(uint8_t colour, uint16_t column, uint16_t row) override;
    std::string comment(uint16_t row) override;
};
