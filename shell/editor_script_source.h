#pragma once
// The script editor as the compile driver's script: the text is the
// editor's, made hidden when first needed.
#include "shell/script_source.h"

class EditorScriptSource : public ScriptSource {
public:
    void ensure() override;
    bool loadFile(const std::string& path) override;
    // "" without an editor.
    std::string text() const override;
    bool saveAs(const std::string& path) const override;
    // Empties the editor's text when there is an editor.
    void clear() override;
    // Only when the editor exists; line and column are clamped to the text.
    void setCursor(int line, int column) override;
};
