#pragma once
// One run of the library: the lines fed by the checker, the fabric rows built
// from them, the carriers and what the windows ask back (rules: vpsimmod.h).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "simlib/vpsimmod_abi.h"
#include "simlib/wandel.h"

namespace vpsim {

struct InitData {
    uint16_t needleStart = 0;
    uint16_t takeDown = 0;
    uint16_t margin = 0;
    uint8_t simulation = 0;
    uint8_t exportMode = 0;
    uint8_t systems = 0;
    uint8_t ffTypTrans = 0;
    uint8_t gaugeChange = 0;
    uint16_t mmGauge = 0;
    std::string machine;
    std::string target;
    std::string comment;
    std::string wandelPath;
    CallbackHandles callbacks;
};

struct NewLine {
    char direction = 0;
    uint8_t system = 0;
    int8_t racking = 0;
    uint8_t strokeStart = 0;
    uint8_t round = 0;
    int8_t newRacking = 0;
    uint8_t codeZero = 0;
    uint16_t speed = 0;
    uint8_t marker = 0;
    std::array<uint16_t, 4> density{};
    std::array<std::string, 4> densityText;
    std::string comb;
    uint16_t combValue = 0;
    uint32_t combBits = 0;
    uint8_t message = 0;
    uint8_t repeat = 0;
    uint8_t mainPass = 0;
    std::string takeDown;
    std::string label;
};

// What P_DllGetSimInfo hands back.
struct RowResult {
    uint32_t shape = 0;
    uint32_t colour = 0;
    uint32_t third = 0;
    uint8_t background = 0;
    uint8_t xOffset = 0;
};

class SimRun {
public:
    bool active() const { return active_; }
    uint16_t width() const { return width_; }

    void init(InitData data);
    // Drops everything and withdraws what was published.
    void release();

    void addNZeile(uint16_t needles, uint16_t wLine, uint16_t value, const std::string& comment);
    void nListeEnde();
    void beginnWs(uint8_t notNested, uint16_t wLine, uint16_t value, const std::string& comment);
    void endeWs(uint8_t notNested);
    void addNeueZeile(const NewLine& line);
    // Arrays of width() entries, nullptr when the handle named nothing.
    void addSelektion(const uint8_t* front, const uint8_t* back, uint16_t centre);
    void addFsDynamisch(uint8_t side, const uint8_t* densities);
    void addFf(const CarrierMove& move);
    void ffEndPosChg(uint16_t id, uint16_t end, uint8_t side);
    void ffEinAus(uint8_t on) { ffOn_ = on; }
    void zeileFertig();
    void showJacquard(uint8_t view, uint8_t side);
    void setFfBar(uint16_t position) { ffBar_ = position; }

    // Export mode finishes "Wandel.Sma"; the flag tells whether a usable
    // file came out. A run cut short leaves no file.
    bool infoEnde(bool cutShort);
    uint32_t strokes() const { return strokes_; }
    uint16_t height() const;
    RowResult simInfo(uint16_t row, uint16_t cellWidth, bool densityHidden);
    ExtrasResult extras(uint16_t row, uint16_t column, uint8_t cell) const;
    uint32_t comment(uint16_t row);
    uint32_t shapes();

    static uint8_t CarrierOfCell(uint8_t cell);

private:
    struct Bed {
        uint16_t lo = 0;  // first acting needle, 0: none
        uint16_t hi = 0;
        size_t shapes = 0;  // the span's shapes in shapePool_
        size_t densities = SIZE_MAX;  // SIZE_MAX: no dynamic density
    };
    struct Line {
        uint8_t system = 0;
        int8_t racking = 0;
        std::array<uint16_t, 4> density{};
        uint32_t labelOffset = 0;
        uint16_t labelLength = 0;
        uint32_t moveOffset = 0;
        uint16_t moveCount = 0;
        std::array<Bed, 2> bed;
    };

    void closeLine();
    void storeLine();
    void withdrawRow();
    uint16_t densityAt(const Line& line, int bed, uint16_t needle) const;
    uint8_t shapeAt(const Line& line, int bed, uint16_t needle) const;
    std::string initLine() const;
    void translateAndReport(const char* text);

    bool active_ = false;
    InitData init_;
    uint16_t width_ = 0;

    bool open_ = false;
    NewLine head_;
    std::array<std::vector<uint8_t>, 2> actions_;
    std::array<std::vector<uint16_t>, 2> dynamic_;
    std::array<bool, 2> hasDynamic_{};
    std::vector<CarrierMove> moves_;

    std::vector<Line> lines_;
    std::vector<uint8_t> shapePool_;
    std::vector<uint16_t> densityPool_;
    std::vector<CarrierMove> movePool_;
    std::string labelPool_;
    // Per bed: the first line in which each needle acted, the needles that
    // ever acted (-2, else -1) and the last line that added one.
    std::array<std::vector<uint32_t>, 2> firstLine_;
    std::array<std::vector<int8_t>, 2> everActed_;
    std::array<int64_t, 2> lastGrowth_{-1, -1};

    uint16_t carrierEnd_[8][8] = {};
    struct CarrierId {
        uint8_t rail = 0;
        uint8_t carrier = 0;
    };
    std::array<CarrierId, 256> ids_{};

    uint32_t strokes_ = 0;
    uint8_t ffOn_ = 0;
    uint8_t jacquardView_ = 0;
    uint8_t jacquardSide_ = 0;
    uint16_t ffBar_ = 0;

    std::vector<uint8_t> rowShape_;
    std::vector<uint8_t> rowColour_;
    std::vector<int8_t> rowThird_;
    uint32_t rowHandles_[3] = {};
    std::string comment_;
    uint32_t commentHandle_ = 0;
    std::vector<uint8_t> shapes_;
    uint32_t shapesHandle_ = 0;

    Wandel wandel_;
    // What the end of the export answered, once it has run.
    std::optional<bool> ended_;
};

SimRun& Run();

}  // namespace vpsim
