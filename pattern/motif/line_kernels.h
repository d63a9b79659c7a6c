#pragma once
// The inner loops of the motif transformations, sixteen cells at a time
// where the lines allow it (portable vector code or the processor's byte
// shuffle, a plain loop for the rest).
#include <cstddef>
#include <cstdint>

// out[i] = in[n - 1 - i] for i < n; upcoming is a line of n cells to be
// read or written soon, fetched alongside (in itself when there is none).
void ReverseCells(const uint8_t* in, uint8_t* out, int32_t n, const uint8_t* upcoming);
// The same in steps every vector unit has, for processors without a byte
// shuffle.
void ReverseCellsPortably(const uint8_t* in, uint8_t* out, int32_t n, const uint8_t* upcoming);
// out[i] = in[2i + 1] for i < n: a line halved.
void OddCells(const uint8_t* in, uint8_t* out, int32_t n);
// A quarter turn counter-clockwise of a width x rows block read from lines
// inStride apart: target line r (outStride apart) holds source column
// width - 1 - r from the top down.
void TurnBlock(const uint8_t* in, size_t inStride, int32_t width, int32_t rows, uint8_t* out, size_t outStride);
