// JPEG decoding against djpeg, and damaged data.
#include <gtest/gtest.h>

#include "shell/jpeg_decode.h"
#include "tests/shell/start_picture_util.h"

TEST(DecodeJpeg, EqualsDjpeg)
{
    const QByteArray jpeg = StartJpegBytes();
    ASSERT_FALSE(jpeg.isEmpty());
    const QImage image = DecodeJpeg(jpeg);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.size(), QSize(480, 300));
    EXPECT_EQ(image, DjpegImage(jpeg));

    // A grey-scale picture comes out in RGB.
    std::string gray;
    WriteTestFile(TestHome() + "start.jpg", jpeg.toStdString());
    ASSERT_EQ(RunCommand("djpeg -pnm '" + TestHome() + "start.jpg' | cjpeg -grayscale", &gray), 0);
    const QByteArray grayJpeg = QByteArray::fromStdString(gray);
    const QImage grayImage = DecodeJpeg(grayJpeg);
    ASSERT_FALSE(grayImage.isNull());
    EXPECT_EQ(grayImage, DjpegImage(grayJpeg));
}

TEST(DecodeJpeg, DamagedDataGivesNothing)
{
    const QByteArray jpeg = StartJpegBytes();
    ASSERT_FALSE(jpeg.isEmpty());
    for (qsizetype length : {qsizetype(0), qsizetype(1), qsizetype(2), qsizetype(20), qsizetype(300),
                             jpeg.size() / 2, jpeg.size() - 2})
        EXPECT_TRUE(DecodeJpeg(jpeg.left(length)).isNull()) << length;
    EXPECT_TRUE(DecodeJpeg("not a picture at all").isNull());
    QByteArray noStart = jpeg;
    noStart[1] = 0;
    EXPECT_TRUE(DecodeJpeg(noStart).isNull());
    // A picture 65535 x 65535 in its header.
    QByteArray huge = jpeg;
    const qsizetype sof = huge.indexOf(QByteArray("\xff\xc0", 2));
    ASSERT_GT(sof, 0);
    huge[sof + 5] = huge[sof + 6] = huge[sof + 7] = huge[sof + 8] = char(0xff);
    EXPECT_TRUE(DecodeJpeg(huge).isNull());
}

// Bytes changed anywhere: a picture of the right size or nothing, never a
// crash (the sanitizer build watches).
TEST(DecodeJpeg, CorruptBytesNeverCrash)
{
    const QByteArray jpeg = StartJpegBytes();
    ASSERT_FALSE(jpeg.isEmpty());
    for (qsizetype at = 2; at < jpeg.size(); at += jpeg.size() / 97) {
        QByteArray damaged = jpeg;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x5a);
        const QImage image = DecodeJpeg(damaged);
        if (!image.isNull()) {
            EXPECT_EQ(image.size(), QSize(480, 300));
        }
    }
}
