// The picture viewer in the running program: opened by a double click on a picture field, it
// shows the picture fitted to the window with the data of its file, and gives back its hold on
// the picture when it closes, also when the stack closes or the card went first.

#include "PlacesProgram.h"
#include "presentation/VexilLibPictures.h"
#include "presentation/VexilPictureViewer.h"

#include <QResizeEvent>

namespace
{
class PictureViewerTest : public PlacesProgram
{
protected:
    static CVexilPictureViewer* Viewer()
    {
        return static_cast<CVexilPictureViewer*>(Loaded(CVexilPictureViewer::KClassName));
    }
    static TControlRef Photo()
    {
        TControlRef photo;
        Background(QStringLiteral("City"))->GetControlByName(QStringLiteral("Photo"), photo);
        return photo;
    }
    static TBlobRef PhotoOf(const QString& aCard)
    {
        TValue value;
        Card(aCard)->GetControlVal(Photo()->Id(), value, false);
        return gStack->BlobStore()->ReadBlob(value.iInt);
    }
    // Shows the card and double-clicks its photo, as the user opens the viewer.
    static void OpenViewerOn(const QString& aCard)
    {
        gStackView->GoToCard(Card(aCard));
        CardWindowUser::Activate(CardWindow());
        QTest::mouseDClick(CardWindowUser::Input(Photo()), Qt::LeftButton);
        ASSERT_NE(Viewer(), nullptr);
        ASSERT_TRUE(Viewer()->isVisible());
    }
    static QStringList Texts()
    {
        const CVexilPictureViewer* viewer = Viewer();
        return {viewer->fWidth->text(), viewer->fHeight->text(), viewer->fFileDate->text(), viewer->fFileName->text(),
                viewer->fMimeType->text()};
    }
    // The box as it is drawn, inside its border.
    static QImage Drawn()
    {
        CVexilPictureBox* box = Viewer()->fPictureBox;
        return box->grab(box->contentsRect()).toImage();
    }
    static void ResizeViewer(int aWidth, int aHeight)
    {
        Viewer()->resize(aWidth, aHeight);
        QCoreApplication::processEvents();
    }
    // Whether the drawn picture's four quarters end where a picture of that size ends.
    static void ExpectQuarters(const QImage& aDrawn, const QSize& aSize)
    {
        const int w = aSize.width();
        const int h = aSize.height();
        EXPECT_EQ(QColor(aDrawn.pixel(2, 2)), QColor(Qt::red));
        EXPECT_EQ(QColor(aDrawn.pixel(w - 3, 2)), QColor(Qt::green));
        EXPECT_EQ(QColor(aDrawn.pixel(2, h - 3)), QColor(Qt::blue));
        EXPECT_EQ(QColor(aDrawn.pixel(w - 3, h - 3)), QColor(Qt::white));
        if (w + 3 < aDrawn.width())
        {
            EXPECT_NE(QColor(aDrawn.pixel(w + 2, 2)), QColor(Qt::green));
        }
        if (h + 3 < aDrawn.height())
        {
            EXPECT_NE(QColor(aDrawn.pixel(2, h + 2)), QColor(Qt::blue));
        }
    }
};

TEST_F(PictureViewerTest, ADoubleClickOnThePictureShowsItWithTheDataOfItsFile)
{
    const TBlobRef photo = PhotoOf(QStringLiteral("Zurich"));
    const int32_t held = photo->DynRefCount();
    OpenViewerOn(QStringLiteral("Zurich"));
    EXPECT_EQ(Viewer()->windowTitle(), QStringLiteral("Picture Viewer"));
    EXPECT_EQ(Viewer()->BlobId(), photo->Id());
    EXPECT_EQ(Texts(), QStringList({"300", "150", "3/7/2024   2:05:09 PM", kZurichFile,
                                    "image/png"}));
    EXPECT_EQ(photo->DynRefCount(), held + 1);

    // The picture fills the box one way and keeps its proportions 2 : 1.
    const QImage drawn = Drawn();
    const QSize fitted = CVexilLibPictures::FittedSize({300, 150}, QSizeF(drawn.size()));
    EXPECT_TRUE(fitted.width() == drawn.width() || fitted.height() == drawn.height());
    ExpectQuarters(drawn, fitted);

    // The close box gives the hold back.
    Viewer()->close();
    EXPECT_EQ(Viewer(), nullptr);
    EXPECT_EQ(photo->DynRefCount(), held);
}

TEST_F(PictureViewerTest, ResizingTheWindowResizesTheBoxAndThePictureInProportion)
{
    OpenViewerOn(QStringLiteral("Zurich"));
    for (const QSize size : {QSize(700, 300), QSize(400, 700), QSize(900, 800)})
    {
        ResizeViewer(size.width(), size.height());
        const CVexilPictureBox* box = Viewer()->fPictureBox;
        // To the right and to the bottom the box reaches the window's edges.
        EXPECT_EQ(box->geometry().right(), Viewer()->width() - 1) << size.width();
        EXPECT_EQ(box->geometry().bottom(), Viewer()->height() - 1) << size.width();
        const QImage drawn = Drawn();
        const QSize fitted = CVexilLibPictures::FittedSize({300, 150}, QSizeF(drawn.size()));
        EXPECT_NEAR(double(fitted.width()) / fitted.height(), 2.0, 0.02);
        ExpectQuarters(drawn, fitted);
    }
}

TEST_F(PictureViewerTest, AnUnsetSizeShowsEmptyBoxesAndABadPictureNoPicture)
{
    OpenViewerOn(QStringLiteral("Bern"));
    EXPECT_EQ(Texts().mid(0, 2), QStringList({"", ""}));
    EXPECT_FALSE(Viewer()->fPictureBox->Picture().isNull());

    // Geneva's bytes are no picture: the card window cannot show it and names no picture to
    // the main window, but the viewer may be asked for it all the same. Its texts, an empty box
    // and no hold on the blob.
    const TBlobRef bern = PhotoOf(QStringLiteral("Bern"));
    const int32_t bernHeld = bern->DynRefCount();
    const TBlobRef geneva = PhotoOf(QStringLiteral("Geneva"));
    const int32_t genevaHeld = geneva->DynRefCount();
    Viewer()->ShowPicture(geneva->Id());
    EXPECT_EQ(Texts().mid(0, 2), QStringList({"10", "10"}));
    EXPECT_EQ(Texts().last(), QStringLiteral("image/png"));
    EXPECT_TRUE(Viewer()->fPictureBox->Picture().isNull());
    EXPECT_TRUE(Viewer()->fPictureBox->Tag().isEmpty());
    EXPECT_EQ(geneva->DynRefCount(), genevaHeld);
    // Bern's picture was given back as Geneva's came.
    EXPECT_EQ(bern->DynRefCount(), bernHeld - 1);
    Viewer()->close();
    EXPECT_EQ(geneva->DynRefCount(), genevaHeld);
}

TEST_F(PictureViewerTest, ClosingTheStackClosesTheViewerAndGivesThePictureBack)
{
    const TBlobRef photo = PhotoOf(QStringLiteral("Zurich"));
    OpenViewerOn(QStringLiteral("Zurich"));
    const int32_t held = photo->DynRefCount();
    Item(QStringLiteral("fCloseStack"))->trigger();
    EXPECT_EQ(gStack, nullptr);
    EXPECT_EQ(Viewer(), nullptr);
    // Neither the viewer nor the card window holds it any more.
    EXPECT_EQ(photo->DynRefCount(), held - 2);
}

TEST_F(PictureViewerTest, APictureWhoseCardWentFirstIsGivenBackWithoutAQuestion)
{
    ScriptedPrompts& prompts = ScriptedPrompts::Instance();
    const TBlobRef photo = PhotoOf(QStringLiteral("Zurich"));
    const int32_t id = photo->Id();
    OpenViewerOn(QStringLiteral("Zurich"));
    prompts.ExpectMessage(true);
    Item(QStringLiteral("fDeleteCard"))->trigger();
    EXPECT_EQ(prompts.Pending(), 0);
    // Only the viewer keeps the picture now; its close lets the store drop it.
    ASSERT_TRUE(gStack->BlobStore()->HasBlob(id));
    Viewer()->close();
    EXPECT_FALSE(gStack->BlobStore()->HasBlob(id));

    // Again, and the picture leaves the store while the viewer shows it (forced here: the store
    // asks first, as it would never drop a picture that is shown). The stack closes under the
    // viewer, the changed stack is not saved, and nothing more is asked.
    OpenViewerOn(QStringLiteral("Bern"));
    const int32_t bernId = Viewer()->BlobId();
    prompts.ExpectMessage(true);
    Item(QStringLiteral("fDeleteCard"))->trigger();
    prompts.ExpectMessage(true);
    gStack->BlobStore()->DeleteBlob(bernId);
    ASSERT_FALSE(gStack->BlobStore()->HasBlob(bernId));
    prompts.ExpectSaveChanges(1);
    Item(QStringLiteral("fCloseStack"))->trigger();
    EXPECT_EQ(prompts.Pending(), 0);
    EXPECT_EQ(gStack, nullptr);
    EXPECT_EQ(Viewer(), nullptr);
    EXPECT_EQ(prompts.Messages().size(), 3U);
}
}  // namespace
