#pragma once
// The write rule of the painting form: a cell takes the new colour c unless
// c is transparent (T[c]) or the cell's old colour is protected (P[old]).
// T and P are 256-byte tables of 0 and 1. The run forms choose per cell by a
// mask built from the tables, without branches, so that long rows stream.
#include <array>
#include <cstdint>
#include <span>

using ColourFlags = std::array<uint8_t, 256>;

void FilterPaintColour(const ColourFlags& T, const ColourFlags& P, uint8_t colour, uint8_t& cell);
// Every cell of the run offered the one colour. With nothing protected
// this is a plain fill.
void FilterPaintRun(const ColourFlags& T, const ColourFlags& P, uint8_t colour, std::span<uint8_t> cells);
// Cell i offered colours[i]; the shorter length counts.
void FilterPaintRow(const ColourFlags& T, const ColourFlags& P, std::span<const uint8_t> colours,
                    std::span<uint8_t> cells);
// True when any colour is protected.
bool AnyFlag(const ColourFlags& flags);
