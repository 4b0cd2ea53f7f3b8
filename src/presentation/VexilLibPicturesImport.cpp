#include "presentation/VexilLibPictures.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilNumText.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlobStore.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"
#include "platform/VexilPicture.h"
#include "script/VexilStackViewLink.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <memory>

namespace
{
const QString kContext = QStringLiteral("CVexilLib.HandleImportPic");
const QString kSampleContext = QStringLiteral("CVexilLib.MakeSample");
const QString kSampleMimeType = QStringLiteral("picture/jpeg");

// The formats the phone client shows; others are imported only when the user agrees.
bool TakenAtOnce(int32_t aType)
{
    return aType == EPicBmp || aType == EPicJpeg || aType == EPicPng || aType == EPicGif;
}

QString MimeTypeOf(int32_t aType)
{
    switch (aType)
    {
    case EPicBmp: return QStringLiteral("image/x-windows-bmp");
    case EPicJpeg: return QStringLiteral("image/jpeg");
    case EPicGif: return QStringLiteral("image/gif");
    case EPicPng: return QStringLiteral("image/png");
    default: return QStringLiteral("unknown");
    }
}

[[noreturn]] void RefuseFile(const QString& aFileName, const QString& aLimit)
{
    CVexilError::Throw(EErrWrongFormat, kContext, aFileName + QStringLiteral(": ") + aLimit);
}

// The whole file; one that the stack could not hold is refused before it is read.
QByteArray ReadPictureFile(const QString& aFileName)
{
    CVexilFile file;
    file.Construct(aFileName, EFilRead);
    file.OpenFile();
    const int64_t size = file.Size();
    if (size > CVexilLibPictures::KMaxFileBytes)
        RefuseFile(aFileName, QStringLiteral("more than %1 bytes").arg(CVexilLibPictures::KMaxFileBytes));
    QByteArray bytes = file.ReadRawBytes(static_cast<int32_t>(size));
    file.CloseFile();
    return bytes;
}

// Refuses a picture whose header gives a size the stack cannot hold, before it is decoded.
void CheckHeaderSize(const QByteArray& aBytes, const QString& aFileName)
{
    const std::optional<TPicSize> size = CVexilPicture::HeaderSize(aBytes);
    if (!size)
        return;
    const QString pixels = QStringLiteral("%1 x %2 pixels").arg(size->Width).arg(size->Height);
    if (size->Width > CVexilPicture::KMaxSide || size->Height > CVexilPicture::KMaxSide)
        RefuseFile(aFileName, pixels + QStringLiteral(", more than %1 on a side").arg(CVexilPicture::KMaxSide));
    if (int64_t{size->Width} * size->Height > CVexilPicture::KMaxPixels)
        RefuseFile(aFileName, pixels + QStringLiteral(", more than %1 in all").arg(CVexilPicture::KMaxPixels));
}

// A sample worked out completely before anything is stored, so that a failure leaves the
// store as it was.
struct TSample
{
    int32_t Width = 0;
    int32_t Height = 0;
    bool Needed = false;
    QByteArray Jpeg;
};

TSample PrepareSample(const CVexilPicture& aPicture, const QString& aFileName)
{
    TSample sample{aPicture.Width(), aPicture.Height(), false, {}};
    sample.Needed = sample.Width > CVexilLibPictures::KSampleSide || sample.Height > CVexilLibPictures::KSampleSide;
    if (!sample.Needed)
        return sample;
    int32_t width = 0;
    int32_t height = 0;
    CVexilLibPictures::SampleSize(sample.Width, sample.Height, width, height);
    const CVexilPicture scaled = aPicture.Rescaled(width, height);
    if (scaled.IsNull() || !scaled.ToJpeg(sample.Jpeg))
        CVexilError::Throw(EErrWrongFormat, kSampleContext, aFileName);
    return sample;
}

void StoreSample(CVexilStack& aStack, CVexilBlob& aBlob, const TSample& aSample, bool& aMade, int32_t& aSampleId)
{
    // Decoding keeps both sides within 16 bits.
    aBlob.SetWidth(static_cast<int16_t>(aSample.Width));
    aBlob.SetHeight(static_cast<int16_t>(aSample.Height));
    aMade = aSample.Needed;
    aSampleId = UndefLong;
    if (!aSample.Needed)
        return;
    auto sample = std::make_shared<CVexilBlob>();
    sample->Construct(aStack.IdGen().NextId());
    sample->SetName(aBlob.Name());
    sample->SetFilename(aBlob.Filename());
    sample->SetFileDate(aBlob.FileDate());
    sample->SetFileTime(aBlob.FileTime());
    sample->SetMimeType(kSampleMimeType);
    sample->SetBytes(aSample.Jpeg);
    aStack.BlobStore()->AddBlob(sample);
    aBlob.SetSampleId(sample->Id());
    sample->SetOriginalId(aBlob.Id());
    aBlob.IncRefCount();
    aSampleId = sample->Id();
}

TBlobRef NewPictureBlob(CVexilStack& aStack, const QString& aFileName, const QByteArray& aBytes, int32_t aType)
{
    auto blob = std::make_shared<CVexilBlob>();
    blob->Construct(aStack.IdGen().NextId());
    blob->SetBytes(aBytes);
    QString folder;
    QString name;
    CVexilLib::SplitPath(aFileName, folder, name);
    blob->SetName(name);
    blob->SetFilename(aFileName);
    blob->SetMimeType(MimeTypeOf(aType));
    const QDateTime modified = QFileInfo(aFileName).lastModified();
    const QTime time = modified.time();
    blob->SetFileDate(CVexilValue::FromQDate(modified.date()));
    blob->SetFileTime(CVexilValue::FromQTime(QTime(time.hour(), time.minute(), time.second())));
    return blob;
}

// A way out with a message: the wait cursor goes before the message shows.
void Refuse(int32_t aMsgId)
{
    CVexilDialogLib::EndWait();
    CVexilMsg::Show(aMsgId, EMsgClsCritical);
}
}  // namespace

void CVexilLibPictures::SampleSize(int32_t aWidth, int32_t aHeight, int32_t& aSampleWidth, int32_t& aSampleHeight)
{
    aSampleWidth = aWidth;
    aSampleHeight = aHeight;
    if (aWidth <= KSampleSide && aHeight <= KSampleSide)
        return;
    const double scale = 1000.0 / KSampleSide;
    const int32_t larger = std::max(CVexilNumText::RoundToInt32(aWidth * scale), CVexilNumText::RoundToInt32(aHeight * scale));
    // A side ratio above 400 to 1 would round the shorter side to nothing.
    aSampleWidth = std::max(1, CVexilNumText::RoundToInt32(aWidth * 1000.0 / larger));
    aSampleHeight = std::max(1, CVexilNumText::RoundToInt32(aHeight * 1000.0 / larger));
}

void CVexilLibPictures::MakeSample(CVexilStack& aStack, CVexilBlob& aBlob, bool& aMade, int32_t& aSampleId)
{
    const CVexilPicture picture = CVexilPicture::Decode(aBlob.Bytes());
    StoreSample(aStack, aBlob, PrepareSample(picture, aBlob.Filename()), aMade, aSampleId);
}

void CVexilLibPictures::HandleImportPic(const CVexilControl* aControl, const QString& aFileName, TBlobRef& aBlob)
{
    aBlob.reset();
    CVexilDialogLib::BeginWait();
    try
    {
        IVexilStackViewLink* view = CVexilStackViewLink::Current();
        const TStackRef stack = view ? view->Stack() : nullptr;
        const TCardRef card = stack && aControl ? view->CurCard() : nullptr;
        if (!stack || (aControl && !card))
        {
            CVexilError::CheckFailed(false, aControl, kContext, QStringLiteral("HandleImportPic no stack or card"));
            CVexilDialogLib::EndWait();
            return;
        }

        const int32_t type = CVexilPicture::FileType(aFileName);
        if (type == EPicUnknown)
            return Refuse(EMsgUnknownPicFormat);
        if (!TakenAtOnce(type) && !CVexilMsg::Ask(EMsgUnsupportedPicFormat, EMsgClsQuestion, CVexilMsg::Undef, CVexilMsg::Undef))
        {
            CVexilDialogLib::EndWait();
            return;
        }
        const QByteArray bytes = ReadPictureFile(aFileName);
        CheckHeaderSize(bytes, aFileName);
        // Decoded before anything is added: a file that only looks like a picture adds nothing.
        const CVexilPicture picture = CVexilPicture::Decode(bytes);
        if (picture.IsNull())
            return Refuse(EMsgUnknownPicFormat);
        const TSample sample = aControl ? PrepareSample(picture, aFileName) : TSample{};

        const TBlobRef blob = NewPictureBlob(*stack, aFileName, bytes, type);
        stack->BlobStore()->AddBlob(blob);
        aBlob = blob;
        if (aControl)
        {
            bool made = false;
            int32_t sampleId = UndefLong;
            StoreSample(*stack, *blob, sample, made, sampleId);
            TValue value;
            value.iType = EValBlobId;
            value.iInt = made ? sampleId : blob->Id();
            view->SetValue(card, aControl->Id(), value);
        }
        CVexilDialogLib::EndWait();
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(kContext, e);
        // Ends the wait cursor of this import.
        CVexilMsg::ShowError();
    }
}
