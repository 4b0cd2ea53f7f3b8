#include "presentation/VexilLibPictures.h"

#include "foundation/VexilNumText.h"
#include "foundation/VexilObject.h"
#include "model/VexilBlobStore.h"
#include "model/VexilStack.h"
#include "platform/VexilCtls.h"
#include "platform/VexilPicture.h"
#include "script/VexilStackViewLink.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{
// The blob id a box's Tag names; UndefLong for an empty Tag.
int32_t TagId(const CVexilPictureBox& aBox)
{
    if (aBox.Tag().isEmpty())
        return UndefLong;
    return static_cast<int32_t>(CVexilNumText::LeadingNumber(aBox.Tag()));
}

// The box lets go of its blob: Tag and picture go first, so that a failing read leaves
// nothing that names the blob and would release it a second time.
void ReleaseBox(CVexilBlobStore& aStore, CVexilPictureBox& aBox)
{
    const int32_t id = TagId(aBox);
    aBox.SetTag(QString());
    aBox.SetPicture(QImage());
    if (id == UndefLong)
        return;
    TBlobRef blob = aStore.ReadBlob(id);
    if (blob)
        aStore.DecDynRefCount(blob);
}
}  // namespace

void CVexilLibPictures::ShowBlobInPictureBox(CVexilBlobStore& aStore, CVexilPictureBox& aBox, int32_t aBlobId)
{
    if (aBlobId != UndefLong && TagId(aBox) == aBlobId)
        return;
    // The new picture takes the old one's pixels when it has their size: a fresh image for
    // every card would make the heap shrink and grow again each time.
    QImage buffer = aBox.Picture();
    ReleaseBox(aStore, aBox);
    if (aBlobId == UndefLong)
        return;
    const TBlobRef blob = aStore.ReadBlob(aBlobId);
    if (!blob)
        return;
    const QImage picture = CVexilPicture::Decode(blob->Bytes()).ToImage(std::move(buffer));
    if (picture.isNull())
        return;
    aBox.SetPicture(picture);
    blob->IncDynRefCount();
    aBox.SetTag(QLatin1Char(' ') + QString::number(aBlobId));
}

void CVexilLibPictures::PaintBlobInPictureBox(CVexilPictureBox& aBox)
{
    const int32_t id = TagId(aBox);
    const IVexilStackViewLink* view = CVexilStackViewLink::Current();
    const TStackRef stack = view ? view->Stack() : nullptr;
    if (id == UndefLong || !stack)
        return;
    const TBlobRef blob = stack->BlobStore()->ReadBlob(id);
    if (!blob)
        return;
    const QImage natural = CVexilPicture::Decode(blob->Bytes()).ToImage();
    const double innerWidth = aBox.InnerWidth() / CVexilCtl::KTwipsPerPixel;
    const double innerHeight = aBox.InnerHeight() / CVexilCtl::KTwipsPerPixel;
    if (natural.isNull() || innerWidth <= 0 || innerHeight <= 0)
        return;
    if (aBox.Picture().size() != natural.size())
    {
        aBox.SetPicture(natural);
        return;
    }
    aBox.SetPicture(natural.scaled(FittedSize(natural.size(), QSizeF(innerWidth, innerHeight)), Qt::IgnoreAspectRatio,
                                   Qt::SmoothTransformation));
}

QSize CVexilLibPictures::FittedSize(const QSize& aPicture, const QSizeF& aInner)
{
    const double ratio = std::max(aPicture.width() / aInner.width(), aPicture.height() / aInner.height());
    const int width = std::max(1, static_cast<int>(std::lround(aPicture.width() / ratio)));
    const int height = std::max(1, static_cast<int>(std::lround(aPicture.height() / ratio)));
    return {width, height};
}
