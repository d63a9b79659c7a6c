#pragma once
// The motif between the levels and the work bitmap: lifting the marked
// rectangle into it, writing it back into the levels, cutting, and the
// Edit menu's commands that copy, paste, exchange and transform it. The
// work bitmap is an 8-bit BMP file; beside it lies its untouched copy (the
// name + "O"), from which scaling and turning start again so that repeated
// transformations lose nothing.
#include <cstdint>
#include <string>
#include <string_view>

#include "pattern/motif/motif_image.h"

class PaintCore;

// The Edit menu's commands on the motif, in the menu's order from cut on.
enum class EditCommand {
    Cut,
    Copy,
    Paste,
    CopyTo,
    InsertFrom,
    HalfBoth,
    HalfWidth,
    HalfHeight,
    DoubleBoth,
    DoubleWidth,
    DoubleHeight,
    StretchBoth,
    StretchWidth,
    StretchHeight,
    FlipLeftRight,
    FlipTopBottom,
    DistortLeftRight,
    DistortTopBottom,
    Rotate90,
    Rotate180,
    RotateAny,
};

// The probe's name of a command ("copy", "half-width" ...); false when
// there is none.
bool EditCommandByName(std::string_view name, EditCommand& command);

// The marked rectangle of the current level (or of every included level
// when the motif was marked over all) into the work bitmap and its copy.
bool CopyRegionToMotif(PaintCore& core);
// Reads the work bitmap (or its copy) as the motif of its levels.
bool LoadWorkMotif(const PaintCore& core, bool original, MotifImage& motif);
// Writes the work bitmap, and the copy too when the content is new.
bool SaveWorkMotif(PaintCore& core, const MotifImage& motif, bool refreshOriginal);
// Writes the motif into the levels with (x1, y1) as its lower left cell,
// through the write rule, cut to the picture.
void WriteMotifIntoLevels(PaintCore& core, const MotifImage& motif, int32_t x1, int32_t y1);
// The motif's rectangle of the current level filled with the background
// (or transparent) colour, saved for undo first.
void CutMotif(PaintCore& core);
// Loads the work bitmap as the motif at (x, y), takes its colours when
// asked, and writes it into the levels.
void PasteMotif(PaintCore& core, int32_t x, int32_t y, bool takePalette);

// The text drawn by the view as the motif at the motif rectangle's lower
// left cell: it becomes the work bitmap and is written into the levels in
// a step of its own. With replace the text's last step is undone first (it
// moved or changed). An empty text only takes the last one away.
void TextMotif(PaintCore& core, const std::u32string& text, bool replace);

// Runs an Edit menu command; file commands take the chosen file name
// (empty: the dialog was cancelled).
void RunEditCommand(PaintCore& core, EditCommand command, const std::string& file = {});
