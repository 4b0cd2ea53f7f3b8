#include "AssertAnswers.h"
#include "PictureFixture.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilMsg.h"
#include "platform/VexilPicture.h"
#include "presentation/VexilLibPictures.h"

#include <QDateTime>
#include <QFileInfo>

namespace
{
class PictureImportTest : public PictureFixture
{
protected:
    QString WriteFile(const QString& aName, const QByteArray& aBytes) { return SetFileContent(iDir.File(aName), aBytes); }

    QString WritePng(int aWidth, int aHeight, const QString& aName = QStringLiteral("pic.png"))
    {
        return WriteFile(aName, QtPictureBytes(QuarterImage(aWidth, aHeight), "PNG"));
    }

    // Imports into the picture field of the card on view; the new picture blob.
    TBlobRef Import(const QString& aFileName, const CVexilControl* aControl)
    {
        TBlobRef blob;
        CVexilLibPictures::HandleImportPic(aControl, aFileName, blob);
        EXPECT_EQ(CVexilDialogLib::WaitLevel(), 0) << aFileName.toStdString();
        return blob;
    }
    TBlobRef Import(const QString& aFileName) { return Import(aFileName, iField.get()); }

    TBlobRef Read(int32_t aId) { return Store().ReadBlob(aId); }
};

TEST(SampleSize, LongerSideBecomes200)
{
    const struct
    {
        int32_t Width;
        int32_t Height;
        int32_t SampleWidth;
        int32_t SampleHeight;
    } cases[] = {
        {1000, 600, 200, 120}, {640, 427, 200, 133}, {300, 301, 199, 200}, {201, 50, 200, 50},
        {800, 600, 200, 150},  {600, 800, 150, 200}, {200, 200, 200, 200}, {200, 1, 200, 1},
        // Halves round to even: 250 x 3 gives 200 x 2.4, 250 x 5 exactly 200 x 4.
        {250, 3, 200, 2},      {250, 5, 200, 4},
        // A shorter side that rounds to nothing keeps one pixel.
        {1000, 2, 200, 1},     {32767, 1, 200, 1},   {1, 32767, 1, 200},
    };
    for (const auto& c : cases)
    {
        int32_t width = 0;
        int32_t height = 0;
        CVexilLibPictures::SampleSize(c.Width, c.Height, width, height);
        EXPECT_EQ(width, c.SampleWidth) << c.Width << "x" << c.Height;
        EXPECT_EQ(height, c.SampleHeight) << c.Width << "x" << c.Height;
    }
}

TEST_F(PictureImportTest, LargePicturesGetAJpegSampleAsTheFieldValue)
{
    const struct
    {
        int Width;
        int Height;
        QSize Sample;
    } cases[] = {
        {1000, 600, QSize(200, 120)}, {640, 427, QSize(200, 133)}, {300, 301, QSize(199, 200)},
        {201, 50, QSize(200, 50)},    {800, 600, QSize(200, 150)},
    };
    for (const auto& c : cases)
    {
        const QString file = WritePng(c.Width, c.Height);
        const QByteArray bytes = FileContent(file);
        const TBlobRef picture = Import(file);
        ASSERT_TRUE(picture) << c.Width << "x" << c.Height;
        // The pair of the value before went with it.
        EXPECT_EQ(Store().NumBlobs(), 2);

        EXPECT_EQ(picture->MimeType(), QStringLiteral("image/png"));
        EXPECT_EQ(picture->Bytes(), bytes);
        EXPECT_EQ(picture->Width(), c.Width);
        EXPECT_EQ(picture->Height(), c.Height);
        const TBlobRef sample = Read(picture->SampleId());
        ASSERT_TRUE(sample);
        EXPECT_EQ(sample->OriginalId(), picture->Id());
        EXPECT_EQ(sample->MimeType(), QStringLiteral("picture/jpeg"));
        EXPECT_EQ(CVexilPicture::BytesType(sample->Bytes()), EPicJpeg);
        EXPECT_EQ(CVexilPicture::Decode(sample->Bytes()).ToImage().size(), c.Sample) << c.Width << "x" << c.Height;
        EXPECT_EQ(sample->Width(), UndefInt);
        EXPECT_EQ(sample->Height(), UndefInt);
        EXPECT_EQ(sample->Name(), picture->Name());
        EXPECT_EQ(sample->Filename(), picture->Filename());

        // The field names the sample; the sample names its picture; the cache holds both.
        EXPECT_EQ(FieldValue().iType, EValBlobId);
        EXPECT_EQ(FieldValue().iInt, sample->Id());
        EXPECT_EQ(picture->RefCount(), 1);
        EXPECT_EQ(sample->RefCount(), 1);
        EXPECT_EQ(picture->DynRefCount(), 1);
        EXPECT_EQ(sample->DynRefCount(), 1);
    }
}

TEST_F(PictureImportTest, APictureWithin200NeedsNoSample)
{
    const QString file = WritePng(200, 200, QStringLiteral("square.png"));
    const TBlobRef picture = Import(file);
    ASSERT_TRUE(picture);
    EXPECT_EQ(FieldValue().iInt, picture->Id());
    EXPECT_EQ(picture->SampleId(), UndefLong);
    EXPECT_EQ(picture->RefCount(), 1);
    EXPECT_EQ(picture->Width(), 200);
    EXPECT_EQ(picture->Height(), 200);
    EXPECT_EQ(Store().NumBlobs(), 1);

    // Name without folder, the full path, and the file's modification time.
    EXPECT_EQ(picture->Name(), QStringLiteral("square.png"));
    EXPECT_EQ(picture->Filename(), file);
    const QDateTime modified = QFileInfo(file).lastModified();
    EXPECT_EQ(picture->FileDate(), CVexilValue::FromQDate(modified.date()));
    const QTime time = modified.time();
    EXPECT_EQ(picture->FileTime(), CVexilValue::FromQTime(QTime(time.hour(), time.minute(), time.second())));
}

TEST_F(PictureImportTest, EachFormatIsTakenWithItsMimeType)
{
    const QImage image = QuarterImage(300, 100);
    QImage alpha = QuarterImage(400, 300, QImage::Format_ARGB32);
    alpha.fill(qRgba(0, 0, 0, 0));
    const struct
    {
        const char* Name;
        QByteArray Bytes;
        const char* MimeType;
    } cases[] = {
        {"pic.bmp", QtPictureBytes(image, "BMP"), "image/x-windows-bmp"},
        {"pic.jpg", QtPictureBytes(image, "JPEG"), "image/jpeg"},
        {"pic.gif", FreeImagePictureBytes(image, FIF_GIF), "image/gif"},
        {"pic.png", QtPictureBytes(image, "PNG"), "image/png"},
        // FreeImage writes no JPEG from 32 or 64 bits a pixel: the sample is made all the same.
        {"alpha.png", QtPictureBytes(alpha, "PNG"), "image/png"},
        {"alpha16.png", QtPictureBytes(alpha.convertToFormat(QImage::Format_RGBA64), "PNG"), "image/png"},
        {"palette.png", QtPictureBytes(image.convertToFormat(QImage::Format_Indexed8), "PNG"), "image/png"},
    };
    for (const auto& c : cases)
    {
        const TBlobRef picture = Import(WriteFile(QLatin1String(c.Name), c.Bytes));
        ASSERT_TRUE(picture) << c.Name;
        EXPECT_EQ(picture->MimeType(), QLatin1String(c.MimeType)) << c.Name;
        const TBlobRef sample = Read(FieldValue().iInt);
        ASSERT_TRUE(sample) << c.Name;
        EXPECT_EQ(sample->OriginalId(), picture->Id()) << c.Name;
        const QImage shown = CVexilPicture::Decode(sample->Bytes()).ToImage();
        EXPECT_EQ(shown.width(), 200) << c.Name;
        EXPECT_FALSE(shown.hasAlphaChannel()) << c.Name;
    }
    EXPECT_TRUE(ScriptedPrompts::Instance().Messages().empty());
}

TEST_F(PictureImportTest, OtherFormatsAreImportedOnlyWhenTheUserAgrees)
{
    const QString file = WriteFile(QStringLiteral("pic.tif"), FreeImagePictureBytes(QuarterImage(30, 20), FIF_TIFF));

    ScriptedPrompts::Instance().ExpectMessage(false);
    EXPECT_FALSE(Import(file));
    ASSERT_EQ(ScriptedPrompts::Instance().Messages().size(), size_t{1});
    EXPECT_EQ(ScriptedPrompts::Instance().Messages()[0].Id, EMsgUnsupportedPicFormat);
    EXPECT_EQ(ScriptedPrompts::Instance().Messages()[0].Class, EMsgClsQuestion);
    EXPECT_EQ(Store().NumBlobs(), 0);
    EXPECT_EQ(FieldValue().iType, EValUndef);

    ScriptedPrompts::Instance().ExpectMessage(true);
    const TBlobRef picture = Import(file);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->MimeType(), QStringLiteral("unknown"));
    EXPECT_EQ(FieldValue().iInt, picture->Id());
    EXPECT_EQ(picture->Width(), 30);
}

TEST_F(PictureImportTest, AWallPaperGetsNeitherSampleNorSize)
{
    const TBlobRef picture = Import(WritePng(800, 600), nullptr);
    ASSERT_TRUE(picture);
    EXPECT_EQ(Store().NumBlobs(), 1);
    EXPECT_EQ(picture->Width(), UndefInt);
    EXPECT_EQ(picture->Height(), UndefInt);
    EXPECT_EQ(picture->SampleId(), UndefLong);
    EXPECT_EQ(picture->RefCount(), 0);
    EXPECT_EQ(picture->DynRefCount(), 1);
    EXPECT_EQ(FieldValue().iType, EValUndef);

    // A wallpaper that only looks like a picture is refused as well.
    const QByteArray png = QtPictureBytes(QuarterImage(100, 100), "PNG");
    ScriptedPrompts::Instance().ExpectMessage();
    EXPECT_FALSE(Import(WriteFile(QStringLiteral("cut.png"), png.left(png.size() / 2)), nullptr));
    EXPECT_EQ(ScriptedPrompts::Instance().Messages().back().Id, EMsgUnknownPicFormat);
    EXPECT_EQ(Store().NumBlobs(), 1);
}

TEST_F(PictureImportTest, AReplacedValueTakesItsSampleAndPictureOnceUnshown)
{
    const TBlobRef first = Import(WritePng(1000, 600, QStringLiteral("first.png")));
    ASSERT_TRUE(first);
    const int32_t firstSample = first->SampleId();
    CVexilPictureBox& box = Box();
    CVexilLibPictures::ShowBlobInPictureBox(Store(), box, firstSample);

    const TBlobRef second = Import(WritePng(640, 427, QStringLiteral("second.png")));
    ASSERT_TRUE(second);
    EXPECT_EQ(FieldValue().iInt, second->SampleId());
    // Still shown: both stay until the box lets go.
    EXPECT_TRUE(Store().HasBlob(firstSample));
    EXPECT_TRUE(Store().HasBlob(first->Id()));
    EXPECT_EQ(Store().NumBlobs(), 4);

    CVexilLibPictures::ShowBlobInPictureBox(Store(), box, second->SampleId());
    EXPECT_FALSE(Store().HasBlob(firstSample));
    EXPECT_FALSE(Store().HasBlob(first->Id()));
    EXPECT_EQ(Store().NumBlobs(), 2);

    // Unshown, a replaced value goes at once.
    CVexilLibPictures::ShowBlobInPictureBox(Store(), box, UndefLong);
    const TBlobRef third = Import(WritePng(100, 100, QStringLiteral("third.png")));
    ASSERT_TRUE(third);
    EXPECT_FALSE(Store().HasBlob(second->Id()));
    EXPECT_EQ(Store().NumBlobs(), 1);
}

TEST_F(PictureImportTest, FilesTheStackCannotHoldAreRefusedBeforeAnythingIsAdded)
{
    const TBlobRef kept = Import(WritePng(50, 50, QStringLiteral("kept.png")));
    ASSERT_TRUE(kept);
    ASSERT_EQ(Store().NumBlobs(), 1);

    const QByteArray png = QtPictureBytes(QuarterImage(100, 100), "PNG");
    QByteArray huge = png;
    huge.append(QByteArray(CVexilLibPictures::KMaxFileBytes + 1 - png.size(), '\0'));
    const struct
    {
        const char* Name;
        QByteArray Bytes;
        int32_t Message;
        const char* Limit;
    } cases[] = {
        {"text.png", QByteArray("This is not a picture.\r\n"), EMsgUnknownPicFormat, nullptr},
        {"empty.png", QByteArray(), EMsgUnknownPicFormat, nullptr},
        {"truncated.png", png.left(png.size() / 2), EMsgUnknownPicFormat, nullptr},
        {"wide.png", QtPictureBytes(QImage(33000, 1, QImage::Format_RGB32), "PNG"), EMsgWrongFormat,
         "33000 x 1 pixels, more than 32767 on a side"},
        {"claim.png", PngClaiming(20000, 20000), EMsgWrongFormat, "20000 x 20000 pixels, more than 100000000 in all"},
        {"huge.png", huge, EMsgWrongFormat, "more than 10000000 bytes"},
    };
    for (const auto& c : cases)
    {
        const QString file = WriteFile(QLatin1String(c.Name), c.Bytes);
        ScriptedPrompts::Instance().ExpectMessage();
        EXPECT_FALSE(Import(file)) << c.Name;
        const TMsgPrompt& shown = ScriptedPrompts::Instance().Messages().back();
        EXPECT_EQ(shown.Id, c.Message) << c.Name;
        EXPECT_EQ(shown.Class, EMsgClsCritical) << c.Name;
        if (c.Limit)
        {
            EXPECT_TRUE(shown.Text.contains(file + QStringLiteral(": ") + QLatin1String(c.Limit)))
                << c.Name << ": " << shown.Text.toStdString();
        }
        EXPECT_EQ(Store().NumBlobs(), 1) << c.Name;
        EXPECT_EQ(FieldValue().iInt, kept->Id()) << c.Name;
        EXPECT_EQ(kept->RefCount(), 1) << c.Name;
    }
    // A file of exactly the limit is taken.
    huge.chop(1);
    EXPECT_TRUE(Import(WriteFile(QStringLiteral("limit.png"), huge)));
}

TEST_F(PictureImportTest, MissingFileOrNoCardAddsNothing)
{
    ScriptedPrompts::Instance().ExpectMessage();
    EXPECT_FALSE(Import(iDir.File(QStringLiteral("missing.png"))));
    EXPECT_EQ(ScriptedPrompts::Instance().Messages().back().Id, EMsgUnknownPicFormat);

    // A field but no card on view: a failed check, reported once.
    iView.iCurCard = nullptr;
    ScriptedPrompts::Instance().ExpectMessage(false);  // the check
    ScriptedPrompts::Instance().ExpectMessage();       // its error
    EXPECT_FALSE(Import(WritePng(20, 20)));
    EXPECT_EQ(ScriptedPrompts::Instance().Messages().back().Id, EMsgAssertFailed);
    EXPECT_EQ(Store().NumBlobs(), 0);
}

TEST_F(PictureImportTest, TheWaitCursorEndsOnlyTheImportsOwnLevel)
{
    CVexilDialogLib::BeginWait();
    TBlobRef blob;
    CVexilLibPictures::HandleImportPic(iField.get(), WritePng(20, 20), blob);
    EXPECT_EQ(CVexilDialogLib::WaitLevel(), 1);
    ScriptedPrompts::Instance().ExpectMessage();
    CVexilLibPictures::HandleImportPic(iField.get(), WriteFile(QStringLiteral("x.png"), "no picture"), blob);
    EXPECT_EQ(CVexilDialogLib::WaitLevel(), 1);
    ScriptedPrompts::Instance().ExpectMessage();
    CVexilLibPictures::HandleImportPic(iField.get(), WriteFile(QStringLiteral("c.png"), PngClaiming(40000, 2)), blob);
    EXPECT_EQ(CVexilDialogLib::WaitLevel(), 1);
    CVexilDialogLib::EndWait();
}

TEST_F(PictureImportTest, MakeSampleOfAnUndecodableBlobStoresSizeZero)
{
    const TBlobRef broken = AddBlob("not a picture");
    bool made = true;
    int32_t sampleId = 0;
    CVexilLibPictures::MakeSample(*iStack, *broken, made, sampleId);
    EXPECT_FALSE(made);
    EXPECT_EQ(sampleId, UndefLong);
    EXPECT_EQ(broken->Width(), 0);
    EXPECT_EQ(broken->Height(), 0);
    EXPECT_EQ(Store().NumBlobs(), 1);

    const TBlobRef large = AddPng(1000, 600, 0, false);
    CVexilLibPictures::MakeSample(*iStack, *large, made, sampleId);
    EXPECT_TRUE(made);
    EXPECT_EQ(large->SampleId(), sampleId);
    EXPECT_EQ(large->RefCount(), 1);
    EXPECT_EQ(Read(sampleId)->OriginalId(), large->Id());
}
}  // namespace
