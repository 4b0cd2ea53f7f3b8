#include "platform/VexilPicture.h"

#include <QFile>

#include <FreeImage.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <utility>

// FreeImage keeps 32-bit pixels as B, G, R, A bytes (24-bit ones as B, G, R) on little-endian
// machines, which is how QImage keeps ARGB32 there; the conversion copies rows as they are.
static_assert(std::endian::native == std::endian::little);
static_assert(FI_RGBA_BLUE == 0 && FI_RGBA_GREEN == 1 && FI_RGBA_RED == 2 && FI_RGBA_ALPHA == 3);

namespace
{
struct TUnload
{
    void operator()(FIBITMAP* aBitmap) const { FreeImage_Unload(aBitmap); }
};
using TBitmap = std::unique_ptr<FIBITMAP, TUnload>;

// FreeImage's read-only view of a byte array.
class TMemory
{
public:
    explicit TMemory(const QByteArray& aBytes)
        : iMem(FreeImage_OpenMemory(reinterpret_cast<BYTE*>(const_cast<char*>(aBytes.constData())),
                                    static_cast<DWORD>(aBytes.size())))
    {
    }
    // An empty stream, for writing.
    TMemory() : iMem(FreeImage_OpenMemory(nullptr, 0)) {}
    ~TMemory() { FreeImage_CloseMemory(iMem); }
    TMemory(const TMemory&) = delete;
    TMemory& operator=(const TMemory&) = delete;

    FIMEMORY* Get() const { return iMem; }
    FREE_IMAGE_FORMAT Type() const
    {
        const FREE_IMAGE_FORMAT type = FreeImage_GetFileTypeFromMemory(iMem, 0);
        FreeImage_SeekMemory(iMem, 0, SEEK_SET);
        return type;
    }

private:
    FIMEMORY* iMem;
};

int32_t Word(const QByteArray& aBytes, qsizetype aPos)
{
    return static_cast<uint8_t>(aBytes[aPos]) | (static_cast<uint8_t>(aBytes[aPos + 1]) << 8);
}

// FreeImage decodes a GIF's first frame without reading only its header: the size is the
// larger of the logical screen and that frame, found by skipping the blocks before it.
std::optional<TPicSize> GifSize(const QByteArray& aBytes)
{
    constexpr qsizetype kScreenEnd = 13;
    const qsizetype size = aBytes.size();
    if (size < kScreenEnd)
        return std::nullopt;
    TPicSize screen{Word(aBytes, 6), Word(aBytes, 8)};
    const uint8_t flags = static_cast<uint8_t>(aBytes[10]);
    qsizetype pos = kScreenEnd;
    if ((flags & 0x80) != 0)
        pos += qsizetype{3} << ((flags & 7) + 1);
    while (pos < size)
    {
        const uint8_t block = static_cast<uint8_t>(aBytes[pos]);
        if (block == 0x2C)
        {
            if (pos + 9 > size)
                break;
            return TPicSize{std::max(screen.Width, Word(aBytes, pos + 5)), std::max(screen.Height, Word(aBytes, pos + 7))};
        }
        if (block != 0x21)
            break;
        pos += 2;
        while (pos < size)
        {
            const uint8_t length = static_cast<uint8_t>(aBytes[pos]);
            pos += 1 + length;
            if (length == 0)
                break;
        }
    }
    return screen;
}

std::optional<TPicSize> SizeOfHeader(const TMemory& aMem, FREE_IMAGE_FORMAT aType, const QByteArray& aBytes)
{
    if (aType == FIF_GIF)
        return GifSize(aBytes);
    if (aType == FIF_UNKNOWN || !FreeImage_FIFSupportsNoPixels(aType))
        return std::nullopt;
    const TBitmap header(FreeImage_LoadFromMemory(aType, aMem.Get(), FIF_LOAD_NOPIXELS));
    FreeImage_SeekMemory(aMem.Get(), 0, SEEK_SET);
    if (!header)
        return std::nullopt;
    return TPicSize{static_cast<int32_t>(FreeImage_GetWidth(header.get())),
                    static_cast<int32_t>(FreeImage_GetHeight(header.get()))};
}

// A 32-bit copy of a picture of any FreeImage type; none when it cannot be converted.
TBitmap Copy32(FIBITMAP* aBitmap)
{
    switch (FreeImage_GetImageType(aBitmap))
    {
    case FIT_BITMAP:
    case FIT_RGB16:
    case FIT_RGBA16:
        return TBitmap(FreeImage_ConvertTo32Bits(aBitmap));
    case FIT_UINT16:
    {
        const TBitmap grey(FreeImage_ConvertTo8Bits(aBitmap));
        return TBitmap(grey ? FreeImage_ConvertTo32Bits(grey.get()) : nullptr);
    }
    case FIT_RGBF:
    case FIT_RGBAF:
    {
        const TBitmap mapped(FreeImage_ToneMapping(aBitmap, FITMO_DRAGO03));
        return TBitmap(mapped ? FreeImage_ConvertTo32Bits(mapped.get()) : nullptr);
    }
    default:
    {
        const TBitmap standard(FreeImage_ConvertToStandardType(aBitmap, TRUE));
        return TBitmap(standard ? FreeImage_ConvertTo32Bits(standard.get()) : nullptr);
    }
    }
}

// A row of 24-bit pixels as opaque 32-bit ones. B, G, R and the next pixel's first byte are
// read as one word whose top byte the alpha then replaces; the last pixel is read byte by
// byte, so that no read passes the row's end.
void Row24To32(const BYTE* aSource, uint32_t* aRow, int aWidth)
{
    const int last = aWidth - 1;
    for (int x = 0; x < last; ++x, aSource += 3)
    {
        uint32_t word = 0;
        std::memcpy(&word, aSource, sizeof word);
        aRow[x] = word | 0xFF000000U;
    }
    aRow[last] = 0xFF000000U | uint32_t{aSource[FI_RGBA_RED]} << 16 | uint32_t{aSource[FI_RGBA_GREEN]} << 8 |
                 aSource[FI_RGBA_BLUE];
}

// A row of 32-bit pixels, made opaque unless the picture has transparency.
void Row32(const BYTE* aSource, uint32_t* aRow, int aWidth, bool aAlpha)
{
    std::memcpy(aRow, aSource, static_cast<size_t>(aWidth) * 4);
    if (!aAlpha)
        for (int x = 0; x < aWidth; ++x)
            aRow[x] |= 0xFF000000U;
}
}  // namespace

CVexilPicture::~CVexilPicture()
{
    if (iBitmap)
        FreeImage_Unload(iBitmap);
}

CVexilPicture::CVexilPicture(CVexilPicture&& aOther) noexcept : iBitmap(std::exchange(aOther.iBitmap, nullptr))
{
}

CVexilPicture& CVexilPicture::operator=(CVexilPicture&& aOther) noexcept
{
    if (this != &aOther)
    {
        if (iBitmap)
            FreeImage_Unload(iBitmap);
        iBitmap = std::exchange(aOther.iBitmap, nullptr);
    }
    return *this;
}

int32_t CVexilPicture::FileType(const QString& aFileName)
{
    return FreeImage_GetFileType(QFile::encodeName(aFileName).constData(), 0);
}

int32_t CVexilPicture::BytesType(const QByteArray& aBytes)
{
    return TMemory(aBytes).Type();
}

std::optional<TPicSize> CVexilPicture::HeaderSize(const QByteArray& aBytes)
{
    const TMemory mem(aBytes);
    return SizeOfHeader(mem, mem.Type(), aBytes);
}

bool CVexilPicture::WithinLimits(const TPicSize& aSize)
{
    return aSize.Width >= 1 && aSize.Height >= 1 && aSize.Width <= KMaxSide && aSize.Height <= KMaxSide &&
           int64_t{aSize.Width} * aSize.Height <= KMaxPixels;
}

CVexilPicture CVexilPicture::Decode(const QByteArray& aBytes)
{
    const TMemory mem(aBytes);
    const FREE_IMAGE_FORMAT type = mem.Type();
    if (type == FIF_UNKNOWN)
        return {};
    const std::optional<TPicSize> header = SizeOfHeader(mem, type, aBytes);
    if (header && !WithinLimits(*header))
        return {};
    CVexilPicture picture(FreeImage_LoadFromMemory(type, mem.Get(), 0));
    // Formats whose header is not read on its own are checked once decoded.
    if (!picture.IsNull() && !WithinLimits({picture.Width(), picture.Height()}))
        return {};
    return picture;
}

int32_t CVexilPicture::Width() const
{
    return iBitmap ? static_cast<int32_t>(FreeImage_GetWidth(iBitmap)) : 0;
}

int32_t CVexilPicture::Height() const
{
    return iBitmap ? static_cast<int32_t>(FreeImage_GetHeight(iBitmap)) : 0;
}

QImage CVexilPicture::ToImage(QImage aBuffer) const
{
    if (!iBitmap || !FreeImage_HasPixels(iBitmap))
        return {};
    // Pictures of 24 and 32 bits (most of those shown) are converted straight into the image;
    // the others go through a 32-bit copy first.
    const unsigned bpp = FreeImage_GetBPP(iBitmap);
    const bool direct = FreeImage_GetImageType(iBitmap) == FIT_BITMAP && (bpp == 24 || bpp == 32);
    const TBitmap copy = direct ? nullptr : Copy32(iBitmap);
    if (!direct && !copy)
        return {};
    FIBITMAP* const pixels = direct ? iBitmap : copy.get();
    const bool alpha = FreeImage_IsTransparent(iBitmap) != FALSE;
    const int width = Width();
    const int height = Height();
    const QImage::Format format = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const bool reuse = aBuffer.size() == QSize(width, height) && aBuffer.format() == format && aBuffer.isDetached();
    QImage image = reuse ? std::move(aBuffer) : QImage(width, height, format);
    if (image.isNull())
        return {};
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    // FreeImage stores the bottom row first.
    for (int y = 0; y < height; ++y)
    {
        auto* row = reinterpret_cast<uint32_t*>(bits + stride * y);
        const BYTE* source = FreeImage_GetScanLine(pixels, height - 1 - y);
        if (direct && bpp == 24)
            Row24To32(source, row, width);
        else
            Row32(source, row, width, alpha);
    }
    return image;
}

CVexilPicture CVexilPicture::Rescaled(int32_t aWidth, int32_t aHeight) const
{
    if (!iBitmap || aWidth < 1 || aHeight < 1)
        return {};
    return CVexilPicture(FreeImage_Rescale(iBitmap, aWidth, aHeight, FILTER_BICUBIC));
}

bool CVexilPicture::ToJpeg(QByteArray& aJpeg) const
{
    if (!iBitmap)
        return false;
    // FreeImage writes JPEG from 24-bit pictures only (of the kinds decoded here).
    const TBitmap pixels = Copy32(iBitmap);
    RGBQUAD white{0xFF, 0xFF, 0xFF, 0};
    const TBitmap opaque(pixels ? FreeImage_Composite(pixels.get(), FALSE, &white, nullptr) : nullptr);
    if (!opaque)
        return false;
    const TMemory mem;
    if (!FreeImage_SaveToMemory(FIF_JPEG, opaque.get(), mem.Get(), 0))
        return false;
    BYTE* data = nullptr;
    DWORD size = 0;
    if (!FreeImage_AcquireMemory(mem.Get(), &data, &size))
        return false;
    aJpeg = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    return true;
}
