#include "AssertAnswers.h"
#include "PictureFixture.h"
#include "presentation/VexilLibPictures.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilWallPaper.h"

#include <vector>

namespace
{
using TPoints = std::vector<QPointF>;

TEST(WallPaperOrigins, TiledColumnsFirstOrCentred)
{
    const struct
    {
        const char* Name;
        float WindowWidth;
        float WindowHeight;
        float PictureWidth;
        float PictureHeight;
        bool Tile;
        TPoints Expected;
    } cases[] = {
        {"tiled", 7000, 5000, 3000, 2000, true,
         {{0, 0}, {0, 2000}, {0, 4000}, {3000, 0}, {3000, 2000}, {3000, 4000}, {6000, 0}, {6000, 2000}, {6000, 4000}}},
        // A tile that starts on the window's edge is still painted.
        {"tiled to the edge", 6000, 2000, 3000, 2000, true,
         {{0, 0}, {0, 2000}, {3000, 0}, {3000, 2000}, {6000, 0}, {6000, 2000}}},
        {"tiled larger picture", 7000, 5000, 9000, 6000, true, {{0, 0}}},
        {"centred", 7000, 5000, 3000, 2000, false, {{2000, 1500}}},
        {"centred larger picture", 7000, 5000, 9000, 6000, false, {{-1000, -500}}},
        // A picture without size is not painted: tiling it would step by zero for ever.
        {"no width, tiled", 7000, 5000, 0, 2000, true, {}},
        {"no height, tiled", 7000, 5000, 3000, 0, true, {}},
        {"no size, centred", 7000, 5000, 0, 0, false, {}},
        {"negative size", 7000, 5000, -15, 15, true, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WallPaperOrigins(c.WindowWidth, c.WindowHeight, c.PictureWidth, c.PictureHeight, c.Tile), c.Expected)
            << c.Name;

    // Many small tiles do not drift from their multiples.
    const TPoints many = WallPaperOrigins(100000, 15, 15, 15, true);
    ASSERT_EQ(many.size(), size_t{6667 * 2});
    EXPECT_EQ(many[2 * 6666], QPointF(99990, 0));
}

class WallPaperTest : public PictureFixture
{
protected:
    static constexpr float kWidth = 7000;
    static constexpr float kHeight = 5000;

    // The wallpaper of the card on a window of kWidth x kHeight; false when nothing changes.
    bool Place(const TCardRef& aCard = nullptr)
    {
        return PlaceWallPaper(iBox, aCard ? *aCard : *iCard, kWidth, kHeight, iPositions);
    }

    void SetWallPaper(const TControlSetRef& aBackground, int32_t aId, int32_t aFlags = ECseShowWallPaper)
    {
        aBackground->SetWallPaperId(aId);
        aBackground->SetFlags(aFlags);
    }

    CVexilPictureBox& iBox = Box();
    TPoints iPositions{{1, 1}};
};

TEST_F(WallPaperTest, ACentredWallPaperIsDecodedOnceAndRepaintedWithoutDecoding)
{
    // 200 x 100 pixels = 3000 x 1500 twips.
    const TBlobRef blob = AddPng(200, 100);
    SetWallPaper(iBg, blob->Id());
    ASSERT_TRUE(Place());
    EXPECT_EQ(iPositions, TPoints({{2000, 1750}}));
    EXPECT_EQ(iBox.Picture().size(), QSize(200, 100));
    EXPECT_EQ(iBox.Tag(), QLatin1Char(' ') + QString::number(blob->Id()));
    EXPECT_EQ(blob->DynRefCount(), 2);

    // The box holds that blob already: bytes that could no longer be decoded are not read.
    blob->SetBytes("not a picture any more");
    ASSERT_TRUE(Place());
    EXPECT_EQ(iPositions, TPoints({{2000, 1750}}));
    EXPECT_EQ(iBox.Picture().size(), QSize(200, 100));
    EXPECT_EQ(blob->DynRefCount(), 2);

    // Tiled, the same picture steps by its size.
    iBg->SetFlags(ECseShowWallPaper + ECseTileWallPaper);
    ASSERT_TRUE(Place());
    EXPECT_EQ(iPositions.size(), size_t{3 * 4});
    EXPECT_EQ(iPositions[1], QPointF(0, 1500));
    EXPECT_EQ(iPositions[4], QPointF(3000, 0));
}

TEST_F(WallPaperTest, AnotherBackgroundsWallPaperReplacesTheBlobHeld)
{
    const TBlobRef first = AddPng(20, 20);
    const TBlobRef second = AddPng(30, 10);
    const TControlSetRef other = NewBackground(*iStack, QStringLiteral("Other"));
    const TCardRef otherCard = AddCard(QStringLiteral("Other card"), other);
    SetWallPaper(iBg, first->Id());
    SetWallPaper(other, second->Id(), ECseShowWallPaper + ECseTileWallPaper);

    ASSERT_TRUE(Place());
    ASSERT_TRUE(Place(otherCard));
    EXPECT_EQ(first->DynRefCount(), 1);
    EXPECT_EQ(second->DynRefCount(), 2);
    EXPECT_EQ(iBox.Picture().size(), QSize(30, 10));
    EXPECT_EQ(iPositions.front(), QPointF(0, 0));

    // Switched on without a wallpaper: the box lets go, nothing is painted.
    SetWallPaper(other, UndefLong);
    ASSERT_TRUE(Place(otherCard));
    EXPECT_EQ(second->DynRefCount(), 1);
    EXPECT_EQ(iBox.Tag(), QString());
    EXPECT_TRUE(iBox.Picture().isNull());
    EXPECT_TRUE(iPositions.empty());
}

TEST_F(WallPaperTest, WithoutTheShowFlagNothingIsPaintedAndTheBoxKeepsItsBlob)
{
    const TBlobRef blob = AddPng(20, 20);
    SetWallPaper(iBg, blob->Id());
    ASSERT_TRUE(Place());
    for (const int32_t flags : {0, int32_t{ECseTileWallPaper}})
    {
        iBg->SetFlags(flags);
        iPositions = {{1, 1}};
        ASSERT_TRUE(Place()) << flags;
        EXPECT_TRUE(iPositions.empty()) << flags;
        EXPECT_EQ(iBox.Picture().size(), QSize(20, 20)) << flags;
        EXPECT_EQ(blob->DynRefCount(), 2) << flags;
    }
}

TEST_F(WallPaperTest, AnUndecodableWallPaperPaintsNothing)
{
    const TBlobRef shown = AddPng(20, 20);
    const TBlobRef broken = AddBlob("not a picture");
    SetWallPaper(iBg, shown->Id(), ECseShowWallPaper + ECseTileWallPaper);
    ASSERT_TRUE(Place());
    SetWallPaper(iBg, broken->Id(), ECseShowWallPaper + ECseTileWallPaper);
    ASSERT_TRUE(Place());
    EXPECT_TRUE(iPositions.empty());
    EXPECT_EQ(iBox.Tag(), QString());
    EXPECT_EQ(shown->DynRefCount(), 1);
    EXPECT_EQ(broken->DynRefCount(), 1);
}

TEST_F(WallPaperTest, ACardWithoutBackgroundChangesNothing)
{
    const TBlobRef blob = AddPng(20, 20);
    SetWallPaper(iBg, blob->Id());
    ASSERT_TRUE(Place());
    // Made for the background but not in the stack: it finds no background.
    auto loose = std::make_shared<CVexilCard>();
    loose->Construct(QStringLiteral("Loose"), iBg);
    EXPECT_FALSE(Place(loose));
    EXPECT_TRUE(iPositions.empty());
    EXPECT_EQ(iBox.Picture().size(), QSize(20, 20));
    EXPECT_EQ(blob->DynRefCount(), 2);
}

TEST_F(WallPaperTest, TheCardWindowPaintsTheTilesUnderItsWidgets)
{
    // Quarters of 10 x 10 pixels: red, green, blue, white.
    const TBlobRef blob = AddPng(20, 20);
    SetWallPaper(iBg, blob->Id(), ECseShowWallPaper + ECseTileWallPaper);
    CVexilGenForm form;
    form.Move(0, 0, 7000, 5000);
    CVexilTextBox& textBox = *form.fGenTextBox[0];
    textBox.Move(1500, 1500, 1500, 1500);
    textBox.SetBackColor(0x00FFFF);  // yellow
    textBox.SetVisible(true);

    std::vector<QPointF> positions;
    ASSERT_TRUE(PlaceWallPaper(*form.fWallPaperBox, *iCard, form.Width(), form.Height(), positions));
    form.SetWallPaperDrawing(form.fWallPaperBox->Picture(), std::move(positions));
    const QImage shot = form.grab().toImage();
    ASSERT_GE(shot.width(), 450);
    const struct
    {
        int X;
        int Y;
        QRgb Colour;
    } pixels[] = {
        {5, 5, qRgb(255, 0, 0)},      {15, 5, qRgb(0, 255, 0)},      {5, 15, qRgb(0, 0, 255)},
        {25, 25, qRgb(255, 0, 0)},    {455, 315, qRgb(255, 255, 255)}, {335, 5, qRgb(0, 255, 0)},
        // The text box at 100, 100 (pixels) covers the wallpaper.
        {150, 150, qRgb(255, 255, 0)},
    };
    for (const auto& p : pixels)
        EXPECT_EQ(shot.pixel(p.X, p.Y), p.Colour) << p.X << ", " << p.Y;
}

TEST_F(WallPaperTest, AnUnknownWallPaperReachesTheCaller)
{
    const TBlobRef blob = AddPng(20, 20);
    SetWallPaper(iBg, blob->Id());
    ASSERT_TRUE(Place());
    SetWallPaper(iBg, 999);
    RefusedCheck([&] { Place(); });
    EXPECT_EQ(blob->DynRefCount(), 1);
    EXPECT_EQ(iBox.Tag(), QString());
}
}  // namespace
