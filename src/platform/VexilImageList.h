#pragma once

#include <QImage>
#include <QString>

#include <vector>

// Pictures kept under string keys, in the order they were added.
class CVexilImageList
{
public:
    // A key already present gets the new picture.
    void Add(const QString& aKey, const QImage& aPicture);
    bool Contains(const QString& aKey) const;
    // The picture of the key; a key that is not there, the empty key included, is the
    // platform's run-time error 35601 "Element not found".
    const QImage& Picture(const QString& aKey) const;
    int Count() const { return int(iImages.size()); }
    const QString& Key(int aIndex) const { return iImages.at(size_t(aIndex)).Key; }

private:
    struct TImage
    {
        QString Key;
        QImage Picture;
    };
    const TImage* Find(const QString& aKey) const;

    std::vector<TImage> iImages;
};
