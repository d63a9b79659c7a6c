#pragma once
// Everything of the painting form that the shape routines read, and the
// drawing-state words they leave behind for the tool machine.
#include <array>
#include <cstdint>
#include <string>

#include "pattern/shapes/fill_motif.h"
#include "pattern/shapes/fill_pattern.h"
#include "pattern/shapes/shape_settings.h"

// The part of the picture the current pane shows. The routines that stay in
// it intersect it with the picture first, so "everything" may be given as a
// larger area (the default).
struct VisibleArea {
    int32_t firstColumn = 1;
    int32_t columns = 65535;
    int32_t firstRow = 1;
    int32_t rows = 65535;
};

struct PaintState {
    static constexpr uint16_t kNoReference = 255;

    PaintState();

    int32_t width = 0;
    int32_t height = 0;
    uint16_t currentLevel = 0;  // 1..N; 0 = none (nothing is painted)
    uint16_t referenceLevel = kNoReference;
    VisibleArea visible;

    // T indexed by the new colour (never written), P by the old (never
    // overwritten). T[255] starts set.
    std::array<uint8_t, 256> T{};
    std::array<uint8_t, 256> P{};
    uint8_t currentColour = 0;
    uint8_t backgroundColour = 0;
    uint8_t transparentColour = 255;
    uint8_t motifIsForeground = 0;
    FillPattern pattern;

    uint8_t tool = 0;
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    // 1: line steps are the slopes; 0: widened by the line width.
    uint8_t stepByte = 1;
    // Where a flood fill keeps the seeds that do not fit in memory.
    std::string fillFile;
    // Copy PaintUnitSettings() in before a tool runs.
    ShapeSettings settings;

    // Written by the routines.
    int32_t lineExtentX = 0;  // column and row extent of the last line
    int32_t lineExtentY = 0;
    int32_t circleScaleX = 1;
    int32_t circleScaleY = 1;
    int32_t lastGapLeg = 0;  // 0 none, 1 vertical leg, 2 horizontal leg
    int32_t staircaseEndX = 0;
    int32_t staircaseEndY = 0;
    FillMotif fillMotif;      // a searching fill's region
    int32_t spilledSeeds = 0;  // seeds the last fill kept in its file
};
