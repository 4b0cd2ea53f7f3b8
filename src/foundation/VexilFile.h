#pragma once

#include "foundation/VexilObject.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

enum EFilAccess : int32_t
{
    EFilRead = 0,       // binary reads, seek, position, size; never creates the file
    EFilSeqRead = 1,    // ReadLine; never creates the file
    EFilWrite = 2,      // binary writes; creates a missing file, never truncates
    EFilSeqWrite = 3,   // WriteLine; creates or empties the file
    EFilReadWrite = 4,  // binary reads and writes; creates a missing file, never truncates
};

enum EFilCoding : int32_t
{
    EFilUtf8 = 0,
    EFilAnsi = 1,  // the system code page, Windows-1252
};

// Buffered reads and writes at a position of one open POSIX file. One buffer serves either
// reading or writing at a time, so the bytes on disk are those of one write per value.
// Failures are reported through the results; LastError() holds the errno of the last one.
class CVexilFileBuffer
{
public:
    CVexilFileBuffer() = default;
    CVexilFileBuffer(const CVexilFileBuffer&) = delete;
    CVexilFileBuffer& operator=(const CVexilFileBuffer&) = delete;
    ~CVexilFileBuffer();

    // Tests: the aCount-th low-level write from now on fails as on a full disk, once; 0 never.
    static void FailWriteAfter(int64_t aCount);

    bool Open(const QString& aPath, int aFlags);
    bool IsOpen() const { return iFd >= 0; }
    // Writes what is pending and closes; the descriptor is closed even when that fails.
    bool Close();
    int LastError() const { return iError; }

    int64_t Pos() const { return iPos; }
    void Seek(int64_t aPos) { iPos = aPos; }
    bool Size(int64_t& aSize);

    // Returns the number of bytes read: fewer than asked at the end of the file or on failure.
    int64_t Read(void* aDst, int64_t aCount)
    {
        if (!iDirty && iPos >= iStart && iPos + aCount <= iStart + iLen)
        {
            std::memcpy(aDst, iData.data() + (iPos - iStart), static_cast<size_t>(aCount));
            iPos += aCount;
            return aCount;
        }
        return ReadSlow(static_cast<char*>(aDst), aCount);
    }

    bool Write(const void* aSrc, int64_t aCount)
    {
        if (iDirty && iPos == iStart + iLen && iLen + aCount <= kCapacity)
        {
            std::memcpy(iData.data() + iLen, aSrc, static_cast<size_t>(aCount));
            iLen += aCount;
            iPos += aCount;
            return true;
        }
        return WriteSlow(static_cast<const char*>(aSrc), aCount);
    }

    // The bytes buffered from the position on, reading more when none are; empty at the end
    // of the file or on failure. Consume moves the position over bytes taken from it.
    std::span<const char> Window();
    void Consume(int64_t aCount) { iPos += aCount; }

private:
    static constexpr int64_t kCapacity = 64 * 1024;

    int64_t ReadSlow(char* aDst, int64_t aCount);
    bool WriteSlow(const char* aSrc, int64_t aCount);
    bool Flush();
    void Fill();
    bool WriteAt(const char* aSrc, int64_t aCount, int64_t aPos);
    int64_t ReadAt(char* aDst, int64_t aCount, int64_t aPos);

    int iFd = -1;
    int iError = 0;
    int64_t iPos = 0;
    std::vector<char> iData;
    int64_t iStart = 0;    // file offset of iData[0]
    int64_t iLen = 0;      // bytes of iData that are valid (read) or pending (written)
    bool iDirty = false;   // iData holds bytes not yet written
};

// The program's one file object: binary files read and written value by value in a fixed
// little-endian layout, and text files read or written line by line.
class CVexilFile : public CVexilObject
{
public:
    CVexilFile() = default;
    CVexilFile(const CVexilFile&) = delete;
    CVexilFile& operator=(const CVexilFile&) = delete;
    // Closes a file that was left open, ignoring errors; writers call CloseFile to see them.
    ~CVexilFile() override;

    void Construct(const QString& aFileName, EFilAccess aAccess);
    QString ObjDescr() const override;
    // Errors: 1005 missing or not openable, 1004 access refused; 9 when ten text files are open.
    void OpenFile();
    bool IsOpen() const { return iIsOpen; }
    // Writes what is pending and closes; a failed write raises 57 or 61 after closing.
    void CloseFile();
    EFilCoding Coding() const { return iCoding; }
    void SetCoding(EFilCoding aCoding) { iCoding = aCoding; }
    // For importers: a lone LF also ends a line (stack files keep it inside the line).
    bool LfEndsLine() const { return iLfEndsLine; }
    void SetLfEndsLine(bool aOn) { iLfEndsLine = aOn; }

    void SeekPos(int64_t aPos);
    int64_t CurrentPos();
    int64_t Size();
    // The bytes between the position and the end, to check counts read from the file.
    int64_t RemainingBytes();

    void WriteStr(const QString& aText);
    static int32_t ExtStrLen(const QString& aText) { return 2 * static_cast<int32_t>(aText.size()) + 2; }
    QString ReadStr();
    // ReadStr into a string whose room is used again, for readers of many texts.
    void ReadStr(QString& aText);
    void WriteBytes(const QByteArray& aBytes);
    void WriteRawBytes(const QByteArray& aBytes);
    static int32_t ExtBytesLen(const QByteArray& aBytes) { return static_cast<int32_t>(aBytes.size()) + 4; }
    QByteArray ReadBytes();
    QByteArray ReadRawBytes(int32_t aCount);

    // At the end of the file aEndOfFile is set and aLine left as it was.
    void ReadLine(QString& aLine, bool& aEndOfFile);
    void WriteLine(const QString& aLine);

    void WriteShort(int16_t aValue) { WriteValue(aValue); }
    int16_t ReadShort() { return ReadValue<int16_t>("CVexilFile.ReadShort"); }
    void WriteInt(int32_t aValue) { WriteValue(aValue); }
    int32_t ReadInt() { return ReadValue<int32_t>("CVexilFile.ReadInt"); }
    void WriteSingle(float aValue) { WriteValue(aValue); }
    float ReadSingle() { return ReadValue<float>("CVexilFile.ReadSingle"); }
    // True is stored as -1; any stored value other than 0 reads as true.
    void WriteBoolean(bool aValue) { WriteValue<int16_t>(aValue ? -1 : 0); }
    bool ReadBoolean() { return ReadValue<int16_t>("CVexilFile.ReadBoolean") != 0; }
    void WriteReal(double aValue) { WriteValue(aValue); }
    double ReadReal() { return ReadValue<double>("CVexilFile.ReadReal"); }
    uint8_t ReadByte() { return ReadValue<uint8_t>("CVexilFile.ReadByte"); }
    void WriteByte(uint8_t aValue) { WriteValue(aValue); }

private:
    template <typename T>
    void WriteValue(T aValue)
    {
        CheckWrite("WriteRawBytes");
        PutValue(aValue);
    }
    template <typename T>
    T ReadValue(const char* aContext)
    {
        CheckRead("ReadRawBytes");
        return GetValue<T>(aContext);
    }
    template <typename T>
    void PutValue(T aValue)
    {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &aValue, sizeof(T));
        ToLittleEndian(bytes, sizeof(T));
        Put(bytes, sizeof(T));
    }
    template <typename T>
    T GetValue(const char* aContext)
    {
        unsigned char bytes[sizeof(T)];
        Get(bytes, sizeof(T), aContext);
        ToLittleEndian(bytes, sizeof(T));
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }
    // Swaps in place on a big-endian machine; the same bytes turn back the same way.
    static void ToLittleEndian(unsigned char* aBytes, size_t aSize)
    {
        if constexpr (std::endian::native == std::endian::big)
            std::reverse(aBytes, aBytes + aSize);
    }

    void CheckRead(const char* aContext)
    {
        if (iAccess != EFilRead && iAccess != EFilReadWrite)
            AccessFailed(aContext, "Access EFilRead");
    }
    void CheckWrite(const char* aContext)
    {
        if (iAccess != EFilWrite && iAccess != EFilReadWrite)
            AccessFailed(aContext, "Access EFilWrite ");
    }
    void CheckHandle(const char* aContext);
    void AccessFailed(const char* aContext, const char* aDetail);

    void Put(const void* aSrc, int64_t aCount)
    {
        if (!iBuffer.Write(aSrc, aCount))
            WriteFailed();
    }
    void Get(void* aDst, int64_t aCount, const char* aContext)
    {
        if (iBuffer.Read(aDst, aCount) != aCount)
            ReadFailed(aContext);
    }
    [[noreturn]] void WriteFailed();
    [[noreturn]] void TooLong(const QString& aDescription);
    [[noreturn]] void ReadFailed(const char* aContext);
    [[noreturn]] void BadCount(const char* aContext, int64_t aCount);
    [[noreturn]] void BadStruct(const char* aContext, const QString& aDetail);
    [[noreturn]] void OpenFailed(int aErrno);

    void OpenWith(int aFlags);
    void ReleaseFileNum();
    QByteArrayView ReadLineBytes(bool& aEndOfFile);
    void DecodeLine(QByteArrayView aBytes, QString& aLine) const;
    QByteArray GetBlock(int64_t aCount, const char* aContext);

    EFilAccess iAccess = EFilRead;
    QString iFileName;
    bool iFirstLine = false;
    EFilCoding iCoding = EFilAnsi;
    int16_t iFileNum = UndefInt;
    bool iIsOpen = false;
    bool iLfEndsLine = false;
    CVexilFileBuffer iBuffer;
    QByteArray iLineBytes;  // a line that the read buffer does not hold whole
};
