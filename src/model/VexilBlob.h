#pragma once

#include "foundation/VexilStoredObj.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

// One picture of a stack: the bytes of the picture file (or of a sample made from it), its
// metadata and two reference counts. RefCount counts the stored references (card values,
// wallpapers, the sample of a picture); DynRefCount the holders in memory (the store's cache
// and each box that shows the blob) and is never stored. Deleting is the store's business.
class CVexilBlob : public CVexilStoredObj
{
public:
    // Stamped with the model clock's date and time, to whole seconds.
    void Construct(int32_t aId);
    QString ObjDescr() const override;

    int32_t Id() const { return iId; }
    int32_t BlobType() const { return iBlobType; }
    void SetBlobType(int32_t aType) { iBlobType = aType; }
    const QString& Name() const { return iName; }
    void SetName(const QString& aName);
    const QString& Filename() const { return iFilename; }
    void SetFilename(const QString& aFilename);
    double CreDate() const { return iCreDate; }
    void SetCreDate(double aDate) { iCreDate = aDate; }
    double CreTime() const { return iCreTime; }
    void SetCreTime(double aTime) { iCreTime = aTime; }
    double FileDate() const { return iFileDate; }
    void SetFileDate(double aDate);
    double FileTime() const { return iFileTime; }
    void SetFileTime(double aTime);
    const QString& MimeType() const { return iMimeType; }
    void SetMimeType(const QString& aMimeType);
    int32_t OriginalId() const { return iOriginalId; }
    void SetOriginalId(int32_t aId);
    int32_t SampleId() const { return iSampleId; }
    void SetSampleId(int32_t aId);
    int16_t Width() const { return iWidth; }
    void SetWidth(int16_t aWidth);
    int16_t Height() const { return iHeight; }
    void SetHeight(int16_t aHeight);
    // The record was read from or written to the binary stack file.
    bool OnFile() const { return iOnFile; }
    void SetOnFile(bool aOnFile) { iOnFile = aOnFile; }
    // Read without its bytes: never cached, never written. Set before reading.
    bool InfoOnly() const { return iInfoOnly; }
    void SetInfoOnly(bool aInfoOnly) { iInfoOnly = aInfoOnly; }

    int32_t RefCount() const { return iRefCount; }
    void SetRefCount(int32_t aCount) { iRefCount = aCount; }
    void IncRefCount();
    // Marks the blob changed, so that the lowered count reaches the file with the next save
    // (a count left too high in the file would keep an unused picture for ever).
    void DecRefCount();
    int32_t DynRefCount() const { return iDynRefCount; }
    void IncDynRefCount();
    void DecDynRefCount();

    // The store's stamp of when it cached the blob.
    int32_t Age() const { return iAge; }
    void SetAge(int32_t aAge) { iAge = aAge; }
    bool Changed() const override { return iChanged; }
    void SetChanged(bool aChanged) override { iChanged = aChanged; }
    const QByteArray& Bytes() const { return iBytes; }
    void SetBytes(const QByteArray& aBytes);

    // The binary record (generations 3 to 5 read, 5 written) at the file's position.
    int32_t ExtLen() override;
    void Externalize(CVexilFile& aFile) override;
    void Internalize(CVexilFile& aFile) override;
    bool IsInXml(const QString& aName) const override;
    void ExternalizeXml(CVexilXmlWriter& aWriter) override;
    void InternalizeXml(CVexilXmlParser& aParser) override;

private:
    int32_t iId = UndefLong;
    int32_t iBlobType = 0;
    QString iName;
    QString iFilename;
    double iCreDate = 0;
    double iCreTime = 0;
    double iFileDate = 0;
    double iFileTime = 0;
    QString iMimeType;
    int32_t iOriginalId = UndefLong;
    int32_t iSampleId = UndefLong;
    int16_t iWidth = UndefInt;
    int16_t iHeight = UndefInt;
    bool iOnFile = false;
    QByteArray iBytes;
    bool iChanged = false;
    int32_t iAge = 0;
    bool iInfoOnly = false;
    int32_t iRefCount = 0;
    int32_t iDynRefCount = 0;
};

using TBlobRef = std::shared_ptr<CVexilBlob>;
