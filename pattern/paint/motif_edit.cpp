#include "pattern/paint/motif_edit.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <utility>

#include "pattern/motif/motif_exchange.h"
#include "pattern/motif/motif_transform.h"
#include "pattern/motif/palette_match.h"
#include "pattern/motif/take_over_palette.h"
#include "pattern/paint/drag_rect.h"
#include "pattern/paint/paint_core.h"
#include "pattern/shapes/line_painter.h"

namespace {

constexpr std::array<std::pair<std::string_view, EditCommand>, 21> kNames{{
    {"cut", EditCommand::Cut},
    {"copy", EditCommand::Copy},
    {"paste", EditCommand::Paste},
    {"copy-to", EditCommand::CopyTo},
    {"insert-from", EditCommand::InsertFrom},
    {"half-both", EditCommand::HalfBoth},
    {"half-width", EditCommand::HalfWidth},
    {"half-height", EditCommand::HalfHeight},
    {"double-both", EditCommand::DoubleBoth},
    {"double-width", EditCommand::DoubleWidth},
    {"double-height", EditCommand::DoubleHeight},
    {"stretch-both", EditCommand::StretchBoth},
    {"stretch-width", EditCommand::StretchWidth},
    {"stretch-height", EditCommand::StretchHeight},
    {"flip-lr", EditCommand::FlipLeftRight},
    {"flip-tb", EditCommand::FlipTopBottom},
    {"distort-lr", EditCommand::DistortLeftRight},
    {"distort-tb", EditCommand::DistortTopBottom},
    {"rotate90", EditCommand::Rotate90},
    {"rotate180", EditCommand::Rotate180},
    {"rotate-any", EditCommand::RotateAny},
}};

std::string OriginalOf(const std::string& work)
{
    return work + "O";
}

// The levels a motif row is written to or read from: the current level
// first, then the other included ones when the motif spans them all.
std::vector<int> MotifLevels(const PaintCore& core)
{
    std::vector<int> levels{core.State().currentLevel};
    if (core.Motif().allLevels == 0)
        return levels;
    for (size_t l = 1; l <= core.LevelStatesNow().size(); ++l)
        if (static_cast<int>(l) != core.State().currentLevel && core.Included(static_cast<int>(l)))
            levels.push_back(static_cast<int>(l));
    return levels;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

std::string Extension(const std::string& file)
{
    return Lower(std::filesystem::path(file).extension().string());
}

void ShowCaption(PaintCore& core, const std::string& file, int32_t width, int32_t height)
{
    core.View().SetCaption(file + "  (" + std::to_string(width) + "x" + std::to_string(height) + ")");
}

// A transformed motif keeps the follow-the-mouse phase of the placing tools.
void ResumePlacing(PaintCore& core)
{
    if (core.ToolNow() == 26)
        core.SetPhase(4);
    else if (core.ToolNow() == 27)
        core.SetPhase(2);
}

void TakeTransformed(PaintCore& core, const MotifImage& result)
{
    PaintCore::BusyScope busy(core.View());
    MotifBlock& m = core.Motif();
    m.width = result.width;
    m.height = result.Rows();
    m.x2 = m.x1 + m.width - 1;
    m.y2 = m.y1 + m.height - 1;
    core.Hooks().P_SymbolCopyLevelLoeschen();
    SaveWorkMotif(core, result, false);
    core.View().SetMarkedRange(m.x1, m.y1, m.x2, m.y2);
    ResumePlacing(core);
}

void Scale(PaintCore& core, int32_t width, int32_t rows)
{
    MotifImage original;
    if (!LoadWorkMotif(core, true, original))
        return;
    TakeTransformed(core, MirrorScaleMotif(original, width, rows, kMirrorNone));
}

// Halving keeps at least one cell.
void Halve(PaintCore& core, bool width, bool height)
{
    const MotifBlock& m = core.Motif();
    if (m.Empty())
        return;
    Scale(core, width ? std::max(1, m.width / 2) : m.width, height ? std::max(1, m.height / 2) : m.height);
}

void Double(PaintCore& core, bool width, bool height)
{
    const MotifBlock& m = core.Motif();
    if (m.Empty())
        return;
    Scale(core, width ? m.width * 2 : m.width, height ? m.height * 2 : m.height);
}

// Mirroring and the quarter turn lose nothing: the untouched copy turns
// with the work bitmap, so that a later scaling starts from the motif as it
// now stands and still from its full picture.
template <class Transform>
void TransformBoth(PaintCore& core, Transform transform)
{
    MotifImage work;
    if (!LoadWorkMotif(core, false, work))
        return;
    MotifImage original;
    const bool untouched = LoadWorkMotif(core, true, original);
    TakeTransformed(core, transform(work));
    if (untouched)
        WriteBmp8(OriginalOf(core.workBmp), transform(original).ToBmp());
}

void Mirror(PaintCore& core, int mirror)
{
    TransformBoth(core, [mirror](const MotifImage& m) { return MirrorScaleMotif(m, 0, 0, mirror); });
}

void Turn(PaintCore& core)
{
    TransformBoth(core, [](const MotifImage& m) { return RotateMotif90(m); });
}

// Stretching, distorting and turning by a drag run as tools of their own.
void StartDragTool(PaintCore& core, uint8_t tool)
{
    core.BeginTransformDrag(tool);
}

bool HasRegion(const PaintCore& core)
{
    return !core.Motif().Empty();
}

// While a placing tool holds the motif, the work bitmap is the motif: the
// marked rectangle may be the hole a move left or cells the motif has not
// reached yet.
bool PlacingHoldsTheMotif(const PaintCore& core)
{
    return core.ToolNow() >= 26 && core.ToolNow() <= 29;
}

void CopyCommand(PaintCore& core)
{
    if (!HasRegion(core))
        return;
    CopyRegionToMotif(core);
    core.View().BindMotifCommands(true);
}

void CutCommand(PaintCore& core)
{
    if (!HasRegion(core))
        return;
    if (!PlacingHoldsTheMotif(core))
        CopyRegionToMotif(core);
    core.View().BindMotifCommands(true);
    CutMotif(core);
    const MotifBlock& m = core.Motif();
    core.RedrawChanged(m.x1, m.y1, m.x2, m.y2);
    core.ClearMarking();
}

void PasteCommand(PaintCore& core)
{
    core.SelectTool(29);
    core.View().P_KopierenButtonEnable(true);
}

void Warn(PaintCore& core, const ExchangeResult& r, const std::string& input, const std::string& output)
{
    const bool in = r.fault == ExchangeFault::Input;
    core.View().Warning(std::string(in ? "Fehler beim Öffnen der Eingabedatei" : "Fehler beim Erzeugen der Ausgabedatei") +
                        " " + (in ? input : output));
}

// A new motif from a file: the work bitmap and its copy, the colours, the
// size and the caption; tool 29 places it.
void InsertFrom(PaintCore& core, const std::string& file)
{
    const std::string ext = Extension(file);
    if (file.empty() || (ext != ".pcx" && ext != ".bmp"))
        return;
    const std::string& work = core.workBmp;
    MotifImage motif;
    bool ownPalette = true;
    if (ext == ".pcx") {
        // A failed conversion leaves the work bitmap as it was.
        const ExchangeResult r = PcxToBmp(file, work, core.State().transparentColour);
        if (!r) {
            Warn(core, r, file, work);
            return;
        }
        Bmp8 picture;
        std::string error;
        if (!ReadBmp8(work, picture, error))
            return;
        motif = MotifImage::FromBmp(picture, 1);
    } else {
        Bmp8 picture;
        std::string error;
        if (!ReadBmp8(file, picture, error)) {
            core.View().Warning("Fehler beim Öffnen der Eingabedatei " + file);
            return;
        }
        ownPalette = !picture.trueColour;
        if (picture.trueColour)
            MatchToPalette(picture, core.colours, static_cast<int32_t>(core.PanelCount()));
        motif = MotifImage::FromBmp(picture, 1);
        if (!SaveWorkMotif(core, motif, false)) {
            core.View().Warning("Fehler beim Erzeugen der Ausgabedatei " + work);
            return;
        }
        core.Hooks().MotifLoadedHook(work.c_str());
    }
    std::error_code ec;
    std::filesystem::copy_file(work, OriginalOf(work), std::filesystem::copy_options::overwrite_existing, ec);
    MotifBlock& m = core.Motif();
    m.allLevels = 0;
    m.x1 = m.y1 = 1;
    m.width = motif.width;
    m.height = motif.Rows();
    m.x2 = m.width;
    m.y2 = m.height;
    core.View().MotifChanged(m.width, m.height);
    if (ownPalette)
        core.TakePalette(motif.colours);
    PasteCommand(core);
    ShowCaption(core, file, motif.width, motif.height);
}

void CopyTo(PaintCore& core, const std::string& file)
{
    if (!HasRegion(core))
        return;
    if (!PlacingHoldsTheMotif(core) && !CopyRegionToMotif(core))
        return;
    core.View().BindMotifCommands(true);
    const std::string ext = Extension(file);
    if (file.empty() || (ext != ".pcx" && ext != ".bmp"))
        return;
    const MotifBlock& m = core.Motif();
    ShowCaption(core, file, m.width, m.height);
    if (ext == ".pcx") {
        const ExchangeResult r = BmpToPcx(core.workBmp, file, core.State().transparentColour);
        if (!r)
            Warn(core, r, core.workBmp, file);
        return;
    }
    MotifImage motif;
    if (!LoadWorkMotif(core, false, motif) || !WriteBmp8(file, motif.ToBmp()).empty())
        core.View().Warning("Fehler beim Erzeugen der Ausgabedatei " + file);
}

}  // namespace

bool EditCommandByName(std::string_view name, EditCommand& command)
{
    for (const auto& [n, c] : kNames)
        if (n == name) {
            command = c;
            return true;
        }
    return false;
}

bool CopyRegionToMotif(PaintCore& core)
{
    const MotifBlock& m = core.Motif();
    if (m.Empty() || core.workBmp.empty())
        return false;
    const PaintState& s = core.State();
    const std::vector<int> levels = MotifLevels(core);
    MotifImage motif = MotifImage::Blank(m.width, m.height, static_cast<int32_t>(levels.size()), s.transparentColour);
    motif.colours = core.colours;
    for (size_t k = 0; k < levels.size(); ++k)
        for (int32_t r = 0; r < m.height; ++r) {
            const int32_t y = m.y1 + r;
            if (y < 1 || y > s.height)
                continue;
            const std::span<uint8_t> row = core.Row(levels[k], y);
            uint8_t* line = motif.LevelRow(static_cast<int32_t>(k), r);
            for (int32_t c = 0; c < m.width; ++c) {
                const int32_t x = m.x1 + c;
                if (x >= 1 && x <= s.width && static_cast<size_t>(x) <= row.size())
                    line[c] = row[static_cast<size_t>(x - 1)];
            }
        }
    if (!SaveWorkMotif(core, motif, true))
        return false;
    core.Hooks().P_SymbolCopyBildtoClipBoard(m.x1, m.y1, m.width, m.height);
    return true;
}

bool LoadWorkMotif(const PaintCore& core, bool original, MotifImage& motif)
{
    Bmp8 picture;
    std::string error;
    if (core.workBmp.empty() || !ReadBmp8(original ? OriginalOf(core.workBmp) : core.workBmp, picture, error))
        return false;
    const int32_t levels = core.Motif().allLevels ? static_cast<int32_t>(MotifLevels(core).size()) : 1;
    motif = MotifImage::FromBmp(picture, picture.height % levels == 0 ? levels : 1);
    return true;
}

bool SaveWorkMotif(PaintCore& core, const MotifImage& motif, bool refreshOriginal)
{
    if (core.workBmp.empty() || !WriteBmp8(core.workBmp, motif.ToBmp()).empty())
        return false;
    if (refreshOriginal) {
        std::error_code ec;
        std::filesystem::copy_file(core.workBmp, OriginalOf(core.workBmp),
                                   std::filesystem::copy_options::overwrite_existing, ec);
    }
    core.View().MotifChanged(motif.width, motif.Rows());
    return true;
}

void WriteMotifIntoLevels(PaintCore& core, const MotifImage& motif, int32_t x1, int32_t y1)
{
    const PaintState& s = core.State();
    std::vector<int> levels = MotifLevels(core);
    levels.resize(std::min<size_t>(levels.size(), static_cast<size_t>(std::max(motif.levels, 1))));
    const int32_t from = std::max(x1, 1);
    const int32_t to = std::min(x1 + motif.width - 1, s.width);
    if (to < from)
        return;
    for (size_t k = 0; k < levels.size(); ++k)
        for (int32_t r = 0; r < motif.Rows(); ++r) {
            const int32_t y = y1 + r;
            if (y < 1 || y > s.height)
                continue;
            const std::span<uint8_t> row = core.Row(levels[k], y);
            if (row.size() < static_cast<size_t>(to))
                continue;
            const uint8_t* line = motif.Line(MotifImage::MotifLevelLine(static_cast<int32_t>(k), r, motif.Rows()));
            core.FilterPaintRow({line + (from - x1), static_cast<size_t>(to - from + 1)},
                                row.subspan(static_cast<size_t>(from - 1), static_cast<size_t>(to - from + 1)));
            core.RowChanged(levels[k], y);
        }
}

void CutMotif(PaintCore& core)
{
    PaintState& s = core.State();
    const MotifBlock& m = core.Motif();
    core.UndoPosInc();
    s.currentColour = core.cutFillsWithBackground ? s.backgroundColour : s.transparentColour;
    const DragRect r = DragRect{m.x1, m.y1, m.x2, m.y2}.ClippedTo(s.width, s.height);
    if (r.Empty())
        return;
    for (int32_t y = r.y1; y <= r.y2; ++y) {
        const std::span<uint8_t> row = core.Row(s.currentLevel, y);
        if (row.size() < static_cast<size_t>(r.x2))
            continue;
        const std::span<uint8_t> run = row.subspan(static_cast<size_t>(r.x1 - 1), static_cast<size_t>(r.x2 - r.x1 + 1));
        core.InUndoSchreiben(static_cast<uint8_t>(s.currentLevel), y, r.x1 - 1, run);
        std::fill(run.begin(), run.end(), s.currentColour);
        core.RowChanged(s.currentLevel, y);
    }
}

void PasteMotif(PaintCore& core, int32_t x, int32_t y, bool takePalette)
{
    MotifImage motif;
    if (!LoadWorkMotif(core, false, motif))
        return;
    MotifBlock& m = core.Motif();
    m.x1 = x;
    m.y1 = y;
    m.width = motif.width;
    m.height = motif.Rows();
    m.x2 = x + m.width - 1;
    m.y2 = y + m.height - 1;
    if (takePalette && motif.width > 0)
        core.TakePalette(motif.colours);
    core.UndoZuruecksetzen();
    core.UndoPosInc();
    core.EbenenInUndoSchreiben(y, x, m.height, m.width);
    WriteMotifIntoLevels(core, motif, x, y);
    core.Hooks().P_SymbolCopyClipBoardToBild(false, m.width);
    core.Hooks().F_SymbolLevelfuellen(true);
    core.RedrawCells(1, 1, core.State().width, core.State().height);
    core.View().SetMarkedRange(m.x1, m.y1, m.x2, m.y2);
}

void TextMotif(PaintCore& core, const std::u32string& text, bool replace)
{
    if (replace && core.textStepShown) {
        core.UndoZurueckLesen(true);
        core.textStepShown = false;
    }
    MotifBlock& m = core.Motif();
    MotifImage motif;
    if (text.empty() || m.x1 < 1 || m.y1 < 1 || !core.View().RenderText(text, motif) || motif.width == 0)
        return;
    motif.colours = core.colours;
    m.allLevels = 0;
    m.width = motif.width;
    m.height = motif.Rows();
    m.x2 = m.x1 + m.width - 1;
    m.y2 = m.y1 + m.height - 1;
    core.UndoPosInc();
    const PaintState& s = core.State();
    const int32_t x2 = std::min(m.x2, s.width), y2 = std::min(m.y2, s.height);
    if (x2 >= m.x1 && y2 >= m.y1)
        core.EbenenInUndoSchreiben(m.y1, m.x1, y2 - m.y1 + 1, x2 - m.x1 + 1);
    if (SaveWorkMotif(core, motif, true))
        core.Hooks().P_SymbolCopyLevelLoeschen();
    WriteMotifIntoLevels(core, motif, m.x1, m.y1);
    core.textStepShown = true;
    core.RedrawChanged(m.x1, m.y1, x2, y2);
    core.View().SetMarkedRange(m.x1, m.y1, m.x2, m.y2);
}

void RunEditCommand(PaintCore& core, EditCommand command, const std::string& file)
{
    switch (command) {
    case EditCommand::Cut: CutCommand(core); break;
    case EditCommand::Copy: CopyCommand(core); break;
    case EditCommand::Paste: PasteCommand(core); break;
    case EditCommand::CopyTo: CopyTo(core, file); break;
    case EditCommand::InsertFrom: InsertFrom(core, file); break;
    case EditCommand::HalfBoth: Halve(core, true, true); break;
    case EditCommand::HalfWidth: Halve(core, true, false); break;
    case EditCommand::HalfHeight: Halve(core, false, true); break;
    case EditCommand::DoubleBoth: Double(core, true, true); break;
    case EditCommand::DoubleWidth: Double(core, true, false); break;
    case EditCommand::DoubleHeight: Double(core, false, true); break;
    case EditCommand::StretchBoth: StartDragTool(core, 34); break;
    case EditCommand::StretchWidth: StartDragTool(core, 36); break;
    case EditCommand::StretchHeight: StartDragTool(core, 35); break;
    case EditCommand::FlipLeftRight: Mirror(core, kMirrorLeftRight); break;
    case EditCommand::FlipTopBottom: Mirror(core, kMirrorTopBottom); break;
    case EditCommand::DistortLeftRight: StartDragTool(core, 32); break;
    case EditCommand::DistortTopBottom: StartDragTool(core, 33); break;
    case EditCommand::Rotate90: Turn(core); break;
    case EditCommand::Rotate180: Mirror(core, kMirrorBoth); break;
    case EditCommand::RotateAny: StartDragTool(core, 37); break;
    }
    core.View().TakeFocus();
}
