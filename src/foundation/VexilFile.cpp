#include "foundation/VexilFile.h"

#include "foundation/VexilCodePage.h"
#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"

#include <QFile>
#include <QStringDecoder>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const QString kOpenContext = QStringLiteral("CVexilFile.OpenFile");
constexpr int16_t kMaxStrChars = 16383;       // the byte count must fit a signed 16-bit integer
constexpr int32_t kMaxBlockBytes = 10000000;  // the largest byte block a reader takes
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
int64_t gWritesBeforeFailure = 0;
}  // namespace

// ---- CVexilFileBuffer

void CVexilFileBuffer::FailWriteAfter(int64_t aCount)
{
    gWritesBeforeFailure = aCount;
}

CVexilFileBuffer::~CVexilFileBuffer()
{
    if (IsOpen())
        Close();
}

bool CVexilFileBuffer::Open(const QString& aPath, int aFlags)
{
    iError = 0;
    iPos = iStart = iLen = 0;
    iDirty = false;
    iFd = ::open(QFile::encodeName(aPath).constData(), aFlags | O_CLOEXEC, 0666);
    if (iFd < 0)
    {
        iError = errno;
        return false;
    }
    struct stat info;
    if (::fstat(iFd, &info) == 0 && S_ISDIR(info.st_mode))
    {
        ::close(iFd);
        iFd = -1;
        iError = EISDIR;
        return false;
    }
    return true;
}

bool CVexilFileBuffer::Close()
{
    bool ok = Flush();
    if (::close(iFd) != 0 && errno != EINTR && ok)
    {
        iError = errno;
        ok = false;
    }
    iFd = -1;
    iLen = 0;
    iData = {};
    return ok;
}

bool CVexilFileBuffer::Size(int64_t& aSize)
{
    struct stat info;
    if (::fstat(iFd, &info) != 0)
    {
        iError = errno;
        return false;
    }
    aSize = info.st_size;
    if (iDirty)
        aSize = std::max(aSize, iStart + iLen);
    return true;
}

int64_t CVexilFileBuffer::ReadSlow(char* aDst, int64_t aCount)
{
    iError = 0;
    if (iDirty && !Flush())
        return 0;
    int64_t done = 0;
    while (done < aCount)
    {
        if (iPos >= iStart && iPos < iStart + iLen)
        {
            const int64_t take = std::min(aCount - done, iStart + iLen - iPos);
            std::memcpy(aDst + done, iData.data() + (iPos - iStart), static_cast<size_t>(take));
            iPos += take;
            done += take;
            continue;
        }
        if (aCount - done >= kCapacity)
        {
            const int64_t got = ReadAt(aDst + done, aCount - done, iPos);
            iPos += got;
            done += got;
            break;
        }
        Fill();
        if (iLen == 0)
            break;
    }
    return done;
}

bool CVexilFileBuffer::WriteSlow(const char* aSrc, int64_t aCount)
{
    iError = 0;
    if (iDirty && !Flush())
        return false;
    if (aCount >= kCapacity)
    {
        iLen = 0;  // the read window may hold the old bytes
        if (!WriteAt(aSrc, aCount, iPos))
            return false;
        iPos += aCount;
        return true;
    }
    if (static_cast<int64_t>(iData.size()) < kCapacity)
        iData.resize(kCapacity);
    iDirty = true;
    iStart = iPos;
    std::memcpy(iData.data(), aSrc, static_cast<size_t>(aCount));
    iLen = aCount;
    iPos += aCount;
    return true;
}

std::span<const char> CVexilFileBuffer::Window()
{
    iError = 0;
    if (iDirty && !Flush())
        return {};
    if (iPos < iStart || iPos >= iStart + iLen)
        Fill();
    if (iPos < iStart || iPos >= iStart + iLen)
        return {};
    return {iData.data() + (iPos - iStart), static_cast<size_t>(iStart + iLen - iPos)};
}

bool CVexilFileBuffer::Flush()
{
    if (!iDirty)
        return true;
    iDirty = false;
    const int64_t pending = iLen;
    iLen = 0;
    return WriteAt(iData.data(), pending, iStart);
}

void CVexilFileBuffer::Fill()
{
    if (static_cast<int64_t>(iData.size()) < kCapacity)
        iData.resize(kCapacity);
    iStart = iPos;
    iLen = 0;
    iLen = ReadAt(iData.data(), kCapacity, iPos);
}

bool CVexilFileBuffer::WriteAt(const char* aSrc, int64_t aCount, int64_t aPos)
{
    if (gWritesBeforeFailure > 0 && --gWritesBeforeFailure == 0)
    {
        iError = ENOSPC;
        return false;
    }
    while (aCount > 0)
    {
        const ssize_t written = ::pwrite(iFd, aSrc, static_cast<size_t>(aCount), aPos);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
        {
            iError = written < 0 ? errno : ENOSPC;
            return false;
        }
        aSrc += written;
        aCount -= written;
        aPos += written;
    }
    return true;
}

int64_t CVexilFileBuffer::ReadAt(char* aDst, int64_t aCount, int64_t aPos)
{
    int64_t done = 0;
    while (done < aCount)
    {
        const ssize_t got = ::pread(iFd, aDst + done, static_cast<size_t>(aCount - done), aPos + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            iError = errno;
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

// ---- CVexilFile

CVexilFile::~CVexilFile()
{
    if (!iBuffer.IsOpen())
        return;
    iBuffer.Close();
    try
    {
        ReleaseFileNum();
    }
    catch (...)
    {
        // a destructor cannot report; CloseFile is the way to see errors
    }
}

void CVexilFile::Construct(const QString& aFileName, EFilAccess aAccess)
{
    iFileName = aFileName;
    iAccess = aAccess;
    iCoding = EFilAnsi;
    iIsOpen = false;
}

QString CVexilFile::ObjDescr() const
{
    return QStringLiteral("CVexilFile name=") + iFileName + QStringLiteral(", access=") +
           QString::number(iAccess);
}

void CVexilFile::OpenFile()
{
    if (iBuffer.IsOpen())
        CVexilError::RaiseRunError(ERunInvalidCall);  // a file object is opened once
    iFirstLine = true;
    iFileNum = UndefInt;
    switch (iAccess)
    {
    case EFilRead: OpenWith(O_RDONLY); break;
    case EFilWrite: OpenWith(O_WRONLY | O_CREAT); break;
    case EFilReadWrite: OpenWith(O_RDWR | O_CREAT); break;
    case EFilSeqRead:
        CVexilLib::GetFreeFileNum(iFileNum);
        OpenWith(O_RDONLY);
        break;
    case EFilSeqWrite:
        CVexilLib::GetFreeFileNum(iFileNum);
        OpenWith(O_WRONLY | O_CREAT | O_TRUNC);
        break;
    default: CVexilError::RaiseRunError(ERunInvalidCall);
    }
    iIsOpen = true;
}

void CVexilFile::OpenWith(int aFlags)
{
    if (iBuffer.Open(iFileName, aFlags))
        return;
    const int error = iBuffer.LastError();
    ReleaseFileNum();
    OpenFailed(error);
}

void CVexilFile::OpenFailed(int aErrno)
{
    const bool refused = aErrno == EACCES || aErrno == EPERM || aErrno == EROFS;
    CVexilError::Throw(refused ? EErrNoFileAccess : EErrFileNotFound, kOpenContext, iFileName,
                       QString::number(iAccess));
}

void CVexilFile::ReleaseFileNum()
{
    if (iFileNum != UndefInt)
        CVexilLib::FreeFileNum(iFileNum);
}

void CVexilFile::CloseFile()
{
    if (!iBuffer.IsOpen())
        return;
    const bool ok = iBuffer.Close();
    ReleaseFileNum();
    if (!ok)
        WriteFailed();
}

void CVexilFile::CheckHandle(const char* aContext)
{
    if (iFileNum != UndefInt)
        CVexilError::CheckFailed(false, this, QString::fromLatin1(aContext), QStringLiteral("handle"));
}

void CVexilFile::AccessFailed(const char* aContext, const char* aDetail)
{
    CVexilError::CheckFailed(false, this, QString::fromLatin1(aContext),
                             QString::fromLatin1(aDetail) + QString::number(iAccess));
}

void CVexilFile::WriteFailed()
{
    const int error = iBuffer.LastError();
    const bool full = error == ENOSPC || error == EDQUOT || error == EFBIG;
    CVexilError::RaiseRunError(full ? 61 : 57, ObjDescr());  // disk full, device I/O error
}

// The overflow error, with a description that tells the user what could not be written.
void CVexilFile::TooLong(const QString& aDescription)
{
    throw CVexilException(ERunOverflow, ObjDescr(), aDescription);
}

void CVexilFile::ReadFailed(const char* aContext)
{
    const int error = iBuffer.LastError();
    BadStruct(aContext, error == 0 ? QStringLiteral("read past the end at %1").arg(iBuffer.Pos())
                                   : QString::fromLocal8Bit(std::strerror(error)));
}

void CVexilFile::BadCount(const char* aContext, int64_t aCount)
{
    BadStruct(aContext, QStringLiteral("len %1").arg(aCount));
}

// The structural error of the file, raised as CheckStruct raises it.
void CVexilFile::BadStruct(const char* aContext, const QString& aDetail)
{
    const QString context = QString::fromLatin1(aContext);
    CVexilError::Throw(EErrBadStruct, context, ObjDescr(), context + QStringLiteral(": ") + aDetail);
}

void CVexilFile::SeekPos(int64_t aPos)
{
    CheckHandle("SeekPos");
    if (aPos < 0)
        BadStruct("CVexilFile.SeekPos", QStringLiteral("pos %1").arg(aPos));
    iBuffer.Seek(aPos);
}

int64_t CVexilFile::CurrentPos()
{
    CheckHandle("CurrentPos");
    return iBuffer.Pos();
}

int64_t CVexilFile::Size()
{
    int64_t size = 0;
    if (!iBuffer.Size(size))
        ReadFailed("CVexilFile.Size");
    return size;
}

int64_t CVexilFile::RemainingBytes()
{
    return std::max<int64_t>(0, Size() - iBuffer.Pos());
}

void CVexilFile::WriteStr(const QString& aText)
{
    CheckWrite("WriteStr");
    if (aText.size() > kMaxStrChars)
        TooLong(QStringLiteral("A text of %1 characters is longer than the %2 characters that a stack file holds: \"%3...\"")
                    .arg(aText.size())
                    .arg(kMaxStrChars)
                    .arg(aText.left(40)));
    const auto chars = static_cast<int16_t>(aText.size());
    PutValue<int16_t>(static_cast<int16_t>(2 * chars));
    if constexpr (std::endian::native == std::endian::little)
    {
        Put(aText.utf16(), 2 * chars);
    }
    else
    {
        std::vector<quint16> units(static_cast<size_t>(chars));
        qToLittleEndian<quint16>(aText.utf16(), chars, units.data());
        Put(units.data(), 2 * chars);
    }
}

QString CVexilFile::ReadStr()
{
    QString text;
    ReadStr(text);
    return text;
}

void CVexilFile::ReadStr(QString& aText)
{
    CheckRead("ReadStr");
    const auto count = GetValue<int16_t>("CVexilFile.ReadStr");
    // 32,766 bytes is the longest WriteStr writes; an odd count cannot hold UTF-16.
    if (count < 0 || count % 2 != 0)
        BadCount("CVexilFile.ReadStr", count);
    // Room is taken anew, to the unit, when the string has too little or shares it; a string
    // that grows would keep room to spare.
    if (!aText.isDetached() || aText.capacity() < count / 2)
        aText = QString(count / 2, Qt::Uninitialized);  // never null, also when empty
    else
        aText.resize(count / 2);
    if (count == 0)
        return;
    Get(aText.data(), count, "CVexilFile.ReadStr");
    if constexpr (std::endian::native == std::endian::big)
        qFromLittleEndian<quint16>(aText.utf16(), count / 2, aText.data());
}

void CVexilFile::WriteBytes(const QByteArray& aBytes)
{
    CheckWrite("WriteBytes");
    if (aBytes.isEmpty())
        CVexilError::RaiseRunError(ERunSubscript);  // a block holds at least one byte
    if (aBytes.size() > kMaxBlockBytes)
        TooLong(QStringLiteral("A picture of %1 bytes is larger than the %2 bytes that a stack file holds.")
                    .arg(aBytes.size())
                    .arg(kMaxBlockBytes));
    PutValue<int32_t>(static_cast<int32_t>(aBytes.size()));
    Put(aBytes.constData(), aBytes.size());
}

void CVexilFile::WriteRawBytes(const QByteArray& aBytes)
{
    CheckWrite("WriteRawBytes");
    if (aBytes.isEmpty())
        CVexilError::RaiseRunError(ERunSubscript);
    Put(aBytes.constData(), aBytes.size());
}

QByteArray CVexilFile::ReadBytes()
{
    CheckRead("ReadBytes");
    const auto count = GetValue<int32_t>("CVexilFile.ReadBytes");
    if (count < 1 || count > kMaxBlockBytes)
        BadCount("CVexilFile.ReadBytes", count);
    return GetBlock(count, "CVexilFile.ReadBytes");
}

QByteArray CVexilFile::ReadRawBytes(int32_t aCount)
{
    CheckRead("ReadRawBytes");
    if (aCount < 1)
        BadCount("CVexilFile.ReadRawBytes", aCount);
    return GetBlock(aCount, "CVexilFile.ReadRawBytes");
}

QByteArray CVexilFile::GetBlock(int64_t aCount, const char* aContext)
{
    // Checked before allocating, so that a hostile count costs no memory.
    if (aCount > RemainingBytes())
        BadCount(aContext, aCount);
    QByteArray bytes(aCount, Qt::Uninitialized);
    Get(bytes.data(), aCount, aContext);
    return bytes;
}

void CVexilFile::ReadLine(QString& aLine, bool& aEndOfFile)
{
    if (iAccess != EFilSeqRead)
        AccessFailed("ReadLine", "Access EFilSeqRead ");
    QByteArrayView bytes = ReadLineBytes(aEndOfFile);
    if (aEndOfFile)
        return;
    if (iFirstLine && bytes.startsWith(kUtf8Bom))
    {
        bytes = bytes.sliced(3);
        iCoding = EFilUtf8;
    }
    DecodeLine(bytes, aLine);
    iFirstLine = false;
}

// Decodes into the line's own buffer, which keeps its capacity from line to line.
void CVexilFile::DecodeLine(QByteArrayView aBytes, QString& aLine) const
{
    // A UTF-8 byte never gives more than one UTF-16 unit, a code page byte exactly one.
    aLine.resize(aBytes.size());
    QChar* const out = aLine.data();
    if (iCoding == EFilUtf8)
    {
        // Stateless, so that a line cut inside a character ends in a replacement character as
        // QString::fromUtf8 gives it; a byte order mark inside the file stays a character.
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        aLine.truncate(decoder.appendToBuffer(out, aBytes) - out);
        return;
    }
    for (qsizetype i = 0; i < aBytes.size(); ++i)
        out[i] = CVexilCodePage::ByteToChar(uint8_t(aBytes[i]));
}

// A line ends at CR, CR LF, the end of the file, and with LfEndsLine also at a lone LF.
// The bytes are seen in the read buffer when the line lies in it whole, else gathered.
QByteArrayView CVexilFile::ReadLineBytes(bool& aEndOfFile)
{
    aEndOfFile = false;
    iLineBytes.resize(0);
    for (bool first = true;; first = false)
    {
        const std::span<const char> window = iBuffer.Window();
        if (window.empty())
        {
            if (iBuffer.LastError() != 0)
                ReadFailed("CVexilFile.ReadLine");
            aEndOfFile = first;
            return iLineBytes;
        }
        const auto end = std::find_if(window.begin(), window.end(),
                                      [this](char c) { return c == '\r' || (c == '\n' && iLfEndsLine); });
        const qsizetype len = end - window.begin();
        if (end == window.end())
        {
            iLineBytes.append(window.data(), len);
            iBuffer.Consume(len);
            continue;
        }
        const bool cr = *end == '\r';
        iBuffer.Consume(len + 1);
        // Looking behind a CR at the end of the buffer reads the next bytes into it.
        QByteArrayView line(window.data(), len);
        if (!first || (cr && end + 1 == window.end()))
        {
            iLineBytes.append(line);
            line = iLineBytes;
        }
        if (cr)
        {
            const std::span<const char> next = iBuffer.Window();
            if (!next.empty() && next.front() == '\n')
                iBuffer.Consume(1);
            else if (iBuffer.LastError() != 0)
                ReadFailed("CVexilFile.ReadLine");
        }
        return line;
    }
}

void CVexilFile::WriteLine(const QString& aLine)
{
    if (iAccess != EFilSeqWrite)
        AccessFailed("WriteLine", "Access EFilSeqWrite ");
    QByteArray bytes = iCoding == EFilUtf8 ? aLine.toUtf8() : CVexilCodePage::FromStr(aLine);
    bytes.append("\r\n", 2);
    Put(bytes.constData(), bytes.size());
}
