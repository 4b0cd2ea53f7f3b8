#pragma once

#include "model/VexilBlob.h"

#include <QSize>
#include <QString>

#include <cstdint>

class CVexilBlobStore;
class CVexilControl;
class CVexilPictureBox;
class CVexilStack;

// The module procedures on pictures: showing a blob in a picture box, switching a shown
// picture between its natural and a fitted size, and importing picture files with their
// samples.
//
// A picture box holds a blob's id in its Tag (a blank and the digits) exactly while it holds a
// run-time reference on that blob and shows its picture; a picture that cannot be decoded
// leaves the box empty, without Tag and reference.
class CVexilLibPictures
{
public:
    // The longest side of a sample; pictures larger in either direction get one.
    static constexpr int32_t KSampleSide = 200;
    // The largest picture file the stack can hold (the limit of its byte blocks).
    static constexpr int64_t KMaxFileBytes = 10'000'000;

    // Shows blob aBlobId of the store at its natural size, taking a reference on it, after
    // releasing the blob the box showed before; UndefLong only clears the box. Showing the id
    // the box shows already changes nothing. A failing read of the new blob leaves the box
    // empty; the old blob is released all the same.
    static void ShowBlobInPictureBox(CVexilBlobStore& aStore, CVexilPictureBox& aBox, int32_t aBlobId);
    // The click on a box that shows a blob of the open stack: a picture at its natural size is
    // drawn to fit the box's inner size (keeping its proportions), a fitted one returns to its
    // natural size. Nothing happens for a box without Tag, without inner size or whose blob
    // cannot be decoded. The blob's counts are not touched.
    static void PaintBlobInPictureBox(CVexilPictureBox& aBox);

    // Imports a picture file into the open stack, as the value of picture field aControl on
    // the current card (with a sample for pictures larger than the sample side), or without a
    // field (a wallpaper: no sample, no size, RefCount 0 for the caller to count). aBlob is the
    // new picture blob, none when nothing was imported. Files that are no picture, that cannot
    // be decoded, or that the stack cannot hold (more than KMaxFileBytes bytes, a side above
    // 32767 or more than 100 million pixels) are refused with a message before anything is
    // added. Reports its own errors; the wait cursor shows while it runs.
    static void HandleImportPic(const CVexilControl* aControl, const QString& aFileName, TBlobRef& aBlob);
    // Decodes the blob, stores its size and, when it is larger than the sample side, adds its
    // JPEG sample to the stack's store and links the two (the picture's RefCount counts the
    // sample). An undecodable blob gets size 0 x 0 and no sample. A sample that cannot be
    // made raises error 1007 before anything is changed.
    static void MakeSample(CVexilStack& aStack, CVexilBlob& aBlob, bool& aMade, int32_t& aSampleId);

    // The size a picture takes to fit an inner size with its proportions kept: the longer way
    // relative to the inner size decides, and a smaller picture is enlarged; at least 1 x 1.
    static QSize FittedSize(const QSize& aPicture, const QSizeF& aInner);

    // The size of the sample of a w x h picture: the longer side becomes KSampleSide, the
    // other follows in proportion, rounded, at least 1. Pictures within the side keep theirs.
    static void SampleSize(int32_t aWidth, int32_t aHeight, int32_t& aSampleWidth, int32_t& aSampleHeight);
};
