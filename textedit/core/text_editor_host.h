#pragma once
// What the editor's commands ask of the window: the dialogs.
class TextEditorHost {
public:
    virtual ~TextEditorHost() = default;
    virtual void ShowFindDialog() = 0;
    virtual void ShowReplaceDialog() = 0;
    // Asks for a file and inserts it at the cursor.
    virtual void InsertFileAtCursor() = 0;
    // Asks for a file and writes the block into it.
    virtual void SaveSelectionAs() = 0;
};
