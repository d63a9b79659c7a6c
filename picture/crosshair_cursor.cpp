#include "picture/crosshair_cursor.h"

const QCursor& LoadCrosshairCursor()
{
    static const QCursor cursor(Qt::CrossCursor);
    return cursor;
}
