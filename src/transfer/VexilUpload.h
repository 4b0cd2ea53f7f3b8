#pragma once

#include "transfer/VexilHttpReply.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

class CVexilFile;

// One upload: the body goes to a temporary file in the stack folder, which replaces the target
// in one step only when the whole body has been stored. The target is never half-written;
// an upload that is abandoned or fails leaves it as it was and removes the temporary file.
class CVexilUpload
{
public:
    CVexilUpload(QString aTempPath, TUploadRequest aRequest);
    CVexilUpload(const CVexilUpload&) = delete;
    CVexilUpload& operator=(const CVexilUpload&) = delete;
    // Abandons an upload that was not finished.
    ~CVexilUpload();

    int64_t Length() const { return iRequest.Length; }
    int64_t Received() const { return iReceived; }
    int64_t Remaining() const { return iRequest.Length - iReceived; }
    // Stores the next body bytes, no more than Remaining. After a failure the bytes are
    // counted but no longer stored, so that the body is still read to its end.
    void Write(const QByteArray& aBytes);
    // Closes the temporary file, gives it its time and moves it over the target. False when
    // any step failed; the target then is unchanged.
    bool Finish();

private:
    void Abandon();

    QString iTempPath;
    TUploadRequest iRequest;
    std::unique_ptr<CVexilFile> iFile;  // none after a failure and once finished
    int64_t iReceived = 0;
};
