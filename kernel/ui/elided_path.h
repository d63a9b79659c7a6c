#pragma once
// Shortening a file path to the width of its field.
#include <QString>

class QFontMetrics;

// The path as it fits the width: whole when it fits; else shortened in the
// middle, keeping the drive or root ("C:\", "/") and as many of the last
// parts as fit, the file name always ("C:\…\ordner\X.SMA"). When not even
// that fits, the root goes too ("…\X.SMA"), and at last the file name itself
// is shortened in its middle. A text without a folder separator is shortened
// in its middle.
QString ElidedPath(const QString& path, const QFontMetrics& metrics, int width);
