#pragma once
// Where the compile driver finds the script: the script editor's text. Until
// the editor stands behind it, a plain holder keeps the text in memory.
#include <memory>
#include <string>

class ScriptSource {
public:
    virtual ~ScriptSource() = default;
    // Makes sure the holder of the text exists (the editor window, hidden).
    virtual void ensure() = 0;
    // Replaces the text by the file's bytes; false when it cannot be read.
    virtual bool loadFile(const std::string& path) = 0;
    // The whole text as stored (Windows-1252 bytes).
    virtual std::string text() const = 0;
    // Writes the text to path as it stands; false when it cannot be written.
    virtual bool saveAs(const std::string& path) const = 0;
    virtual void clear() = 0;
    // Places the cursor (a compile error's line and column).
    virtual void setCursor(int line, int column) = 0;
};

class PlainScriptSource : public ScriptSource {
public:
    void ensure() override {}
    bool loadFile(const std::string& path) override;
    std::string text() const override { return text_; }
    bool saveAs(const std::string& path) const override;
    void clear() override { text_.clear(); }
    void setCursor(int line, int column) override
    {
        line_ = line;
        column_ = column;
    }
    int line() const { return line_; }
    int column() const { return column_; }

private:
    std::string text_;
    int line_ = 0;
    int column_ = 0;
};

// The program's script source (a PlainScriptSource until another is set).
ScriptSource& TheScriptSource();
// Installs another source (the script editor); nullptr goes back to the plain one.
void SetScriptSource(std::unique_ptr<ScriptSource> source);
