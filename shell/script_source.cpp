#include "shell/script_source.h"

#include <utility>

#include "kernel/compiler/scriptfile.h"
#include "platform/safe_file.h"

namespace {
std::unique_ptr<ScriptSource>& Current()
{
    static std::unique_ptr<ScriptSource> source = std::make_unique<PlainScriptSource>();
    return source;
}
}  // namespace

bool PlainScriptSource::loadFile(const std::string& path)
{
    return ReadScriptFile(path, text_) == 0;
}

bool PlainScriptSource::saveAs(const std::string& path) const
{
    SafeFileWriter file;
    return file.Create(path) && file.Write(text_.data(), text_.size()) && file.Commit();
}

ScriptSource& TheScriptSource()
{
    return *Current();
}

void SetScriptSource(std::unique_ptr<ScriptSource> source)
{
    Current() = source ? std::move(source) : std::make_unique<PlainScriptSource>();
}
