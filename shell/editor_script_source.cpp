#include "shell/editor_script_source.h"

#include "textedit/form_skrel_editor.h"

void EditorScriptSource::ensure()
{
    P_ShowSkrelEditor(0, false);
}

bool EditorScriptSource::loadFile(const std::string& path)
{
    ensure();
    return FormSkrelEditor->LoadText(path);
}

std::string EditorScriptSource::text() const
{
    return FormSkrelEditor ? FormSkrelEditor->Text() : std::string();
}

bool EditorScriptSource::saveAs(const std::string& path) const
{
    return FormSkrelEditor && FormSkrelEditor->SaveToFile(path) == 0;
}

void EditorScriptSource::clear()
{
    if (FormSkrelEditor)
        FormSkrelEditor->Lines().Clear();
}

void EditorScriptSource::setCursor(int line, int column)
{
    if (FormSkrelEditor)
        FormSkrelEditor->SetTextCursor(column, line);
}
