#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <functional>
#include <map>
#include <ostream>

// Readable failure messages for Qt strings and byte arrays.
inline void PrintTo(const QString& aText, std::ostream* aOut)
{
    *aOut << '"' << aText.toStdString() << '"';
}
inline void PrintTo(const QByteArray& aBytes, std::ostream* aOut)
{
    *aOut << '"' << aBytes.toStdString() << '"';
}
inline void PrintTo(const QDateTime& aTime, std::ostream* aOut)
{
    *aOut << aTime.toUTC().toString(Qt::ISODate).toStdString();
}

// File helpers shared by the transfer tests.
namespace TransferFiles
{
// 6 Nov 1994 08:49:37 GMT, the example date of HTTP.
inline const QDateTime kExampleGmt(QDate(1994, 11, 6), QTime(8, 49, 37), Qt::UTC);
inline const QString kExampleHttpDate = QStringLiteral("Sun, 06 Nov 1994 08:49:37 GMT");

inline void Write(const QString& aPath, const QByteArray& aBytes)
{
    QFile file(aPath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(aBytes);
}

inline QByteArray Read(const QString& aPath)
{
    QFile file(aPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void SetModTime(const QString& aPath, const QDateTime& aTime)
{
    QFile file(aPath);
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(aTime, QFileDevice::FileModificationTime);
}

inline QDateTime ModTimeGmt(const QString& aPath)
{
    return QFileInfo(aPath).lastModified().toUTC();
}

// Every file and folder below aRoot with its bytes and time, to show that nothing changed.
inline std::map<QString, std::pair<QByteArray, QDateTime>> Snapshot(const QString& aRoot)
{
    std::map<QString, std::pair<QByteArray, QDateTime>> entries;
    const QDir root(aRoot);
    const auto filters = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const std::function<void(const QString&)> walk = [&](const QString& aDir) {
        for (const QFileInfo& info : QDir(aDir).entryInfoList(filters))
        {
            const QString rel = root.relativeFilePath(info.filePath());
            if (info.isDir() && !info.isSymLink())
            {
                entries[rel] = {QByteArray("<dir>"), {}};
                walk(info.filePath());
            }
            else
                entries[rel] = {info.isSymLink() ? info.symLinkTarget().toUtf8() : Read(info.filePath()),
                                info.lastModified()};
        }
    };
    walk(aRoot);
    return entries;
}
}  // namespace TransferFiles
