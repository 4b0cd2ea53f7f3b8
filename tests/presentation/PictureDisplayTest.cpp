#include "AssertAnswers.h"
#include "PictureFixture.h"
#include "presentation/VexilLibPictures.h"

namespace
{
class PictureDisplayTest : public PictureFixture
{
protected:
    void Show(CVexilPictureBox& aBox, int32_t aId) { CVexilLibPictures::ShowBlobInPictureBox(Store(), aBox, aId); }

    static void ExpectEmpty(const CVexilPictureBox& aBox)
    {
        EXPECT_EQ(aBox.Tag(), QString());
        EXPECT_TRUE(aBox.Picture().isNull());
    }
};

TEST_F(PictureDisplayTest, ShowingTakesOneReferenceAndClearingGivesItBack)
{
    const TBlobRef blob = AddPng(60, 40, 7);
    CVexilPictureBox& box = Box();
    ASSERT_EQ(blob->DynRefCount(), 1);  // the cache

    Show(box, 7);
    EXPECT_EQ(blob->DynRefCount(), 2);
    EXPECT_EQ(box.Tag(), QStringLiteral(" 7"));
    EXPECT_EQ(box.Picture().size(), QSize(60, 40));
    // The same id again changes nothing.
    Show(box, 7);
    EXPECT_EQ(blob->DynRefCount(), 2);

    Show(box, UndefLong);
    EXPECT_EQ(blob->DynRefCount(), 1);
    ExpectEmpty(box);
    Show(box, UndefLong);
    EXPECT_EQ(blob->DynRefCount(), 1);
    EXPECT_TRUE(Store().HasBlob(7));
}

TEST_F(PictureDisplayTest, AnUnreferredBlobGoesWhenItsBoxLetsGo)
{
    const TBlobRef blob = AddPng(10, 10, 0, false);
    CVexilPictureBox& box = Box();
    Show(box, blob->Id());
    EXPECT_TRUE(Store().HasBlob(blob->Id()));
    Show(box, UndefLong);
    EXPECT_FALSE(Store().HasBlob(blob->Id()));
}

TEST_F(PictureDisplayTest, AnotherBlobReleasesTheOneBefore)
{
    const TBlobRef first = AddPng(10, 10);
    const TBlobRef second = AddPng(20, 30);
    CVexilPictureBox& box = Box();
    Show(box, first->Id());
    Show(box, second->Id());
    EXPECT_EQ(first->DynRefCount(), 1);
    EXPECT_EQ(second->DynRefCount(), 2);
    EXPECT_EQ(box.Tag(), QLatin1Char(' ') + QString::number(second->Id()));
    EXPECT_EQ(box.Picture().size(), QSize(20, 30));
}

TEST_F(PictureDisplayTest, ABlobWhoseValueChangedAwayGoesWithItsBox)
{
    const TBlobRef old = AddPng(10, 10, 0, false);
    const TBlobRef next = AddPng(10, 10, 0, false);
    iCard->SetControlVal(iField->Id(), Val::Blob(old->Id()));
    CVexilPictureBox& box = Box();
    Show(box, old->Id());

    iCard->SetControlVal(iField->Id(), Val::Blob(next->Id()));
    EXPECT_EQ(old->RefCount(), 0);
    EXPECT_TRUE(Store().HasBlob(old->Id())) << "deleted while shown";

    Show(box, next->Id());
    EXPECT_FALSE(Store().HasBlob(old->Id()));
    EXPECT_EQ(next->DynRefCount(), 2);
}

TEST_F(PictureDisplayTest, AFailingReadLeavesTheCountsRight)
{
    const TBlobRef blob = AddPng(10, 10);
    CVexilPictureBox& box = Box();

    // The new blob cannot be read: the old one is released all the same and the box names none.
    Show(box, blob->Id());
    RefusedCheck([&] { Show(box, 999); });
    EXPECT_EQ(blob->DynRefCount(), 1);
    ExpectEmpty(box);
    // Going on past the failed check shows nothing either.
    Show(box, blob->Id());
    {
        IgnoredAssert ignored(QStringLiteral("iFound"));
        Show(box, 999);
    }
    EXPECT_EQ(blob->DynRefCount(), 1);
    ExpectEmpty(box);

    // A box naming a blob the store does not know: the failed release forgets the name, so it
    // is never released a second time.
    box.SetTag(QStringLiteral(" 555"));
    RefusedCheck([&] { Show(box, blob->Id()); });
    ExpectEmpty(box);
    Show(box, blob->Id());
    EXPECT_EQ(blob->DynRefCount(), 2);
    Show(box, UndefLong);
    EXPECT_EQ(blob->DynRefCount(), 1);
}

TEST_F(PictureDisplayTest, AnUndecodablePictureLeavesTheBoxEmpty)
{
    const TBlobRef shown = AddPng(10, 10);
    const QByteArray png = QtPictureBytes(QuarterImage(50, 50), "PNG");
    const TBlobRef blobs[] = {AddBlob("not a picture"), AddBlob(png.left(png.size() / 2)), AddBlob(QByteArray())};
    CVexilPictureBox& box = Box();
    for (const TBlobRef& blob : blobs)
    {
        Show(box, shown->Id());
        Show(box, blob->Id());
        ExpectEmpty(box);
        EXPECT_EQ(blob->DynRefCount(), 1) << blob->Id();
        EXPECT_EQ(shown->DynRefCount(), 1) << blob->Id();
    }
}

TEST_F(PictureDisplayTest, ClicksSwitchBetweenNaturalAndFittedSize)
{
    const struct
    {
        int Width;
        int Height;
        QSize Fitted;
    } cases[] = {
        {1000, 500, QSize(400, 200)},
        {300, 600, QSize(200, 400)},
        // A smaller picture is enlarged.
        {100, 50, QSize(400, 200)},
        {40, 40, QSize(400, 400)},
    };
    for (const auto& c : cases)
    {
        const TBlobRef blob = AddPng(c.Width, c.Height);
        CVexilPictureBox& box = Box(400, 400);
        Show(box, blob->Id());
        const QSize natural(c.Width, c.Height);
        ASSERT_EQ(box.Picture().size(), natural);

        CVexilLibPictures::PaintBlobInPictureBox(box);
        EXPECT_EQ(box.Picture().size(), c.Fitted) << c.Width << "x" << c.Height;
        // The fitted picture keeps the quarters where they were.
        const QImage fitted = box.Picture();
        EXPECT_EQ(fitted.pixel(fitted.width() / 4, fitted.height() / 4), qRgb(255, 0, 0));
        EXPECT_EQ(fitted.pixel(3 * fitted.width() / 4, 3 * fitted.height() / 4), qRgb(255, 255, 255));

        CVexilLibPictures::PaintBlobInPictureBox(box);
        EXPECT_EQ(box.Picture().size(), natural) << c.Width << "x" << c.Height;
        CVexilLibPictures::PaintBlobInPictureBox(box);
        EXPECT_EQ(box.Picture().size(), c.Fitted) << c.Width << "x" << c.Height;

        EXPECT_EQ(blob->DynRefCount(), 2);
        EXPECT_EQ(box.Tag(), QLatin1Char(' ') + QString::number(blob->Id()));
    }
}

TEST_F(PictureDisplayTest, AClickThatCannotFitDoesNothing)
{
    const TBlobRef blob = AddPng(100, 50);
    const TBlobRef broken = AddBlob("not a picture");

    CVexilPictureBox& untagged = Box(400, 400);
    CVexilLibPictures::PaintBlobInPictureBox(untagged);
    ExpectEmpty(untagged);

    CVexilPictureBox& flat = Box(400, 0);
    Show(flat, blob->Id());
    CVexilLibPictures::PaintBlobInPictureBox(flat);
    EXPECT_EQ(flat.Picture().size(), QSize(100, 50));

    // A Tag naming a blob that cannot be decoded (left by older code or another window).
    CVexilPictureBox& undecodable = Box(400, 400);
    undecodable.SetTag(QLatin1Char(' ') + QString::number(broken->Id()));
    CVexilLibPictures::PaintBlobInPictureBox(undecodable);
    EXPECT_TRUE(undecodable.Picture().isNull());

    // No stack open.
    CVexilPictureBox& box = Box(400, 400);
    Show(box, blob->Id());
    CVexilStackViewLink::Install(nullptr);
    CVexilLibPictures::PaintBlobInPictureBox(box);
    EXPECT_EQ(box.Picture().size(), QSize(100, 50));
    EXPECT_EQ(blob->DynRefCount(), 3);
    EXPECT_EQ(broken->DynRefCount(), 1);
}
}  // namespace
