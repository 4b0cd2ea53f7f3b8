#include "model/VexilFileReplace.h"

#include "foundation/VexilError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const QString kContext = QStringLiteral("CVexilFileReplace");

const QString kNewSuffix = QStringLiteral(".new");
// The random part of a new name: a 32-bit number in base 36.
constexpr qsizetype kMaxRandomDigits = 7;

QByteArray Native(const QString& aName)
{
    return QFile::encodeName(aName);
}

// A link is replaced where it points, so the new files lie beside the file it names.
QString Resolved(const QString& aTarget)
{
    const QFileInfo info(aTarget);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : aTarget;
}

// The names of the new files of aTarget begin with this: hidden, so that neither the stack
// folder's listing nor the open dialog shows them.
QString NewNamePrefix(const QString& aTarget)
{
    return QStringLiteral(".") + QFileInfo(aTarget).fileName() + QStringLiteral(".");
}

bool IsNewName(const QString& aName, const QString& aPrefix)
{
    if (!aName.startsWith(aPrefix) || !aName.endsWith(kNewSuffix))
        return false;
    const QStringView random = QStringView(aName).mid(aPrefix.size(), aName.size() - aPrefix.size() - kNewSuffix.size());
    return !random.isEmpty() && random.size() <= kMaxRandomDigits &&
           std::all_of(random.begin(), random.end(),
                       [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z'); });
}

// Whether aFd is the regular file that aName names now. A file removed by another
// process between its opening and its locking is no longer.
bool IsLinkedAs(int aFd, const QByteArray& aName)
{
    struct stat open;
    struct stat named;
    return ::fstat(aFd, &open) == 0 && ::lstat(aName.constData(), &named) == 0 && S_ISREG(open.st_mode) &&
           open.st_nlink > 0 && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Read-only counts as on Windows too: no write bit at all, whoever runs the program.
bool MayWrite(const struct stat& aInfo, const QByteArray& aName)
{
    return (aInfo.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(aName.constData(), W_OK) == 0;
}

void SyncFolder(const QString& aFile)
{
    const int fd = ::open(Native(QFileInfo(aFile).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);  // where folders cannot be synced the rename is as durable as it gets
    ::close(fd);
}
}  // namespace

CVexilFileReplace::CVexilFileReplace(const QString& aTarget) : iTarget(Resolved(aTarget))
{
    struct stat old;
    if (::stat(Native(iTarget).constData(), &old) == 0 && (!S_ISREG(old.st_mode) || !MayWrite(old, Native(iTarget))))
        CVexilError::Throw(EErrNoFileAccess, kContext, iTarget, QString());
    RemoveLeftovers(iTarget);
    const QFileInfo target(iTarget);
    const QString stem = target.absolutePath() + QChar(u'/') + NewNamePrefix(iTarget);
    for (;;)
    {
        iNewName = stem + QString::number(QRandomGenerator::global()->generate(), 36) + kNewSuffix;
        const QByteArray name = Native(iNewName);
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
        {
            const int error = errno;
            iNewName.clear();
            Fail(error);
        }
        // Another process removing leftovers may take the file before it is locked, and then
        // removes it: another name is tried. Where the file system has no locks, the file
        // goes unlocked, and nobody removes it.
        const int lockError = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
        if (lockError == 0 ? IsLinkedAs(fd, name) : lockError != EWOULDBLOCK)
        {
            iLockFd = fd;
            return;
        }
        ::close(fd);
    }
}

CVexilFileReplace::~CVexilFileReplace()
{
    // Removed while still locked: nobody else takes it for a leftover meanwhile.
    if (!iCommitted && !iNewName.isEmpty())
        ::unlink(Native(iNewName).constData());
    Release();
}

void CVexilFileReplace::Release()
{
    if (iLockFd >= 0)
        ::close(iLockFd);
    iLockFd = -1;
}

void CVexilFileReplace::Commit()
{
    struct stat old;
    const bool replacing = ::stat(Native(iTarget).constData(), &old) == 0;
    if ((replacing && ::fchmod(iLockFd, old.st_mode & 07777) != 0) || ::fsync(iLockFd) != 0)
        Fail(errno);
    if (::rename(Native(iNewName).constData(), Native(iTarget).constData()) != 0)
        Fail(errno);
    iCommitted = true;
    Release();
    SyncFolder(iTarget);
}

void CVexilFileReplace::RemoveLeftovers(const QString& aTarget)
{
    const QString target = Resolved(aTarget);
    const QDir folder = QFileInfo(target).absoluteDir();
    const QString prefix = NewNamePrefix(target);
    for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks))
    {
        if (!IsNewName(entry, prefix))
            continue;
        const QByteArray name = Native(folder.filePath(entry));
        const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A running writer holds the lock; a killed one left the file unlocked.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && IsLinkedAs(fd, name))
            ::unlink(name.constData());
        ::close(fd);
    }
}

void CVexilFileReplace::Fail(int aErrno) const
{
    switch (aErrno)
    {
    case EACCES:
    case EPERM:
    case EROFS: CVexilError::Throw(EErrNoFileAccess, kContext, iTarget, QString());
    case ENOENT:
    case ENOTDIR: CVexilError::Throw(EErrFileNotFound, kContext, iTarget, QString());
    case ENOSPC:
    case EDQUOT:
    case EFBIG: CVexilError::RaiseRunError(61, iTarget);  // disk full
    default: CVexilError::RaiseRunError(57, iTarget);     // device I/O error
    }
}
