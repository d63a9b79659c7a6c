#include "simlib/sim_run.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "kernel/model/bytes.h"
#include "simlib/call_log.h"
#include "simlib/host_link.h"
#include "simlib/row_kernels.h"
#include "simlib/shapes.h"
#include "simlib/vpsimmod_abi.h"

namespace vpsim {

namespace {

constexpr uint32_t kNever = std::numeric_limits<uint32_t>::max();

template <class T>
void Release(std::vector<T>& v)
{
    std::vector<T>().swap(v);
}

bool ValidCarrier(const CarrierMove& m)
{
    return m.rail >= 1 && m.rail <= 8 && m.carrier >= 1 && m.carrier <= 8;
}

// The shapes of 'm', 'f' and 'g': stitches of the second density.
bool SecondDensity(uint8_t shape)
{
    return shape == kShapeKnit2 || shape == kShapeTuck2 || shape == kShapeG2;
}

std::string Quoted(const std::string& text)
{
    return QuoteText(text);
}

std::string Num(long v)
{
    return std::to_string(v);
}

}  // namespace

void SimRun::init(InitData data)
{
    // Shapes stay published until P_DllSpeicherFrei: they do not depend on
    // the run.
    uint32_t keepShapes = shapesHandle_;
    std::vector<uint8_t> keptShapes;
    keptShapes.swap(shapes_);
    shapesHandle_ = 0;
    release();
    shapes_.swap(keptShapes);
    shapesHandle_ = keepShapes;

    init_ = std::move(data);
    width_ = init_.needleStart;
    active_ = true;
    for (int b = 0; b < 2; ++b) {
        actions_[b].assign(width_, 0);
        dynamic_[b].assign(width_, 0);
        firstLine_[b].assign(width_, kNever);
        everActed_[b].assign(width_, kThirdNone);
        lastGrowth_[b] = -1;
    }
    rowShape_.assign(width_, 0);
    rowColour_.assign(width_, 0);
    rowThird_.assign(width_, kThirdNone);
    if (init_.exportMode)
        wandel_.open(init_.wandelPath, initLine());
}

void SimRun::release()
{
    withdrawRow();
    Host().withdraw(commentHandle_);
    Host().withdraw(shapesHandle_);
    active_ = false;
    init_ = InitData{};
    width_ = 0;
    open_ = false;
    head_ = NewLine{};
    for (int b = 0; b < 2; ++b) {
        Release(actions_[b]);
        Release(dynamic_[b]);
        Release(firstLine_[b]);
        Release(everActed_[b]);
        lastGrowth_[b] = -1;
        hasDynamic_[b] = false;
    }
    Release(moves_);
    Release(lines_);
    Release(shapePool_);
    Release(densityPool_);
    Release(movePool_);
    std::string().swap(labelPool_);
    std::memset(carrierEnd_, 0, sizeof carrierEnd_);
    ids_.fill(CarrierId{});
    strokes_ = 0;
    ffOn_ = 0;
    jacquardView_ = jacquardSide_ = 0;
    ffBar_ = 0;
    Release(rowShape_);
    Release(rowColour_);
    Release(rowThird_);
    std::string().swap(comment_);
    Release(shapes_);
    wandel_.discard();
    ended_.reset();
}

void SimRun::withdrawRow()
{
    for (auto& h : rowHandles_)
        Host().withdraw(h);
}

void SimRun::addNZeile(uint16_t needles, uint16_t wLine, uint16_t value, const std::string& comment)
{
    if (active_ && init_.exportMode)
        wandel_.add("N " + Num(needles) + " " + Num(wLine) + " " + Num(value) + " " + Quoted(comment));
}

void SimRun::nListeEnde()
{
    if (active_ && init_.exportMode)
        wandel_.add("NE");
}

void SimRun::beginnWs(uint8_t notNested, uint16_t wLine, uint16_t value, const std::string& comment)
{
    if (active_ && init_.exportMode)
        wandel_.add("WS " + Num(notNested) + " " + Num(wLine) + " " + Num(value) + " " + Quoted(comment));
}

void SimRun::endeWs(uint8_t notNested)
{
    if (active_ && init_.exportMode)
        wandel_.add("WE " + Num(notNested));
}

void SimRun::addNeueZeile(const NewLine& line)
{
    if (!active_)
        return;
    if (open_)
        closeLine();
    head_ = line;
    open_ = true;
    for (int b = 0; b < 2; ++b) {
        std::fill(actions_[b].begin(), actions_[b].end(), 0);
        hasDynamic_[b] = false;
    }
    moves_.clear();
    if (line.strokeStart == 1)
        ++strokes_;
    if (init_.exportMode) {
        std::string s = "L ";
        s += line.direction ? line.direction : '?';
        for (long v : {long(line.system), long(line.racking), long(line.strokeStart), long(line.round),
                       long(line.newRacking), long(line.codeZero), long(line.speed), long(line.marker)})
            s += " " + Num(v);
        for (uint16_t d : line.density)
            s += " " + Num(d);
        for (const auto& t : line.densityText)
            s += " " + Quoted(t);
        s += " " + Quoted(line.comb);
        for (long v : {long(line.combValue), long(line.combBits), long(line.message), long(line.repeat),
                       long(line.mainPass)})
            s += " " + Num(v);
        s += " " + Quoted(line.takeDown) + " " + Quoted(line.label);
        wandel_.add(s);
    }
}

void SimRun::addSelektion(const uint8_t* front, const uint8_t* back, uint16_t centre)
{
    if (!active_)
        return;
    const uint8_t* arrays[2] = {front, back};
    if (open_ && width_ > 0) {
        for (int b = 0; b < 2; ++b) {
            if (arrays[b])
                std::memcpy(actions_[b].data(), arrays[b], width_);
            else
                std::fill(actions_[b].begin(), actions_[b].end(), 0);
        }
    }
    if (init_.exportMode) {
        std::string s = "S " + Num(centre);
        for (int b = 0; b < 2; ++b) {
            s += ' ';
            size_t at = s.size();
            s.resize(at + width_);
            for (uint16_t i = 0; i < width_; ++i)
                s[at + i] = Wandel::ActionChar(arrays[b] ? arrays[b][i] : 0);
        }
        wandel_.add(s);
    }
}

void SimRun::addFsDynamisch(uint8_t side, const uint8_t* densities)
{
    if (!active_ || side > 1)
        return;
    if (open_) {
        for (uint16_t i = 0; i < width_; ++i)
            dynamic_[side][i] = densities ? get_u16(densities, 2u * i) : 0;
        hasDynamic_[side] = true;
    }
    if (init_.exportMode) {
        std::string s = "D " + Num(side) + " ";
        for (uint16_t i = 0; i < width_; ++i) {
            if (i)
                s += ',';
            s += Num(densities ? get_u16(densities, 2u * i) : 0);
        }
        wandel_.add(s);
    }
}

void SimRun::addFf(const CarrierMove& move)
{
    if (!active_)
        return;
    if (open_)
        moves_.push_back(move);
    if (ValidCarrier(move)) {
        carrierEnd_[move.rail - 1][move.carrier - 1] =
            static_cast<uint16_t>(std::clamp<int>(move.end, 0, std::numeric_limits<uint16_t>::max()));
        ids_[move.id] = CarrierId{move.rail, move.carrier};
    }
    if (init_.exportMode) {
        std::string s = "F";
        for (long v : {long(move.rail), long(move.carrier), long(move.id), long(move.start), long(move.end),
                       long(move.mode1), long(move.mode2), long(move.type)})
            s += " " + Num(v);
        wandel_.add(s);
    }
}

void SimRun::ffEndPosChg(uint16_t id, uint16_t end, uint8_t side)
{
    if (!active_)
        return;
    if (id < ids_.size() && ids_[id].rail != 0)
        carrierEnd_[ids_[id].rail - 1][ids_[id].carrier - 1] = end;
    if (init_.exportMode)
        wandel_.add("P " + Num(id) + " " + Num(end) + " " + Num(side));
}

void SimRun::zeileFertig()
{
    if (active_ && open_)
        closeLine();
}

void SimRun::closeLine()
{
    open_ = false;
    if (init_.simulation)
        storeLine();
}

void SimRun::storeLine()
{
    Line line;
    line.system = head_.system;
    line.racking = head_.racking;
    line.density = head_.density;
    const auto index = static_cast<uint32_t>(lines_.size());
    for (int b = 0; b < 2; ++b) {
        // Raw pointers: byte stores would otherwise make the compiler reload
        // every vector's address in the loops.
        const uint8_t* a = actions_[b].data();
        const size_t n = width_;
        size_t lo = 0;
        while (lo < n && a[lo] == 0)
            ++lo;
        if (lo == n)
            continue;
        size_t hi = n - 1;
        while (a[hi] == 0)
            --hi;
        Bed& bed = line.bed[b];
        bed.lo = static_cast<uint16_t>(lo + 1);
        bed.hi = static_cast<uint16_t>(hi + 1);
        bed.shapes = shapePool_.size();
        shapePool_.resize(shapePool_.size() + (hi - lo + 1));
        uint8_t* shapes = shapePool_.data() + bed.shapes;
        for (size_t i = lo; i <= hi; ++i)
            shapes[i - lo] = ShapeOfAction(a[i]);
        if (hasDynamic_[b]) {
            bed.densities = densityPool_.size();
            densityPool_.insert(densityPool_.end(), dynamic_[b].begin() + long(lo), dynamic_[b].begin() + long(hi) + 1);
        }
        uint32_t* first = firstLine_[b].data();
        int8_t* ever = everActed_[b].data();
        bool grew = false;
        for (size_t i = lo; i <= hi; ++i)
            if (a[i] != 0 && first[i] == kNever) {
                first[i] = index;
                ever[i] = kThirdOldYarn;
                grew = true;
            }
        if (grew)
            lastGrowth_[b] = index;
    }
    const std::string& label = head_.label;
    line.labelOffset = static_cast<uint32_t>(labelPool_.size());
    line.labelLength = static_cast<uint16_t>(std::min<size_t>(label.size(), 65535));
    labelPool_.append(label, 0, line.labelLength);
    line.moveOffset = static_cast<uint32_t>(movePool_.size());
    line.moveCount = static_cast<uint16_t>(std::min<size_t>(moves_.size(), 65535));
    movePool_.insert(movePool_.end(), moves_.begin(), moves_.begin() + line.moveCount);
    lines_.push_back(line);
}

void SimRun::showJacquard(uint8_t view, uint8_t side)
{
    jacquardView_ = view;
    jacquardSide_ = side;
}

uint16_t SimRun::height() const
{
    if (!active_ || !init_.simulation)
        return 0;
    size_t rows = 2 * lines_.size() + (ffOn_ ? 8 : 0);
    return static_cast<uint16_t>(std::min<size_t>(rows, 65535));
}

uint8_t SimRun::shapeAt(const Line& line, int bed, uint16_t needle) const
{
    const Bed& b = line.bed[bed];
    if (b.lo == 0 || needle < b.lo || needle > b.hi)
        return 0;
    return shapePool_[b.shapes + (needle - b.lo)];
}

uint16_t SimRun::densityAt(const Line& line, int bed, uint16_t needle) const
{
    const Bed& b = line.bed[bed];
    if (b.densities != SIZE_MAX) {
        if (b.lo == 0 || needle < b.lo || needle > b.hi)
            return 0;
        return densityPool_[b.densities + (needle - b.lo)];
    }
    return line.density[2 * bed + (SecondDensity(shapeAt(line, bed, needle)) ? 1 : 0)];
}

RowResult SimRun::simInfo(uint16_t row, uint16_t cellWidth, bool densityHidden)
{
    withdrawRow();
    RowResult r;
    if (!active_ || !init_.simulation || row == 0 || row > height() || width_ == 0)
        return r;
    std::memset(rowShape_.data(), 0, width_);
    std::memset(rowColour_.data(), 0, width_);
    const size_t fabricRows = 2 * lines_.size();
    if (row <= fabricRows) {
        const uint32_t index = (row - 1u) / 2;
        const int bed = static_cast<int>((row - 1u) % 2);
        const Line& line = lines_[index];
        const Bed& b = line.bed[bed];
        // -2 where the bed acted in an earlier line; the row's own stitches
        // are put back to -1 below.
        // Once the bed's set of needles that ever acted has stopped growing,
        // every later line sees all of it: a copy instead of a compare.
        if (lastGrowth_[bed] < int64_t(index))
            std::memcpy(rowThird_.data(), everActed_[bed].data(), width_);
        else
            MarkEarlierLines(rowThird_.data(), firstLine_[bed].data(), width_, index);
        if (b.lo != 0) {
            const uint8_t* shapes = shapePool_.data() + b.shapes;
            const size_t n = size_t(b.hi - b.lo + 1);
            std::memcpy(rowShape_.data() + b.lo - 1, shapes, n);
            ClearActing(rowThird_.data() + b.lo - 1, shapes, n);
        }
        // Later moves first, so that the line's first move covering a
        // needle has the last word.
        for (int m = line.moveCount - 1; m >= 0; --m) {
            const CarrierMove& mv = movePool_[line.moveOffset + m];
            if (!ValidCarrier(mv))
                continue;
            int from = std::max(1, std::min<int>(mv.start, mv.end));
            int to = std::min<int>(width_, std::max<int>(mv.start, mv.end));
            if (from > to)
                continue;
            const uint8_t c = CarrierColour(mv.rail, mv.carrier);
            std::memset(rowColour_.data() + from - 1, c, size_t(to - from + 1));
            std::memset(rowThird_.data() + from - 1, static_cast<int>(c), size_t(to - from + 1));
        }
        if (!densityHidden && b.lo != 0) {
            for (uint16_t n = b.lo; n <= b.hi; ++n)
                if (rowShape_[n - 1] != 0)
                    rowColour_[n - 1] = static_cast<uint8_t>(210 + std::min(25, densityAt(line, bed, n) / 100));
        }
        r.xOffset = bed ? static_cast<uint8_t>(std::min(255, cellWidth / 2)) : 0;
    } else {
        std::memset(rowThird_.data(), static_cast<uint8_t>(kThirdNone), width_);
        const int rail = static_cast<int>(row - fabricRows);
        for (int c = 1; c <= 8; ++c) {
            uint16_t end = carrierEnd_[rail - 1][c - 1];
            if (end >= 1 && end <= width_)
                rowThird_[end - 1] = static_cast<int8_t>(CarrierColour(rail, c));
        }
    }
    rowHandles_[0] = Host().publish(rowShape_.data());
    rowHandles_[1] = Host().publish(rowColour_.data());
    rowHandles_[2] = Host().publish(rowThird_.data());
    r.shape = rowHandles_[0];
    r.colour = rowHandles_[1];
    r.third = rowHandles_[2];
    return r;
}

uint8_t SimRun::CarrierOfCell(uint8_t cell)
{
    return (cell >= 32 && cell <= 95) ? static_cast<uint8_t>(cell - 31) : 0;
}

ExtrasResult SimRun::extras(uint16_t row, uint16_t column, uint8_t cell) const
{
    ExtrasResult e;
    if (!active_ || !init_.simulation)
        return e;
    e.carrier = CarrierOfCell(cell);
    if (row == 0 || row > 2 * lines_.size())
        return e;
    const Line& line = lines_[(row - 1u) / 2];
    const int bed = static_cast<int>((row - 1u) % 2);
    e.system = line.system;
    e.racking = static_cast<uint8_t>(line.racking);
    if (column >= 1 && column <= width_)
        e.density = densityAt(line, bed, column);
    return e;
}

uint32_t SimRun::comment(uint16_t row)
{
    Host().withdraw(commentHandle_);
    if (!active_)
        return 0;
    comment_.clear();
    if (init_.simulation && row >= 1 && row <= 2 * lines_.size()) {
        const Line& line = lines_[(row - 1u) / 2];
        comment_.assign(labelPool_, line.labelOffset, line.labelLength);
    }
    commentHandle_ = Host().publish(comment_.c_str());
    return commentHandle_;
}

uint32_t SimRun::shapes()
{
    if (!active_)
        return 0;
    if (shapes_.empty())
        shapes_ = BuildShapeTables();
    if (shapesHandle_ == 0)
        shapesHandle_ = Host().publish(shapes_.data());
    return shapesHandle_;
}

std::string SimRun::initLine() const
{
    std::string s = "INIT";
    for (long v : {long(init_.needleStart), long(init_.takeDown), long(init_.margin), long(init_.systems),
                   long(init_.ffTypTrans), long(init_.gaugeChange), long(init_.mmGauge)})
        s += " " + Num(v);
    s += " " + Quoted(init_.machine) + " " + Quoted(init_.target) + " " + Quoted(init_.comment);
    return s;
}

void SimRun::translateAndReport(const char* text)
{
    const char* out = text;
    if (auto translate = reinterpret_cast<TranslateProc>(Host().resolve(init_.callbacks.translate))) {
        translate(&out);
        if (!out)
            out = "";
        if (Log().on())
            Log().writeLine("CB translate " + QuoteText(text) + " " +
                            QuoteText(std::string_view(out, ::strnlen(out, HostLink::kTextCap))));
    }
    std::string message(out, ::strnlen(out, HostLink::kTextCap));
    if (auto report = reinterpret_cast<MessageProc>(Host().resolve(init_.callbacks.message))) {
        report(Host().resolve(init_.callbacks.object), message.c_str());
        if (Log().on())
            Log().writeLine("CB message " + QuoteText(message));
    }
}

bool SimRun::infoEnde(bool cutShort)
{
    if (!active_ || !init_.exportMode)
        return false;
    // The file is finished once; asking again gives the same answer.
    if (ended_)
        return *ended_;
    if (cutShort) {
        // Only the strokes before the checker stopped: no file to hand on.
        wandel_.discard();
        ended_ = false;
        return false;
    }
    auto progress = [this](uint16_t maximum, uint16_t position) {
        if (auto p = reinterpret_cast<ProgressProc>(Host().resolve(init_.callbacks.progress))) {
            p(0, maximum, position);
            if (Log().on())
                Log().writeLine("CB progress 0 " + Num(maximum) + " " + Num(position));
        }
    };
    const bool written = wandel_.finish(strokes_, progress);
    if (!written)
        translateAndReport("Wandel.Sma kann nicht geschrieben werden!");
    ended_ = written && strokes_ > 0;
    return *ended_;
}

SimRun& Run()
{
    static SimRun run;
    return run;
}

}  // namespace vpsim
