#pragma once
// The mouse-button pictures that hint texts and status texts show in place
// of the markers "LT" and "RT" (each with its double quotes): picture 0 the
// left button, picture 1 the right button.
#include <QList>
#include <QPixmap>
#include <QString>

// The 4-character markers as they stand in a hint text.
inline const QString LeftButtonMarker = QStringLiteral("\"LT\"");
inline const QString RightButtonMarker = QStringLiteral("\"RT\"");

inline constexpr int MousePictureSize = 16;

// Our own pictures, drawn by code: a 16 x 16 mouse with the left (0) or the
// right (1) button dark.
QList<QPixmap> DefaultMousePictures();

// The main window hands over its image list; until then the defaults.
void SetHintMousePictures(const QList<QPixmap>& pictures);
const QList<QPixmap>& HintMousePictures();
// Picture index of that list; a null pixmap when the list lacks it.
QPixmap HintMousePicture(int index);
