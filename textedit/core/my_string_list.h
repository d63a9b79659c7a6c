#pragma once
// The line store behind every text view: a list of Windows-1252 lines that is
// never empty, keeps a Modified flag with its own notice, and reports every
// structural change so that the view can lay itself out again.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class T_MyStringList {
public:
    // Starts with the placeholder line " " and Modified set.
    T_MyStringList();

    int Count() const { return static_cast<int>(lines_.size()); }
    // The line at index (0..Count - 1; anything else throws std::out_of_range).
    const std::string& Get(int index) const { return lines_.at(static_cast<size_t>(index)); }
    const std::vector<std::string>& Lines() const { return lines_; }

    // Stores text without its trailing control characters and blanks when it
    // differs from the stored line so trimmed. An index outside the list is ignored.
    void Put(int index, const std::string& text);
    // Appends text unchanged, first dropping a blank first line. Returns its index.
    int Add(const std::string& text);
    // Leaves the placeholder line alone.
    void Clear();
    // Removes a line; the placeholder comes back when the list would be empty.
    void Delete(int index);
    // Removes count lines from index on, with one change notice.
    void DeleteLines(int index, int count);
    void Insert(int index, const std::string& text);
    // Inserts lines[from..] at once (a paste), with one change notice.
    void InsertLines(int index, std::vector<std::string> lines, size_t from = 0);
    // Lets fill append about expected lines at the end of the list, then moves
    // them in front of line index: a paste builds its lines in place, without a
    // second table of them. One change notice when fill added any.
    void InsertLinesBy(int index, size_t expected, const std::function<void(std::vector<std::string>&)>& fill);

    // The largest text file read: far more lines than a window scrolls
    // through, far less than the memory of a small machine.
    static constexpr uint64_t kMaxTextFileBytes = uint64_t{64} << 20;

    // Reads the whole file (lines end at CR LF, lone CR or lone LF). Returns 0,
    // or the disk error code with the list left as it was (a pipe, device or
    // folder is no file, a file above kMaxTextFileBytes is not read).
    int LoadFromFile(const std::string& fileName);
    // Every line followed by CR LF, written through a temporary file. Returns 0,
    // or the disk error code with the old file left in place.
    int SaveToFile(const std::string& fileName) const;
    // What SaveToFile writes.
    std::string Text() const;

    bool Modified() const { return modified_; }
    void SetModified(bool value);

    // The translated "Geändert" that views show while a text is modified
    // (UTF-8, translated when the first store is made).
    static const std::string& ModifiedText();

    bool DropBlankFirstLine = false;
    bool EventsEnabled = true;
    std::function<void()> OnTextChange;
    std::function<void(bool)> OnModifiedChange;

private:
    void TextChange();

    std::vector<std::string> lines_;
    bool modified_ = false;
};

// The text less its trailing characters below 33 (blanks and control codes).
std::string TrimRightControls(const std::string& text);
// True when the text holds nothing but characters below 33.
bool IsBlankLine(const std::string& text);
