#pragma once
// The tools the machine knows, by number: the tool window button and mouse
// button that choose each, its hint (German phrase keys) and the button
// image it shows. Tools without an entry are not selectable yet.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "pattern/paint/cell_input.h"

class PaintTool;

struct ToolInfo {
    uint8_t tool = 0;
    std::string_view button;
    MouseButton mouse = MouseButton::Left;
    std::string hint;
    std::string hint2;  // appended to hint (tools 4 and 16)
    int glyph = -1;          // image of the tool window's list, or none
};

// Tool 24's hint names what its insert/delete code does.
std::string InsertDeleteHint(uint16_t code);

class ToolTable {
public:
    static constexpr uint8_t kMaxTool = 37;

    // Every tool of this build.
    ToolTable();
    ~ToolTable();

    const ToolInfo* Info(uint8_t tool) const;
    PaintTool* Tool(uint8_t tool) const;
    const ToolInfo* ByButton(std::string_view button, MouseButton mouse) const;
    // True when some tool is chosen by the button with the left mouse button.
    bool HasLeftTool(std::string_view button) const;
    // The tool window button that shows the tool as chosen (tools 1..31);
    // empty for none.
    static std::string_view ButtonOf(uint8_t tool);

private:
    void Register(const ToolInfo& info, std::shared_ptr<PaintTool> tool);

    std::array<ToolInfo, kMaxTool + 1> info_{};
    std::array<std::shared_ptr<PaintTool>, kMaxTool + 1> tools_{};
};
