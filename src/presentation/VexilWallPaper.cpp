#include "presentation/VexilWallPaper.h"

#include "model/VexilBlobStore.h"
#include "model/VexilCard.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilLibPictures.h"

std::vector<QPointF> WallPaperOrigins(float aWindowWidth, float aWindowHeight, float aPictureWidth,
                                      float aPictureHeight, bool aTile)
{
    if (!(aPictureWidth > 0) || !(aPictureHeight > 0))
        return {};
    if (!aTile)
        return {QPointF((aWindowWidth - aPictureWidth) / 2, (aWindowHeight - aPictureHeight) / 2)};
    std::vector<QPointF> origins;
    // Multiples rather than sums, so that many tiles do not drift.
    for (int column = 0; column * aPictureWidth <= aWindowWidth; ++column)
        for (int row = 0; row * aPictureHeight <= aWindowHeight; ++row)
            origins.emplace_back(column * aPictureWidth, row * aPictureHeight);
    return origins;
}

bool PlaceWallPaper(CVexilPictureBox& aWallPaperBox, const CVexilCard& aCard, float aWindowWidth, float aWindowHeight,
                    std::vector<QPointF>& aPositions)
{
    aPositions.clear();
    const TControlSetRef background = aCard.Background();
    if (!background || !aCard.Stack())
        return false;
    // Without the flag the box keeps what it holds, but nothing is painted.
    if (!background->Flag(ECseShowWallPaper))
        return true;
    CVexilLibPictures::ShowBlobInPictureBox(*aCard.Stack()->BlobStore(), aWallPaperBox, background->WallPaperId());
    const QImage& picture = aWallPaperBox.Picture();
    aPositions = WallPaperOrigins(aWindowWidth, aWindowHeight, CVexilCtl::PixelsToTwips(picture.width()),
                                  CVexilCtl::PixelsToTwips(picture.height()), background->Flag(ECseTileWallPaper));
    return true;
}
