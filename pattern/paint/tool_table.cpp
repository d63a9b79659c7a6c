#include "pattern/paint/tool_table.h"

#include "pattern/paint/arc_tool.h"
#include "pattern/paint/area_tool.h"
#include "pattern/paint/brush_tool.h"
#include "pattern/paint/colour_swap_tool.h"
#include "pattern/paint/fill_tool.h"
#include "pattern/paint/flag_tool.h"
#include "pattern/paint/line_tool.h"
#include "pattern/paint/mark_tool.h"
#include "pattern/paint/motif_place_tool.h"
#include "pattern/paint/measure_tool.h"
#include "pattern/paint/pipette_tool.h"
#include "pattern/paint/rectangle_tool.h"
#include "pattern/paint/rhombus_tool.h"
#include "pattern/paint/round_shape_tool.h"
#include "pattern/paint/spray_tool.h"
#include "pattern/paint/text_tool.h"
#include "pattern/paint/transform_drag_tool.h"

namespace {

constexpr std::string_view kColours = "\xc2\xbf\"LT\" Vordergrundfarbe\xc2\xbf\"RT\" Hintergrundfarbe";

// Most hints name the two buttons' colours after the tool's name.
std::string Hint(std::string_view head)
{
    return std::string(head) + std::string(kColours);
}

}  // namespace

ToolTable::ToolTable()
{
    using L = LineTool::Kind;
    using R = RoundShapeTool::Shape;
    const auto left = MouseButton::Left;
    const auto right = MouseButton::Right;
    Register({1, "FreiHand_SpeedButton", left, Hint("Pinsel:"), {}, -1}, std::make_shared<BrushTool>());
    Register({2, "Spray_SpeedButton", left, Hint("Sprühen:"), {}, -1}, std::make_shared<SprayTool>());
    Register({4, "BereichMarkieren_SpeedButton", left,
              "Motivbereich markieren:\xc2\xbf\"LT\" Bereich definieren\xc2\xbf\"RT\" Farbbereich als Motiv definieren",
              "Strg+\"LT\" Bereich in allen aktiven Ebenen definieren", -1},
             std::make_shared<MarkTool>());
    Register({5, "RechteckVoll_SpeedButton", left, Hint("Ungefülltes Rechteck:"), {}, 4},
             std::make_shared<RectangleTool>(false));
    Register({6, "RechteckVoll_SpeedButton", right, Hint("Gefülltes Rechteck:"), {}, 5},
             std::make_shared<RectangleTool>(true));
    Register({7, "FarbeTauschen_SpeedButton", left,
              "Farbe tauschen:\xc2\xbf\"LT\" Hintergrundfarbe mit Vordergrundfarbe überschreiben\xc2\xbf\"RT\" "
              "Hintergrundfarbe mit Vordergrundfarbe austauschen",
              {}, -1},
             std::make_shared<ColourSwapTool>());
    Register({8, "FarbeTauschen_SpeedButton", right,
              "Motiv tauschen:\xc2\xbf\"LT\" Motiv mit Vordergrundfarbe überschreiben", {}, -1},
             std::make_shared<AreaTool>(AreaTool::Kind::MotifSwap));
    Register({9, "Bogen_SpeedButton", left, Hint("Bogen:"), {}, -1}, std::make_shared<ArcTool>());
    Register({10, "KreisVoll_SpeedButton", left, Hint("Ungefüllter Kreis:"), {}, 2},
             std::make_shared<RoundShapeTool>(R::CircleFrame));
    Register({11, "Ellipse_SpeedButton", left, Hint("Ungefüllte Ellipse:"), {}, 0},
             std::make_shared<RoundShapeTool>(R::EllipseFrame));
    Register({12, "Ellipse_SpeedButton", right, Hint("Gefüllte Ellipse:"), {}, 1},
             std::make_shared<RoundShapeTool>(R::EllipseFilled));
    Register({13, "KreisVoll_SpeedButton", right, Hint("Gefüllter Kreis:"), {}, 3},
             std::make_shared<RoundShapeTool>(R::CircleFilled));
    Register({14, "Linie_SpeedButton", left, Hint("Linie:"), {}, -1}, std::make_shared<LineTool>(L::Line));
    Register({15, "LinieEndlos_SpeedButton", left, Hint("Endloslinie:"), {}, -1},
             std::make_shared<LineTool>(L::Polyline));
    Register({16, "Polygon_SpeedButton", left, Hint("Vieleck:"), "Strg+\"LT\" Vieleck schliesen", 6},
             std::make_shared<LineTool>(L::Polygon));
    Register({17, "Polygon_SpeedButton", right, Hint("Rombe:"), {}, 7}, std::make_shared<RhombusTool>());
    Register({19, "ColPipette_SpeedButton", left, {}, {}, -1}, std::make_shared<PipetteTool>());
    Register({20, "ColSchutz_SpeedButton", left, {}, {}, -1}, std::make_shared<FlagTool>());
    Register({21, "ColTransp_SpeedButton", left, {}, {}, -1}, std::make_shared<FlagTool>());
    Register({22, "Fuellen_SpeedButton", left, Hint("Füllen:"), {}, -1}, std::make_shared<FillTool>());
    Register({23, "Umranden_SpeedButton", left, "Farben umranden", {}, -1},
             std::make_shared<AreaTool>(AreaTool::Kind::Outline));
    Register({24, "InsDel_SpeedButton", left, {}, {}, -1}, std::make_shared<AreaTool>(AreaTool::Kind::InsertDelete));
    auto place = std::make_shared<MotifPlaceTool>();
    Register({25, "RasterKopie_SpeedButton", left, "Motiv im Raster kopieren", {}, -1}, place);
    Register({26, "Bewegen_SpeedButton", left, "Motiv bewegen", {}, -1}, place);
    Register({27, "Kopieren_SpeedButton", left,
              "Kopieren:\xc2\xbf\"LT\" Motiv setzen\xc2\xbf\"RT\" Motiv relativ zum letzten Vorgang setzen", {}, -1},
             place);
    Register({28, "Kopieren_SpeedButton", right,
              "Kopieren:\xc2\xbf\"LT\" Motiv setzen\xc2\xbf anschliesend Wiederholungsfaktor eingeben", {}, -1},
             place);
    Register({29, {}, left, "Motiv einfügen:", {}, -1}, place);
    Register({30, "Lineal_SpeedButton", left, "Lineal:", {}, -1}, std::make_shared<MeasureTool>());
    Register({31, "Letter_SpeedButton", left, "Text", {}, -1}, std::make_shared<TextTool>());
    auto transform = std::make_shared<TransformDragTool>();
    for (uint8_t t : {32, 33})
        Register({t, {}, left, "Motiv verzerren", {}, -1}, transform);
    for (uint8_t t : {34, 35, 36})
        Register({t, {}, left, "Motiv strecken", {}, -1}, transform);
    Register({37, {}, left, "Motiv drehen", {}, -1}, transform);
}

ToolTable::~ToolTable() = default;

void ToolTable::Register(const ToolInfo& info, std::shared_ptr<PaintTool> tool)
{
    info_[info.tool] = info;
    tools_[info.tool] = std::move(tool);
}

const ToolInfo* ToolTable::Info(uint8_t tool) const
{
    return tool <= kMaxTool && tools_[tool] ? &info_[tool] : nullptr;
}

PaintTool* ToolTable::Tool(uint8_t tool) const
{
    return tool <= kMaxTool ? tools_[tool].get() : nullptr;
}

const ToolInfo* ToolTable::ByButton(std::string_view button, MouseButton mouse) const
{
    for (uint8_t t = 1; t <= kMaxTool; ++t)
        if (tools_[t] && info_[t].button == button && info_[t].mouse == mouse)
            return &info_[t];
    return nullptr;
}

bool ToolTable::HasLeftTool(std::string_view button) const
{
    return ByButton(button, MouseButton::Left) != nullptr;
}

std::string InsertDeleteHint(uint16_t code)
{
    const std::string keep = "\xc2\xbf\"LT\" mit Bereich erhalten\xc2\xbf\"RT\" mit Hintergrundfarbe füllen";
    switch (code) {
    case 1: return "Zeilen einfügen:" + keep;
    case 2: return "Spalten einfügen" + keep;
    case 3: return "Zeilen löschen";
    case 4: return "Spalten löschen";
    case 9: return "Zeilen einfügen (innerhalb Motiv):" + keep;
    case 10: return "Spalten einfügen (innerhalb Motiv):" + keep;
    case 11: return "Zeilen löschen (innerhalb Motiv)";
    case 12: return "Spalten löschen (innerhalb Motiv)";
    default: return {};
    }
}

std::string_view ToolTable::ButtonOf(uint8_t tool)
{
    static constexpr std::string_view kButtons[32] = {
        {},
        "FreiHand_SpeedButton",
        "Spray_SpeedButton",
        {},
        "BereichMarkieren_SpeedButton",
        "RechteckVoll_SpeedButton",
        "RechteckVoll_SpeedButton",
        "FarbeTauschen_SpeedButton",
        "FarbeTauschen_SpeedButton",
        "Bogen_SpeedButton",
        "KreisVoll_SpeedButton",
        "Ellipse_SpeedButton",
        "Ellipse_SpeedButton",
        "KreisVoll_SpeedButton",
        "Linie_SpeedButton",
        "LinieEndlos_SpeedButton",
        "Polygon_SpeedButton",
        "Polygon_SpeedButton",
        {},
        "ColPipette_SpeedButton",
        "ColSchutz_SpeedButton",
        "ColTransp_SpeedButton",
        "Fuellen_SpeedButton",
        "Umranden_SpeedButton",
        "InsDel_SpeedButton",
        "RasterKopie_SpeedButton",
        "Bewegen_SpeedButton",
        "Kopieren_SpeedButton",
        "Kopieren_SpeedButton",
        "Bewegen_SpeedButton",
        "Lineal_SpeedButton",
        "Letter_SpeedButton",
    };
    return tool < 32 ? kButtons[tool] : std::string_view{};
}
