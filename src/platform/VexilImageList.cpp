#include "platform/VexilImageList.h"

#include "foundation/VexilError.h"

namespace
{
constexpr int32_t KRunElementNotFound = 35601;
}

void CVexilImageList::Add(const QString& aKey, const QImage& aPicture)
{
    for (TImage& image : iImages)
    {
        if (image.Key == aKey)
        {
            image.Picture = aPicture;
            return;
        }
    }
    iImages.push_back({aKey, aPicture});
}

bool CVexilImageList::Contains(const QString& aKey) const
{
    return Find(aKey) != nullptr;
}

const QImage& CVexilImageList::Picture(const QString& aKey) const
{
    const TImage* image = Find(aKey);
    if (!image)
        throw CVexilException(KRunElementNotFound, QStringLiteral("CVexilImageList"),
                              QStringLiteral("Element not found: ") + aKey);
    return image->Picture;
}

const CVexilImageList::TImage* CVexilImageList::Find(const QString& aKey) const
{
    // The empty key names no image.
    if (aKey.isEmpty())
        return nullptr;
    for (const TImage& image : iImages)
        if (image.Key == aKey)
            return &image;
    return nullptr;
}
