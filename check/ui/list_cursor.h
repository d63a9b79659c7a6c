#pragma once
// The checker windows show where the walk or the pointed cell stands in the
// open list windows ("Z_Liste", "S_Liste"); a list window that is not open
// is left alone.
#include <QString>
#include <functional>

void MoveListCursor(const QString& form, int line, int field);

// Sees every request, open window or not (tests record them).
using ListCursorRecorder = std::function<void(const QString& form, int line, int field)>;
void SetListCursorRecorder(ListCursorRecorder recorder);
