#pragma once
// Finding and making the lines of the index lists the header writes to.
#include <cstdint>

class T_Kelt8IndexListe;

// Makes sub-lists up to n exist and gives the line of sub-list n (0 when
// the list cannot hold it).
uint16_t EnsureIndexListLines(T_Kelt8IndexListe& list, uint16_t n);
// The least number a sub-list opened at line may carry for the numbers to
// keep rising from top to bottom: one above the last sub-list above it,
// counting the unused lines that writing the line brings into being.
uint16_t LowestOpeningNumber(const T_Kelt8IndexListe& list, uint16_t line);
// The take-down line of sub-list n ($A_), or a new continuation line
// inserted after the last line of sub-list n ($K_). 0 when there is none.
uint16_t EnsureAListLine(uint16_t n, bool continuation);
