#pragma once
// The program's own pictures: the menu and window icons (ImageListMnuBild)
// and the two mouse-button pictures of the hints (ImageListMaus).
#include <QIcon>
#include <QList>
#include <QPixmap>

// Indices into ImageListMnuBild.
enum MnuBild : int {
    kBildNeu = 0,
    kBildOeffnen,
    kBildSpeichern,
    kBildSpeichernUnter,
    kBildRamLesen,
    kBildRamSchreiben,
    kBildBeenden,
    kBildRueckgaengig,
    kBildAusschneiden,
    kBildKopieren,
    kBildEinfuegen,
    kBildLoeschen,
    kBildSuchen,
    kBildErsetzen,
    kBildFFPosition,
    kBildNadeleinteilung,
    kBildStrickschema,
    kBildSchemaablauf,
    kBildFestigkeit,
    kBildWarenabzug,
    kBildVersatz,
    kBildWahlschalter,
    kBildNadelraum,
    kBildFadenfuehrer,
    kBildRuestblatt,
    kBildPatrone,
    kBildGTest,
    kBildPTest,
    kBildSkrelEditor,
    kBildCompiler,
    kBildExport,
    kBildMaschine,
    kBildEbene1 = 32,
    kBildEbene2 = 33,
    kBildSprache,
    kBildCount
};

// The pictures of ImageListMnuBild, 16 x 16, index as above.
const QList<QPixmap>& ImageListMnuBild();
// The sign a picture shows (a list's picture: the list's letter code).
QString MnuBildSign(int index);
QIcon MnuBildIcon(int index);
// Picture 0 the left, picture 1 the right mouse button, 16 x 16.
const QList<QPixmap>& ImageListMaus();
