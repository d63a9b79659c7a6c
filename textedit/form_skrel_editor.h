#pragma once
// The one script editor: bound to the working copy "Script.Skx" in the
// temporary folder, saved every 3 seconds and whenever it loses the focus,
// with the script's syntax colours.
#include "textedit/form_text_edit_skrel.h"

class TFormSkrelEditor : public TFormTextEditSkrel {
    Q_OBJECT
public:
    explicit TFormSkrelEditor(QWidget* parent = nullptr);
    ~TFormSkrelEditor() override;
};

// Null until the editor is first needed; it lives until the main window goes.
extern TFormSkrelEditor* FormSkrelEditor;

// Makes the editor when there is none (hidden); with show, gives it the
// icon of the main window's image list at icon and brings it to the front.
void P_ShowSkrelEditor(int icon, bool show);
