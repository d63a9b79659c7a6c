#include "kernel/ui/icon.h"

QIcon F_GetIcon(const QList<QPixmap>& images, int index)
{
    if (index == kNoIcon || index < 0 || index >= images.size())
        return QIcon();
    return QIcon(images.at(index));
}
