#pragma once
// Window icons from an image list (the main window's menu images).
#include <QIcon>
#include <QList>
#include <QPixmap>

// "No icon" as the callers pass it.
inline constexpr int kNoIcon = 65535;

// The icon of the image at index; a null icon for kNoIcon or an index the
// list does not hold.
QIcon F_GetIcon(const QList<QPixmap>& images, int index);
