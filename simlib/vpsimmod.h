#pragma once
// libVpSimMod.so: our simulation and export library. Block layouts, names and
// handles: vpsimmod_abi.h. What the library makes of the calls is settled
// here; the simulation windows and the export rely on it.
//
// Run state
//   P_DllInit starts a new run: every earlier line, row, carrier and stored
//   switch is dropped; the machine width W_m is init +2 (the needle start),
//   simulation mode is +21, export mode +22. Before the first P_DllInit and
//   after P_DllSpeicherFrei every entry answers with zeros or empty results
//   (P_DllVersNummer always answers the version). A block whose size word is
//   below the entry's size is ignored; nothing beyond the entry's size is read.
//   Needle arrays handed over (P_DllAddSelektion, P_DllAddFsDynamisch) have
//   exactly W_m entries (u8 actions, u16 densities), needle 1 first.
//
// Lines and strokes
//   A line runs from P_DllAddNeueZeile to P_DllZeileFertig; P_DllAddSelektion,
//   P_DllAddFsDynamisch and P_DllAddFf fill the open line. P_DllZeileFertig
//   without an open line does nothing; a P_DllAddNeueZeile while a line is
//   open finishes that line first. A line with P_DllAddNeueZeile +5 = 1 starts
//   a carriage stroke; P_DllInfoEnde +5 gives the number of strokes.
//
// Fabric rows (simulation mode only)
//   Each line adds two rows: its front bed, then its back bed, numbered from 1
//   upward (line k gives rows 2k - 1 and 2k). A row keeps only the span of its
//   acting needles. P_DllGetSimHoehe +6 gives the number of rows; while the
//   carrier display (P_DllFfEinAus +2) is on, 8 carrier-bar rows follow on
//   top, rail 1 lowest.
//
//   P_DllGetSimInfo (+26 the row; +22 the row counted from the top is not
//   used) returns three arrays of W_m entries, cell i = needle i + 1:
//     +4  shape: 0 no action, 'M' 1, 'm' 2, 'F' 3, 'f' 4, 'G' 5, 'g' 6,
//         'S' 7, transfer (24) 8, receive (25) 9, any other action 10.
//     +8  colour: the carrier colour of the line's first carrier move that
//         covers the needle, else 0. While +29 is 0 (densities shown) an
//         acting needle takes 210 + min(25, density div 100) instead.
//     +12 third (i8): the carrier colour where one of the line's carrier
//         moves passes; else -2 where an earlier line acted on that bed and
//         this one does not; else -1.
//   +16 the row's background byte (0), +17 its x offset: 0 on front rows,
//   cell width (+24) div 2 on back rows. A carrier-bar row has shapes 0,
//   colours 0 and in the third array the colour of each carrier of its rail
//   at the carrier's last end needle (-1 elsewhere).
//   Carrier colour = 32 + 8 * (rail - 1) + (carrier - 1), rails and carriers
//   1..8; moves naming others colour nothing. A move covers the needles from
//   its start to its end needle (either order), cut to 1..W_m.
//   +28 (old yarn hidden) changes nothing: the window dims -2 cells itself.
//
//   P_DllGetSimFfInfo: +3 = cell byte - 31 for 32..95, else 0 (the carrier's
//   number over all rails). P_DllGetSimExtras (+8 = 1, +10 needle column,
//   +12 row): +2 the line's system, +3 as P_DllGetSimFfInfo for +9, +4 the
//   line's +4 (racking), +5 u16 the density x 100 at that needle (the bed's
//   dynamic density when one came, else the line's second value for 'm',
//   'f', 'g' and its first value otherwise). P_DllGetKommentar: the line's
//   label (P_DllAddNeueZeile +52), else "".
//   P_DllShowJacquard and P_DllSetFfBar store their switches; the fabric does
//   not depend on them.
//
// Published results
//   Rows (three arrays) live until the next P_DllGetSimInfo, the comment
//   until the next P_DllGetKommentar, the shape tables (kShapeBytes bytes,
//   see vpsimmod_abi.h) until P_DllSpeicherFrei. Shape k of width w and
//   height h starts at k * w * h within its table, pixel (line j, column i)
//   at j * w + i; codes 0..8. Shapes 0..11 are drawn, 12..127 are empty,
//   shape 128 + k is shape k with code 5 on its last line, 6 in its last
//   column and 7 in that corner (the grid).
//
// "Wandel.Sma" (export mode)
//   Written line by line as the calls come, into a temporary file beside
//   the path of init +28 (a new P_DllInit or P_DllSpeicherFrei removes it);
//   P_DllInfoEnde puts it on the disk and renames it over the path, so an
//   export of any length holds no more than a line in memory. Windows-1252
//   text, CR LF.
//   Texts stand in double quotes; bytes below 0x20, '"' and '\' as \xNN.
//   Lines: "WANDEL.SMA 1"; then
//     INIT <needle start> <+4> <margin> <systems> <+24> <+25> <+46>
//          "<machine>" "<target file>" "<comment>"
//   then one line per data-carrying call, in call order:
//     N <needles> <W line> <value> "<comment>"          P_DllAddNZeile
//     NE                                                P_DllNListeEnde
//     WS <not nested> <W line> <value> "<comment>"      P_DllBeginnWs
//     WE <not nested>                                   P_DllEndeWs
//     L <dir> <system> <+4> <+5> <+6> <+8> <+9> <speed> <marker>
//       <d1> <d2> <d3> <d4> "<t1>" "<t2>" "<t3>" "<t4>" "<comb letters>"
//       <+45> <+47> <+51> <+56> <+57> "<take-down>" "<label>"  P_DllAddNeueZeile
//     S <centre> <front actions> <back actions>         P_DllAddSelektion
//     D <side> <density,density,...>                    P_DllAddFsDynamisch
//     F <rail> <carrier> <id> <start> <end> <mode1> <mode2> <type>  P_DllAddFf
//     P <id> <end> <side>                               P_DllFfEndPosChg
//   actions one character per needle: "." for 0, the letter, "U" for 24,
//   "A" for 25, "?" otherwise; last line "ENDE <strokes>". No time stamp.
//   Progress goes to the main bar while P_DllInfoEnde puts the file on the
//   disk (maximum = lines: position 0, then all, finally maximum 0).
//   P_DllInfoEnde +4 = 1 only when the file was written with at least one
//   stroke. With +7 = 1 (the host's checker stopped at a fatal message) the
//   temporary file is removed, no file is written and +4 = 0. A failure
//   sends "Wandel.Sma kann nicht geschrieben werden!" through the translate
//   callback, then the message callback. Later P_DllInfoEnde calls of the
//   same run answer as the first and write nothing.
//
// Call log
//   With VPSIMMOD_LOG naming a file (read when the host hands its handle
//   table over), one line per call after it returns: entry name, blank, hex
//   of the block as received ("-" without block); per pointer field
//   " +<off>=" with the text in double quotes or the array's hex; for entries
//   that return fields " => " and the block's hex after the call; " IGNORED"
//   for a block that is too small. Callbacks: CB translate "<in>" "<out>",
//   CB progress <sub> <max> <pos>, CB message "<text>".
//
// Variants (compile definitions): SIMLIB_VERSION (default 36),
// SIMLIB_NO_JACQUARD (no P_DllShowJacquard), SIMLIB_NO_ZEILEFERTIG (no
// P_DllZeileFertig).
#include <cstdint>

#include "simlib/vpsimmod_abi.h"

#define VPSIM_EXPORT extern "C" __attribute__((visibility("default")))

VPSIM_EXPORT void P_DllSetHandleTable(const vpsim::T_DllHandleTable* table);
VPSIM_EXPORT void P_DllVersNummer(uint8_t* block);
VPSIM_EXPORT void P_DllInit(uint8_t* block);
VPSIM_EXPORT void P_DllAddNZeile(uint8_t* block);
VPSIM_EXPORT void P_DllNListeEnde();
VPSIM_EXPORT void P_DllAddNeueZeile(uint8_t* block);
VPSIM_EXPORT void P_DllBeginnWs(uint8_t* block);
VPSIM_EXPORT void P_DllEndeWs(uint8_t* block);
VPSIM_EXPORT void P_DllAddSelektion(uint8_t* block);
VPSIM_EXPORT void P_DllAddFsDynamisch(uint8_t* block);
VPSIM_EXPORT void P_DllAddFf(uint8_t* block);
VPSIM_EXPORT void P_DllFfEndPosChg(uint8_t* block);
VPSIM_EXPORT void P_DllFfEinAus(uint8_t* block);
VPSIM_EXPORT void P_DllZeileFertig();
VPSIM_EXPORT void P_DllInfoEnde(uint8_t* block);
VPSIM_EXPORT void P_DllGetSimHoehe(uint8_t* block);
VPSIM_EXPORT void P_DllGetSimInfo(uint8_t* block);
VPSIM_EXPORT void P_DllMschnBild(uint8_t* block);
VPSIM_EXPORT void P_DllShowJacquard(uint8_t* block);
VPSIM_EXPORT void P_DllCrashTesten(uint8_t* block);
VPSIM_EXPORT void P_DllGetSimFfInfo(uint8_t* block);
VPSIM_EXPORT void P_DllGetSimExtras(uint8_t* block);
VPSIM_EXPORT void P_DllSetFfBar(uint8_t* block);
VPSIM_EXPORT void P_DllGetSimSym(uint8_t* block);
VPSIM_EXPORT void P_DllGetKommentar(uint8_t* block);
VPSIM_EXPORT void P_DllSpeicherFrei();
