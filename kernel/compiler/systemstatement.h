#pragma once
// A system statement of a module ("S1=>,Y+1,K[AB]"): carriage passes that
// start Z lines, row moves, pattern lines, carriers, and the sub-items that
// set cam, needle selection and stitch densities of one side.
#include <cstdint>
#include <string>
#include <string_view>

struct ModuleState;

class SystemStatement {
public:
    explicit SystemStatement(ModuleState& state) : m_(state) {}

    // System n (1..number of systems) with the statement's value; 0 or an
    // error code (the error fields of the work record are set where the
    // error needs a text of its own).
    int32_t Run(uint8_t n, const std::string& value);

private:
    int32_t CarriagePass(const std::string& item);
    int32_t PatternLines();
    int32_t Item(const std::string& item, std::string_view following);
    int32_t RowMove(const std::string& item);
    int32_t PatternValue(const std::string& text, bool front, bool back);
    int32_t SubItems(const std::string& item, std::string_view following);
    int32_t SetCamSetting(char letter);
    int32_t StitchDensity(std::string& s);
    int32_t ColourDensities(std::string& s);
    int32_t ApplyUnitDensity();

    ModuleState& m_;
};
