#pragma once
// Translation of whole windows through the phrase engine.
class QString;
class QWidget;

// Translates the form's title (unless its "Tag" property is negative) and
// the texts and hints of the widgets and actions the form holds, each by its
// class; a component whose "Tag" is negative keeps its texts. Installs the
// key-name translator on first use.
void TranslateForm(QWidget* form);

// Sets a hint given in German as the widget's hint: through the hint
// translation, the tooltip its lines (mouse markers kept for the hint window)
// and the status tip its one-line form. An empty hint clears both.
void SetTranslatedHint(QWidget* widget, const QString& hint);

// Makes the key names of menu short-cuts ("Ctrl", "Del" ...) come out as the
// translations of their German names. Idempotent; needs a QCoreApplication.
void InstallKeyNameTranslator();

// Puts the key-name translator (once installed) before every translator
// installed since, so that the phrase database names the keys even where
// Qt's own translation names them too.
void PutKeyNameTranslatorFirst();
