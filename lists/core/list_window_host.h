#pragma once
// What a list window's core asks of its window: measuring, focus, hiding,
// the shared dialogs, the blink timer, screens and the stored placement.
// The Qt window implements it; tests use a fake with a fixed-width measure.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ScreenArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct WindowPlace {
    int left = 0;
    int top = 0;
    int height = 0;
};

// A choice dialog placed at a cell.
struct ChoiceRequest {
    std::string choices;  // three "|"-ended fields per entry
    std::string mask;     // "0"/"1" per entry, or "FARBE" for symbol rows
    int preselected = -1;
    int row = 0;          // the cell the dialog opens at
    int column = 0;
};

// The command code each edit-menu pair calls, 0 for a pair without handler.
struct EditMenuBinding {
    int undo = 0, cut = 0, copy = 0, paste = 0, remove = 0, selectAll = 0, clearSelection = 0;
};

class ListWindowHost {
public:
    virtual ~ListWindowHost() = default;

    virtual int TextWidth(const std::string& text, int font) const = 0;
    virtual bool IsVisible() const = 0;
    virtual bool CellHasFocus(int row, int column) const = 0;
    // Gives the cell the focus; the window's focus events run the core's
    // enter and exit handling.
    virtual void FocusCell(int row, int column) = 0;
    virtual void HideWindow() = 0;
    // Makes the window the active one (after an Edit menu command).
    virtual void ActivateWindow() {}
    virtual void CloseWindow() = 0;
    virtual void CloseMainWindow() = 0;
    virtual void SetBlinking(bool on) = 0;
    virtual void ShowStatusHint(const std::string& hint) = 0;
    // The system's warning sound, for input that was refused.
    virtual void Beep() {}
    // Shows a message that ends the program (the caller exits).
    virtual void ShowFatalMessage(const std::string& text) = 0;
    virtual void ShowProgress(const std::string& label, int value) = 0;
    virtual void HideProgress() = 0;

    virtual std::optional<int> SelectEntry(const ChoiceRequest& request) = 0;
    virtual std::optional<uint32_t> SelectEntries(const ChoiceRequest& request) = 0;
    virtual std::optional<std::string> EditText(const std::string& text, int row, int column) = 0;

    // Every height a list window speaks of is its client's height, the one
    // the rows have (the background panel's): the frame a window manager
    // draws around it, whatever its size, comes on top and is never counted.
    // Left and top are the frame's outer corner, where the window manager
    // puts the window.
    virtual int ClientHeight() const = 0;
    virtual WindowPlace Place() const = 0;
    // A negative part keeps its current value.
    virtual void MoveWindow(const WindowPlace& place) = 0;
    virtual std::vector<ScreenArea> Screens() const = 0;
    // The number of the screen the window is on.
    virtual int ScreenOfWindow() const = 0;

    // Hands the edit menu's pairs to the window's commands. With hide, the
    // items no list window uses are hidden: before binding, or after
    // releasing them with release.
    virtual void ApplyEditBinding(const EditMenuBinding& binding, bool release, bool hide)
    {
        (void)binding, (void)release, (void)hide;
    }

    virtual std::string ReadPlacement(const std::string& key) const = 0;
    virtual void WritePlacement(const std::string& key, const std::string& value) = 0;
};
