#include "presentation/VexilPictureViewer.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlobStore.h"
#include "model/VexilStack.h"
#include "model/VexilWinManLink.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilLibPictures.h"
#include "presentation/VexilStackView.h"

#include <QPainter>

namespace
{
// The design in twips: the five texts in four rows above the picture.
constexpr float KClientWidth = 7200;
constexpr float KClientHeight = 6600;
constexpr float KMargin = 120;
constexpr float KRow = 390;
constexpr float KBoxHeight = 315;
constexpr float KLabelWidth = 1800;
constexpr float KNumberWidth = 900;
constexpr float KPictureTop = KMargin + 4 * KRow + KMargin;
}  // namespace

void CVexilFittedPictureBox::paintEvent(QPaintEvent* aEvent)
{
    // The frame only: the picture is drawn here to the box's size, not at its natural size.
    QFrame::paintEvent(aEvent);
    const QImage& picture = Picture();
    const QRect inner = contentsRect();
    if (picture.isNull() || inner.isEmpty())
        return;
    const QSize fitted = CVexilLibPictures::FittedSize(picture.size(), QSizeF(inner.size()));
    if (iScaled.size() != fitted || iScaledFrom != picture.cacheKey())
    {
        iScaled = picture.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        iScaledFrom = picture.cacheKey();
    }
    QPainter painter(this);
    painter.setClipRect(inner);
    painter.drawImage(inner.topLeft(), iScaled);
}

CVexilPictureViewer::CVexilPictureViewer() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Picture Viewer"));
    resize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));
    BuildDesign();
}

void CVexilPictureViewer::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilPictureViewer; });
}

void CVexilPictureViewer::BuildDesign()
{
    const float fieldLeft = KMargin + KLabelWidth;
    auto addText = [this](const QString& aName, const QString& aLabel, float aLeft, int aRow, float aWidth) {
        const float top = KMargin + float(aRow) * KRow;
        auto* label = Add<CVexilLabel>(aName + QStringLiteral("Label"));
        label->setText(aLabel);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->Move(aLeft, top, KLabelWidth, KBoxHeight);
        auto* box = Add<CVexilTextBox>(aName);
        box->setReadOnly(true);
        box->Move(aLeft + KLabelWidth, top, aWidth, KBoxHeight);
        return box;
    };
    fWidth = addText(QStringLiteral("fWidth"), QStringLiteral("Width:"), KMargin, 0, KNumberWidth);
    fHeight = addText(QStringLiteral("fHeight"), QStringLiteral("Height:"), fieldLeft + KNumberWidth + KMargin, 0,
                      KNumberWidth);
    const float wide = KClientWidth - fieldLeft - KMargin;
    fFileDate = addText(QStringLiteral("fFileDate"), QStringLiteral("Original file date:"), KMargin, 1, wide);
    fFileName = addText(QStringLiteral("fFileName"), QStringLiteral("Original file name:"), KMargin, 2, wide);
    fMimeType = addText(QStringLiteral("fMimeType"), QStringLiteral("Type:"), KMargin, 3, wide);
    fPictureBox = Add<CVexilFittedPictureBox>(QStringLiteral("fPictureBox"));
    fPictureBox->Move(KMargin, KPictureTop, KClientWidth - KMargin, KClientHeight - KPictureTop);
}

void CVexilPictureViewer::Load()
{
    CVexilFormPlacement::Restore(*this);
    FitPictureBox();
}

void CVexilPictureViewer::Unloading()
{
    ReleasePicture();
}

void CVexilPictureViewer::resizeEvent(QResizeEvent* aEvent)
{
    CVexilManagedForm::resizeEvent(aEvent);
    Guarded([this] { FitPictureBox(); });
}

void CVexilPictureViewer::FitPictureBox()
{
    fPictureBox->SetWidth(InnerWidth() - fPictureBox->Left());
    fPictureBox->SetHeight(InnerHeight() - fPictureBox->Top());
}

void CVexilPictureViewer::ShowPicture(int aBlobId)
{
    Guarded([this, aBlobId] {
        const TStackRef stack = gStack;
        if (!stack)
            return;
        ReleasePicture();
        iBlobId = aBlobId;
        const std::shared_ptr<CVexilBlobStore> store = stack->BlobStore();
        iStore = store;
        const TBlobRef blob = store->ReadBlob(aBlobId);
        if (!blob)
            return;
        CVexilDialogLib::SetTextBoxInt(*fWidth, blob->Width());
        CVexilDialogLib::SetTextBoxInt(*fHeight, blob->Height());
        fFileDate->setText(CVexilValue::DateToExtText(blob->FileDate()) + QStringLiteral("   ") +
                           CVexilValue::TimeToExtText(blob->FileTime()));
        fFileName->setText(blob->Filename());
        fMimeType->setText(blob->MimeType());
        CVexilLibPictures::ShowBlobInPictureBox(*store, *fPictureBox, aBlobId);
    });
}

void CVexilPictureViewer::ReleasePicture()
{
    bool tagged = false;
    const int32_t id = fPictureBox->Tag().toInt(&tagged);
    fPictureBox->SetTag(QString());
    fPictureBox->SetPicture(QImage());
    const std::shared_ptr<CVexilBlobStore> store = iStore.lock();
    // The blob's card may have gone and the blob with it: nothing is left to give back then.
    if (!tagged || !store || !store->HasBlob(id))
        return;
    if (TBlobRef blob = store->ReadBlob(id))
        store->DecDynRefCount(blob);
}

void CVexilPictureViewer::ChangeNotify(int32_t aEvent, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/)
{
    Guarded([this, aEvent] {
        if (aEvent == EChgClosingStack)
            UnloadForm();
    });
}
