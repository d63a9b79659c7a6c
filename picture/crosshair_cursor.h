#pragma once
// The crosshair cursor that every pane of every picture window shows.
#include <QCursor>

const QCursor& LoadCrosshairCursor();
