#pragma once
// The start picture's bytes and djpeg's decoding of them, for comparison.
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <string>

#include "tests/support/test_env.h"

// Makes the shell's resources known (the macro stays outside namespaces).
inline QByteArray StartJpegBytes()
{
    Q_INIT_RESOURCE(shell);
    QFile file(":/shell/start.jpg");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// djpeg -pnm of the bytes (a P6 or P5 file) as an RGB32 image; null when
// djpeg fails.
inline QImage DjpegImage(const QByteArray& jpeg)
{
    const std::string in = WriteTestFile(TestHome() + "picture.jpg", jpeg.toStdString());
    std::string pnm;
    if (RunCommand("djpeg -pnm '" + in + "'", &pnm) != 0)
        return {};
    // Header: magic, width, height, maxval, each followed by one white space.
    size_t pos = 0;
    std::string fields[4];
    for (auto& f : fields) {
        while (pos < pnm.size() && isspace(static_cast<unsigned char>(pnm[pos])))
            ++pos;
        while (pos < pnm.size() && !isspace(static_cast<unsigned char>(pnm[pos])))
            f += pnm[pos++];
    }
    ++pos;
    const bool colour = fields[0] == "P6";
    const int width = std::stoi(fields[1]);
    const int height = std::stoi(fields[2]);
    const int channels = colour ? 3 : 1;
    if (pnm.size() - pos != static_cast<size_t>(width) * height * channels)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    const auto* data = reinterpret_cast<const unsigned char*>(pnm.data() + pos);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = data + (static_cast<size_t>(y) * width + x) * channels;
            image.setPixel(x, y, colour ? qRgb(p[0], p[1], p[2]) : qRgb(p[0], p[0], p[0]));
        }
    return image;
}
