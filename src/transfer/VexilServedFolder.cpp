#include "transfer/VexilServedFolder.h"

#include "foundation/VexilGenDef.h"
#include "foundation/VexilLowLevel.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

CVexilServedFolder::CVexilServedFolder(const QString& aFolder) : iFolder(aFolder)
{
    if (!aFolder.isEmpty() && QFileInfo(aFolder).isDir())
        iCanonical = QFileInfo(aFolder).canonicalFilePath();
}

const QString& CVexilServedFolder::TempName()
{
    static const QString kName = QStringLiteral("$TransTemp$");
    return kName;
}

bool CVexilServedFolder::IsValidName(const QString& aName)
{
    static const QString kRefused = QStringLiteral("/\\:*?");
    if (aName.isEmpty() || aName == QLatin1String(".") || aName == QLatin1String("..") || aName == TempName())
        return false;
    return std::none_of(aName.begin(), aName.end(), [](QChar c) {
        return kRefused.contains(c) || c.category() == QChar::Other_Control;
    });
}

std::optional<QString> CVexilServedFolder::TargetPath(const QString& aPath) const
{
    if (!Exists() || !aPath.startsWith(QLatin1Char('/')))
        return std::nullopt;
    const QString name = aPath.mid(1);
    if (!IsValidName(name))
        return std::nullopt;
    return QDir(iFolder).filePath(name);
}

std::optional<QString> CVexilServedFolder::ExistingFile(const QString& aPath) const
{
    const std::optional<QString> path = TargetPath(aPath);
    if (!path)
        return std::nullopt;
    const QFileInfo info(*path);
    if (!info.isFile() || info.isHidden())
        return std::nullopt;
    const QString canonical = info.canonicalFilePath();
    if (QFileInfo(canonical).path() != iCanonical)
        return std::nullopt;
    return path;
}

QString CVexilServedFolder::TempPath() const
{
    return QDir(iFolder).filePath(TempName());
}

QByteArray CVexilServedFolder::StackList() const
{
    if (!Exists())
        return {};
    const QStringList names = QDir(iFolder).entryList({QStringLiteral("*.Quorvan")}, QDir::Files,
                                                      QDir::Name | QDir::IgnoreCase);
    QString list;
    for (const QString& name : names)
        list += name + CVexilGenDef::EolStr();
    return CVexilLowLevel::ToUtf8(list);
}
