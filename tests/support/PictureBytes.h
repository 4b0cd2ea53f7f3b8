#pragma once

// Picture files made by the tests: PNG, BMP and JPEG through Qt, TIFF and GIF through
// FreeImage (Qt writes neither). Only tests that link the platform library include this.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include <FreeImage.h>

#include <cstdint>
#include <cstring>

// Four quarters: red top left, green top right, blue bottom left, white bottom right, so that
// a picture turned upside down or mirrored shows.
inline QImage QuarterImage(int aWidth, int aHeight, QImage::Format aFormat = QImage::Format_RGB32)
{
    QImage image(aWidth, aHeight, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const int w = aWidth / 2;
    const int h = aHeight / 2;
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, aWidth - w, h, Qt::green);
    painter.fillRect(0, h, w, aHeight - h, Qt::blue);
    painter.end();
    return image.convertToFormat(aFormat);
}

inline QByteArray QtPictureBytes(const QImage& aImage, const char* aFormat)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    aImage.save(&buffer, aFormat);
    return bytes;
}

// aFormat is a FreeImage format number; GIF gets a palette of the picture's colours.
inline QByteArray FreeImagePictureBytes(const QImage& aImage, int aFormat)
{
    const QImage argb = aImage.convertToFormat(QImage::Format_ARGB32);
    FIBITMAP* bitmap = FreeImage_ConvertFromRawBits(const_cast<uchar*>(argb.constBits()), argb.width(), argb.height(),
                                                    static_cast<int>(argb.bytesPerLine()), 32, FI_RGBA_RED_MASK,
                                                    FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE);
    if (aFormat == FIF_GIF)
    {
        FIBITMAP* rgb = FreeImage_ConvertTo24Bits(bitmap);
        FreeImage_Unload(bitmap);
        bitmap = FreeImage_ColorQuantize(rgb, FIQ_WUQUANT);
        FreeImage_Unload(rgb);
    }
    FIMEMORY* mem = FreeImage_OpenMemory(nullptr, 0);
    QByteArray bytes;
    if (FreeImage_SaveToMemory(static_cast<FREE_IMAGE_FORMAT>(aFormat), bitmap, mem, 0))
    {
        BYTE* data = nullptr;
        DWORD size = 0;
        FreeImage_AcquireMemory(mem, &data, &size);
        bytes = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    }
    FreeImage_CloseMemory(mem);
    FreeImage_Unload(bitmap);
    return bytes;
}

inline uint32_t PngCrc(const QByteArray& aBytes)
{
    uint32_t crc = 0xFFFFFFFFU;
    for (const char c : aBytes)
    {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
    return ~crc;
}

inline QByteArray PngChunk(const char* aType, const QByteArray& aData)
{
    const QByteArray typed = QByteArray(aType) + aData;
    char length[4];
    char crc[4];
    qToBigEndian(static_cast<uint32_t>(aData.size()), length);
    qToBigEndian(PngCrc(typed), crc);
    return QByteArray(length, 4) + typed + QByteArray(crc, 4);
}

// A PNG whose valid header chunk claims aWidth x aHeight RGB pixels, followed by the start of
// a few bytes of pixel data: what a hostile file shows before its pixels.
inline QByteArray PngClaiming(uint32_t aWidth, uint32_t aHeight)
{
    char header[13];
    qToBigEndian(aWidth, header);
    qToBigEndian(aHeight, header + 4);
    std::memcpy(header + 8, "\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", QByteArray(header, 13)) +
           PngChunk("IDAT", QByteArray("\x78\x9c\x01\x02", 4));
}
