#include "model/VexilFileReplace.h"

#include "foundation/VexilError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const QString kContext = QStringLiteral("CVexilFileReplace");

QByteArray Native(const QString& aName)
{
    return QFile::encodeName(aName);
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

CVexilFileReplace::CVexilFileReplace(const QString& aTarget) : iTarget(aTarget)
{
    const QFileInfo info(aTarget);
    if (info.isSymLink() && info.exists())
        iTarget = info.canonicalFilePath();
    struct stat old;
    if (::stat(Native(iTarget).constData(), &old) == 0 && (!S_ISREG(old.st_mode) || !MayWrite(old, Native(iTarget))))
        CVexilError::Throw(EErrNoFileAccess, kContext, iTarget, QString());
    // Hidden, so that neither the stack folder's listing nor the open dialog shows it.
    const QFileInfo target(iTarget);
    const QString stem = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".");
    for (;;)
    {
        iNewName = stem + QString::number(QRandomGenerator::global()->generate(), 36) + QStringLiteral(".new");
        const int fd = ::open(Native(iNewName).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
        {
            ::close(fd);
            return;
        }
        if (errno != EEXIST)
        {
            const int error = errno;
            iNewName.clear();
            Fail(error);
        }
    }
}

CVexilFileReplace::~CVexilFileReplace()
{
    if (!iCommitted && !iNewName.isEmpty())
        ::unlink(Native(iNewName).constData());
}

void CVexilFileReplace::Commit()
{
    const QByteArray newName = Native(iNewName);
    const int fd = ::open(newName.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Fail(errno);
    struct stat old;
    const bool replacing = ::stat(Native(iTarget).constData(), &old) == 0;
    if ((replacing && ::fchmod(fd, old.st_mode & 07777) != 0) || ::fsync(fd) != 0)
    {
        const int error = errno;
        ::close(fd);
        Fail(error);
    }
    ::close(fd);
    if (::rename(newName.constData(), Native(iTarget).constData()) != 0)
        Fail(errno);
    iCommitted = true;
    SyncFolder(iTarget);
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
