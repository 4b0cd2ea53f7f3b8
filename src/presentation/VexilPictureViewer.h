#pragma once

#include "platform/VexilCtls.h"
#include "presentation/VexilManagedForm.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

class CVexilBlobStore;

// The picture box of the picture viewer: it shows its picture scaled to fit inside it with its
// proportions kept, at its top left, and follows its own size.
class CVexilFittedPictureBox final : public CVexilPictureBox
{
    Q_OBJECT

public:
    using CVexilPictureBox::CVexilPictureBox;

protected:
    void paintEvent(QPaintEvent* aEvent) override;

private:
    // The last scaled picture, kept while the box and the picture keep their sizes.
    QImage iScaled;
    qint64 iScaledFrom = 0;
};

// The window "Picture Viewer": one picture of the open stack with its size in pixels and the
// date, name and type of the file it came from. The picture fills the window to the right and
// to the bottom, scaled with its proportions kept.
//
// Guarantees: while its box shows a picture, the viewer holds one run-time reference on that
// blob and gives it back when it shows another blob or unloads, and only to a store that still
// has the blob; a picture that cannot be decoded shows an empty box beside its texts and holds
// no reference. The window unloads when the stack closes. No exception leaves an event
// handler; what a handler raises is reported with its message.
class CVexilPictureViewer final : public CVexilManagedForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilPictureViewer");

    CVexilPictureViewer();

    // Registers the class with the form registry (again is harmless).
    static void Register();

    // Shows blob aBlobId of the open stack.
    Q_INVOKABLE void ShowPicture(int aBlobId);

    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;

    int32_t BlobId() const { return iBlobId; }

    CVexilFittedPictureBox* fPictureBox = nullptr;
    CVexilTextBox* fWidth = nullptr;
    CVexilTextBox* fHeight = nullptr;
    CVexilTextBox* fFileDate = nullptr;
    CVexilTextBox* fFileName = nullptr;
    CVexilTextBox* fMimeType = nullptr;

protected:
    void Load() override;
    void Unloading() override;
    void resizeEvent(QResizeEvent* aEvent) override;

private:
    void BuildDesign();
    void FitPictureBox();
    // The box lets go of its picture and gives back the reference it held.
    void ReleasePicture();

    int32_t iBlobId = UndefLong;
    // The store of the picture shown: the reference goes back there, if at all.
    std::weak_ptr<CVexilBlobStore> iStore;
};
