#pragma once
// JPEG pictures decoded with libjpeg.
#include <QByteArray>
#include <QImage>

// The picture in Format_RGB32; a null image for data that is not a
// complete, sound JPEG (a truncated or corrupt file shows nothing rather
// than a half-grey picture).
QImage DecodeJpeg(const QByteArray& bytes);
