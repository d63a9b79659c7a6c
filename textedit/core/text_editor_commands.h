#pragma once
// The editor's commands on top of the text view's core: the Edit menu's
// block commands, find and replace, the two-key commands and the block
// files. The window and text_probe drive the same object.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "textedit/core/edit_command_table.h"
#include "textedit/core/prefix_keys.h"
#include "textedit/core/text_edit_core.h"

class TextEditorHost;

struct TextPos {
    int32_t column;
    int32_t line;
};

// Upper case of a..z only: the editor's case rule for find and replace.
char UpperAZ(char c);
std::string UpperAZ(std::string text);
// Equal once both are upper-cased so.
bool SameUpper(std::string_view a, std::string_view b);

class TextEditorCommands {
public:
    TextEditorCommands(TextEditCore& core, TextEditorHost& host) : core_(core), host_(host) {}

    bool Block() const;
    EditCommandInput EditInput(bool clipboardText, bool disable) const;

    // --- Edit menu commands ---
    void Cut();
    void Copy();
    // The clipboard's text at the cursor as the active block; a block that
    // stands is not deleted first.
    void Paste();
    void Delete();
    // Line 0 column 1 up to behind the last non-blank of the last line.
    void SelectAll();
    void ClearSelection();

    // --- find and replace ---
    // Forward from the cursor; the hit becomes the block with the cursor at
    // its end. False (nothing changed) when the text is not found.
    bool FindNext(const std::string& find, bool matchCase);
    // Replaces the block when FindNext left it there for this text.
    bool ReplaceSelection(const std::string& find, const std::string& replace);
    // The block first, then every later hit; each search resumes behind the
    // replacement. The number of replacements.
    int ReplaceAll(const std::string& find, const std::string& replace, bool matchCase);

    // --- two-key commands ---
    // True when the key was a command (or a prefix) and is used up.
    bool ShortCut(int key, bool ctrl);
    bool ClaimsKey(int key, bool ctrl) const { return prefixes_.Claims(key, ctrl); }
    PrefixKeys& Prefixes() { return prefixes_; }

    // --- block files: 0 or a disk error code ---
    int SaveBlockToFile(const std::string& path);
    // The file's text (through filter when set) at the cursor as the block.
    int InsertFile(const std::string& path, const std::function<void(std::string&)>& filter);

private:
    // The block from (column, line) for length characters, cursor at its end.
    void SelectFound(int32_t column, int32_t line, int32_t length);
    bool FindFrom(const std::string& find, bool matchCase, int32_t column, int32_t line);
    // The next hit from at on; at becomes its start.
    bool FindPosition(const std::string& find, bool matchCase, TextPos& at) const;
    // The line's characters at..at + length become replace; the lines spilled below.
    int32_t ReplaceAt(TextPos at, size_t length, const std::string& replace);
    void SelectReplaced(TextPos at, size_t length, int32_t spilled);
    void CheckBlock();

    TextEditCore& core_;
    TextEditorHost& host_;
    PrefixKeys prefixes_;
};
