#pragma once
// Translation of whole windows through the phrase engine.
class QWidget;

// Translates the form's title (unless its "Tag" property is negative) and
// the texts and hints of the widgets and actions the form holds, each by its
// class; a component whose "Tag" is negative keeps its texts. Installs the
// key-name translator on first use.
void TranslateForm(QWidget* form);

// Makes the key names of menu short-cuts ("Ctrl", "Del" ...) come out as the
// translations of their German names. Idempotent; needs a QCoreApplication.
void InstallKeyNameTranslator();

// Puts the key-name translator (once installed) before every translator
// installed since, so that the phrase database names the keys even where
// Qt's own translation names them too.
void PutKeyNameTranslatorFirst();
