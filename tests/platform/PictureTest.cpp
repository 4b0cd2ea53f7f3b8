#include "PictureBytes.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "platform/VexilPicture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
bool Near(QRgb aA, QRgb aB, int aTolerance)
{
    return std::abs(qRed(aA) - qRed(aB)) <= aTolerance && std::abs(qGreen(aA) - qGreen(aB)) <= aTolerance &&
           std::abs(qBlue(aA) - qBlue(aB)) <= aTolerance && std::abs(qAlpha(aA) - qAlpha(aB)) <= aTolerance;
}

// The colour in the middle of each quarter: top left, top right, bottom left, bottom right.
void ExpectQuarters(const QImage& aImage, int aTolerance, const char* aWhat)
{
    ASSERT_FALSE(aImage.isNull()) << aWhat;
    const int w = aImage.width();
    const int h = aImage.height();
    EXPECT_TRUE(Near(aImage.pixel(w / 4, h / 4), qRgb(255, 0, 0), aTolerance)) << aWhat;
    EXPECT_TRUE(Near(aImage.pixel(3 * w / 4, h / 4), qRgb(0, 255, 0), aTolerance)) << aWhat;
    EXPECT_TRUE(Near(aImage.pixel(w / 4, 3 * h / 4), qRgb(0, 0, 255), aTolerance)) << aWhat;
    EXPECT_TRUE(Near(aImage.pixel(3 * w / 4, 3 * h / 4), qRgb(255, 255, 255), aTolerance)) << aWhat;
}
}  // namespace

TEST(Picture, FormatsAreKnownByTypeSizeAndPixels)
{
    const QImage image = QuarterImage(40, 30);
    const struct
    {
        const char* Name;
        QByteArray Bytes;
        int32_t Type;
        int Tolerance;
    } cases[] = {
        {"png", QtPictureBytes(image, "PNG"), EPicPng, 0},
        {"bmp", QtPictureBytes(image, "BMP"), EPicBmp, 0},
        {"jpeg", QtPictureBytes(image, "JPEG"), EPicJpeg, 40},
        {"tiff", FreeImagePictureBytes(image, FIF_TIFF), EPicTiff, 0},
        {"gif", FreeImagePictureBytes(image, FIF_GIF), EPicGif, 8},
    };
    TempDir dir;
    for (const auto& c : cases)
    {
        ASSERT_FALSE(c.Bytes.isEmpty()) << c.Name;
        EXPECT_EQ(CVexilPicture::BytesType(c.Bytes), c.Type) << c.Name;
        const QString file = SetFileContent(dir.File(QStringLiteral("pic.") + QLatin1String(c.Name)), c.Bytes);
        EXPECT_EQ(CVexilPicture::FileType(file), c.Type) << c.Name;

        const std::optional<TPicSize> header = CVexilPicture::HeaderSize(c.Bytes);
        ASSERT_TRUE(header.has_value()) << c.Name;
        EXPECT_EQ(header->Width, 40) << c.Name;
        EXPECT_EQ(header->Height, 30) << c.Name;

        const CVexilPicture picture = CVexilPicture::Decode(c.Bytes);
        ASSERT_FALSE(picture.IsNull()) << c.Name;
        EXPECT_EQ(picture.Width(), 40) << c.Name;
        EXPECT_EQ(picture.Height(), 30) << c.Name;
        const QImage decoded = picture.ToImage();
        EXPECT_EQ(decoded.format(), QImage::Format_RGB32) << c.Name;
        ExpectQuarters(decoded, c.Tolerance, c.Name);
    }
}

TEST(Picture, PixelKindsConvertToImages)
{
    QImage alpha = QuarterImage(20, 20, QImage::Format_ARGB32);
    alpha.setPixel(0, 0, qRgba(0, 0, 0, 0));
    QImage palette = QuarterImage(20, 20).convertToFormat(QImage::Format_Indexed8);
    const struct
    {
        const char* Name;
        QByteArray Bytes;
        bool Alpha;
        bool Grey;
    } cases[] = {
        {"rgba png", QtPictureBytes(alpha, "PNG"), true, false},
        {"palette png", QtPictureBytes(palette, "PNG"), false, false},
        {"16-bit rgba png", QtPictureBytes(alpha.convertToFormat(QImage::Format_RGBA64), "PNG"), true, false},
        {"16-bit rgb png", QtPictureBytes(QuarterImage(20, 20, QImage::Format_RGBX64), "PNG"), false, false},
        {"grey png", QtPictureBytes(QuarterImage(20, 20, QImage::Format_Grayscale8), "PNG"), false, true},
        {"16-bit grey png", QtPictureBytes(QuarterImage(20, 20, QImage::Format_Grayscale16), "PNG"), false, true},
        {"1-bit png", QtPictureBytes(QuarterImage(20, 20, QImage::Format_Mono), "PNG"), false, true},
    };
    for (const auto& c : cases)
    {
        const QImage image = CVexilPicture::Decode(c.Bytes).ToImage();
        ASSERT_FALSE(image.isNull()) << c.Name;
        EXPECT_EQ(image.size(), QSize(20, 20)) << c.Name;
        EXPECT_EQ(image.hasAlphaChannel(), c.Alpha) << c.Name;
        if (c.Alpha)
        {
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << c.Name;
        }
        if (c.Grey)
        {
            // Grey levels keep their order: blue darkest, white lightest, both opaque.
            EXPECT_LT(qGray(image.pixel(5, 15)), qGray(image.pixel(15, 15))) << c.Name;
            EXPECT_EQ(qAlpha(image.pixel(5, 15)), 255) << c.Name;
        }
        else
        {
            ExpectQuarters(image.copy(1, 1, 19, 19).scaled(20, 20), 2, c.Name);
        }
    }
}

// Every pixel different, alpha never 0 (whose colour a file need not keep); the odd width
// pads the rows of 24-bit pictures.
QImage PatternImage()
{
    QImage image(37, 23, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 7, y * 11, (x * y) % 256, 1 + (x + y) * 4));
    return image;
}

TEST(Picture, EveryPixelOfTwentyFourAndThirtyTwoBitsComesOverExactly)
{
    const QImage pattern = PatternImage();
    const QImage opaque = pattern.convertToFormat(QImage::Format_RGB32);
    const struct
    {
        const char* Name;
        QByteArray Bytes;
        const QImage& Expected;
    } cases[] = {
        {"24-bit bmp", QtPictureBytes(opaque, "BMP"), opaque},
        {"24-bit png", QtPictureBytes(opaque, "PNG"), opaque},
        {"32-bit png with alpha", QtPictureBytes(pattern, "PNG"), pattern},
        {"32-bit tiff without alpha", FreeImagePictureBytes(opaque, FIF_TIFF), opaque},
    };
    for (const auto& c : cases)
    {
        const QImage image = CVexilPicture::Decode(c.Bytes).ToImage();
        ASSERT_EQ(image.size(), c.Expected.size()) << c.Name;
        EXPECT_EQ(image.format(), c.Expected.format()) << c.Name;
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                wrong += image.pixel(x, y) != c.Expected.pixel(x, y) ? 1 : 0;
        EXPECT_EQ(wrong, 0) << c.Name;
    }
}

TEST(Picture, AnImageOfItsOwnOfTheSameSizeAndFormatIsFilledInPlace)
{
    const CVexilPicture picture = CVexilPicture::Decode(QtPictureBytes(PatternImage(), "BMP"));
    const QImage expected = picture.ToImage();
    ASSERT_EQ(expected.format(), QImage::Format_RGB32);

    QImage buffer(expected.size(), QImage::Format_RGB32);
    buffer.fill(Qt::black);
    const uchar* pixels = buffer.constBits();
    const QImage filled = picture.ToImage(std::move(buffer));
    EXPECT_EQ(filled.constBits(), pixels);
    EXPECT_EQ(filled, expected);

    // Pixels another image shares, and images of another size or format, are left as they are.
    QImage shared(expected.size(), QImage::Format_RGB32);
    shared.fill(Qt::black);
    const QImage sharer = shared;
    const QImage others[] = {shared, QImage(36, 23, QImage::Format_RGB32), QImage(expected.size(), QImage::Format_ARGB32)};
    for (const QImage& other : others)
    {
        const QImage image = picture.ToImage(other);
        EXPECT_EQ(image, expected) << other.width() << " " << other.format();
        EXPECT_NE(image.constBits(), other.constBits()) << other.width() << " " << other.format();
    }
    EXPECT_EQ(sharer.pixel(3, 3), qRgb(0, 0, 0));
    EXPECT_EQ(shared, sharer);
}

TEST(Picture, JpegIsWrittenFromEveryDepth)
{
    QImage alpha = QuarterImage(30, 20, QImage::Format_ARGB32);
    alpha.fill(qRgba(0, 0, 0, 0));
    const struct
    {
        const char* Name;
        QByteArray Bytes;
        QRgb TopLeft;
    } cases[] = {
        // Transparent parts are laid over white.
        {"transparent png", QtPictureBytes(alpha, "PNG"), qRgb(255, 255, 255)},
        {"16-bit transparent png", QtPictureBytes(alpha.convertToFormat(QImage::Format_RGBA64), "PNG"), qRgb(255, 255, 255)},
        {"palette png", QtPictureBytes(QuarterImage(30, 20).convertToFormat(QImage::Format_Indexed8), "PNG"), qRgb(255, 0, 0)},
        {"1-bit png", QtPictureBytes(QuarterImage(30, 20, QImage::Format_Mono), "PNG"), qRgb(0, 0, 0)},
        {"16-bit grey png", QtPictureBytes(QuarterImage(30, 20, QImage::Format_Grayscale16), "PNG"), UINT32_MAX},
        {"rgb bmp", QtPictureBytes(QuarterImage(30, 20), "BMP"), qRgb(255, 0, 0)},
    };
    for (const auto& c : cases)
    {
        QByteArray jpeg;
        ASSERT_TRUE(CVexilPicture::Decode(c.Bytes).ToJpeg(jpeg)) << c.Name;
        EXPECT_EQ(CVexilPicture::BytesType(jpeg), EPicJpeg) << c.Name;
        const QImage back = CVexilPicture::Decode(jpeg).ToImage();
        ASSERT_EQ(back.size(), QSize(30, 20)) << c.Name;
        EXPECT_FALSE(back.hasAlphaChannel()) << c.Name;
        if (c.TopLeft != UINT32_MAX)
        {
            EXPECT_TRUE(Near(back.pixel(3, 3), c.TopLeft, 40)) << c.Name;
        }
    }
    QByteArray untouched("kept");
    EXPECT_FALSE(CVexilPicture().ToJpeg(untouched));
    EXPECT_EQ(untouched, QByteArray("kept"));
}

TEST(Picture, RescaleIsBicubicToTheGivenSize)
{
    const CVexilPicture picture = CVexilPicture::Decode(QtPictureBytes(QuarterImage(1000, 600), "PNG"));
    const CVexilPicture scaled = picture.Rescaled(200, 120);
    ASSERT_FALSE(scaled.IsNull());
    EXPECT_EQ(scaled.Width(), 200);
    EXPECT_EQ(scaled.Height(), 120);
    ExpectQuarters(scaled.ToImage(), 2, "scaled");
    // The original stays as it was.
    EXPECT_EQ(picture.Width(), 1000);
    EXPECT_TRUE(picture.Rescaled(0, 5).IsNull());
    EXPECT_TRUE(picture.Rescaled(5, 0).IsNull());
    EXPECT_TRUE(CVexilPicture().Rescaled(5, 5).IsNull());
}

TEST(Picture, LimitsAreCheckedBeforeDecoding)
{
    const struct
    {
        int32_t Width;
        int32_t Height;
        bool Within;
    } limits[] = {
        {1, 1, true},          {32767, 1, true},     {32768, 1, false},   {1, 32768, false},
        {10000, 10000, true},  {10000, 10001, false}, {0, 5, false},       {5, -1, false},
    };
    for (const auto& c : limits)
        EXPECT_EQ(CVexilPicture::WithinLimits({c.Width, c.Height}), c.Within) << c.Width << "x" << c.Height;

    // A header claiming 20000 x 20000 is read as such and never decoded.
    const QByteArray claim = PngClaiming(20000, 20000);
    EXPECT_EQ(CVexilPicture::BytesType(claim), EPicPng);
    const std::optional<TPicSize> header = CVexilPicture::HeaderSize(claim);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->Width, 20000);
    EXPECT_EQ(header->Height, 20000);
    EXPECT_TRUE(CVexilPicture::Decode(claim).IsNull());

    const QByteArray wide = QtPictureBytes(QImage(33000, 1, QImage::Format_RGB32), "PNG");
    EXPECT_EQ(CVexilPicture::HeaderSize(wide)->Width, 33000);
    EXPECT_TRUE(CVexilPicture::Decode(wide).IsNull());
}

TEST(Picture, GifSizeIsTheLargerOfScreenAndFirstFrame)
{
    QByteArray gif = FreeImagePictureBytes(QuarterImage(40, 30), FIF_GIF);
    ASSERT_GE(gif.size(), 13);
    // A logical screen of 1 x 1: the frame behind the palette and extensions still counts.
    gif[6] = 1;
    gif[7] = 0;
    gif[8] = 1;
    gif[9] = 0;
    const std::optional<TPicSize> size = CVexilPicture::HeaderSize(gif);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->Width, 40);
    EXPECT_EQ(size->Height, 30);
    // Cut inside the first block: the screen alone; cut inside the screen: nothing.
    EXPECT_EQ(CVexilPicture::HeaderSize(gif.left(14))->Width, 1);
    EXPECT_FALSE(CVexilPicture::HeaderSize(gif.left(12)).has_value());
}

TEST(Picture, WhatCannotBeDecodedGivesAnEmptyPicture)
{
    const QByteArray png = QtPictureBytes(QuarterImage(100, 100), "PNG");
    const QByteArray truncated = png.left(png.size() / 2);
    const struct
    {
        const char* Name;
        QByteArray Bytes;
        int32_t Type;
        bool HeaderKnown;
    } cases[] = {
        {"text", QByteArray("This is not a picture at all.\r\n"), EPicUnknown, false},
        {"empty", QByteArray(), EPicUnknown, false},
        {"truncated png", truncated, EPicPng, true},
        {"png signature only", png.left(8), EPicPng, false},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(CVexilPicture::BytesType(c.Bytes), c.Type) << c.Name;
        EXPECT_EQ(CVexilPicture::HeaderSize(c.Bytes).has_value(), c.HeaderKnown) << c.Name;
        const CVexilPicture picture = CVexilPicture::Decode(c.Bytes);
        EXPECT_TRUE(picture.IsNull()) << c.Name;
        EXPECT_EQ(picture.Width(), 0) << c.Name;
        EXPECT_TRUE(picture.ToImage().isNull()) << c.Name;
    }
    TempDir dir;
    EXPECT_EQ(CVexilPicture::FileType(dir.File(QStringLiteral("missing.png"))), EPicUnknown);
}

TEST(Picture, MovedPictureLeavesAnEmptyOne)
{
    CVexilPicture first = CVexilPicture::Decode(QtPictureBytes(QuarterImage(4, 4), "PNG"));
    CVexilPicture second(std::move(first));
    EXPECT_TRUE(first.IsNull());  // NOLINT(bugprone-use-after-move): the moved-from state is the point
    EXPECT_EQ(second.Width(), 4);
    first = std::move(second);
    EXPECT_EQ(first.Width(), 4);
    EXPECT_TRUE(second.IsNull());  // NOLINT(bugprone-use-after-move)
}
