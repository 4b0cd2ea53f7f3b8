#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

struct FIBITMAP;

// FreeImage's numbers of the picture formats the program tells apart.
enum EPicFormat : int32_t
{
    EPicUnknown = -1,
    EPicBmp = 0,
    EPicJpeg = 2,
    EPicPng = 13,
    EPicTiff = 18,
    EPicGif = 25,
};

// Width and height in pixels.
struct TPicSize
{
    int32_t Width = 0;
    int32_t Height = 0;
};

// A picture decoded by FreeImage, the program's only user of that library: the type of a file
// or of bytes, the size from the header alone, decoding, bicubic rescaling, conversion to a
// QImage and JPEG encoding. An empty picture stands for a failed decode, rescale or
// conversion. Decoding refuses what the header says is beyond the limits, so that a hostile
// picture never makes it allocate more than those.
class CVexilPicture
{
public:
    // The largest side, and the most pixels, that the program decodes.
    static constexpr int32_t KMaxSide = 32767;
    static constexpr int64_t KMaxPixels = 100'000'000;

    CVexilPicture() = default;
    ~CVexilPicture();
    CVexilPicture(CVexilPicture&& aOther) noexcept;
    CVexilPicture& operator=(CVexilPicture&& aOther) noexcept;
    CVexilPicture(const CVexilPicture&) = delete;
    CVexilPicture& operator=(const CVexilPicture&) = delete;

    // The format by the file's signature (EPicFormat numbers, or another FreeImage format).
    static int32_t FileType(const QString& aFileName);
    static int32_t BytesType(const QByteArray& aBytes);
    // The size that the header gives, read without decoding the pixels; none when the bytes
    // are no picture or the format's header cannot be read on its own.
    static std::optional<TPicSize> HeaderSize(const QByteArray& aBytes);
    static bool WithinLimits(const TPicSize& aSize);

    // The picture the bytes hold (type detected from the bytes, default flags); empty when
    // FreeImage cannot decode it or it is beyond the limits.
    static CVexilPicture Decode(const QByteArray& aBytes);

    bool IsNull() const { return iBitmap == nullptr; }
    int32_t Width() const;
    int32_t Height() const;

    // Top row first, ARGB32 when the picture has transparency, else RGB32; palettes, grey
    // levels and 16 bits per channel converted. Null for an empty picture. The pixels of
    // aBuffer are overwritten and given back when it has that size and format and shares them
    // with no other image, so that showing one picture after another allocates nothing.
    QImage ToImage(QImage aBuffer = QImage()) const;
    // Resized with the bicubic filter; empty on failure or for a size below 1 pixel.
    CVexilPicture Rescaled(int32_t aWidth, int32_t aHeight) const;
    // The JPEG bytes of a 24-bit copy (transparent parts laid over white) with FreeImage's
    // default settings; false when it cannot be encoded.
    bool ToJpeg(QByteArray& aJpeg) const;

private:
    explicit CVexilPicture(FIBITMAP* aBitmap) : iBitmap(aBitmap) {}

    FIBITMAP* iBitmap = nullptr;
};
