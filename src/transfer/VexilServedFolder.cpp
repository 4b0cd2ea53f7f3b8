#include "transfer/VexilServedFolder.h"

#include "foundation/VexilGenDef.h"
#include "foundation/VexilLowLevel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace
{
// The names of the "*.Quorvan" files of the folder (suffix compared without regard to case),
// not hidden, regular files also when reached through a link; in name order without regard
// to case. Read straight from the directory: the list is what phones ask for most.
QStringList StackFileNames(const QString& aFolder)
{
    static constexpr char kSuffix[] = ".Quorvan";
    static constexpr size_t kSuffixLen = sizeof(kSuffix) - 1;
    DIR* dir = opendir(QFile::encodeName(aFolder).constData());
    if (!dir)
        return {};
    std::vector<std::pair<QString, QString>> found;  // folded name, name
    while (const dirent* entry = readdir(dir))
    {
        const char* name = entry->d_name;
        const size_t len = std::strlen(name);
        if (name[0] == '.' || len < kSuffixLen || strcasecmp(name + len - kSuffixLen, kSuffix) != 0)
            continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
        {
            struct stat info{};
            regular = fstatat(dirfd(dir), name, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (regular)
        {
            QString decoded = QFile::decodeName(name);
            found.emplace_back(decoded.toCaseFolded(), std::move(decoded));
        }
    }
    closedir(dir);
    std::sort(found.begin(), found.end());
    QStringList names;
    names.reserve(static_cast<qsizetype>(found.size()));
    for (auto& [folded, name] : found)
        names.append(std::move(name));
    return names;
}
}  // namespace

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
    // A name that starts with a dot is hidden: never listed nor sent, so never stored either.
    if (aName.isEmpty() || aName.startsWith(QLatin1Char('.')) || aName == TempName())
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
    if (!info.isFile())
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
    QString list;
    for (const QString& name : StackFileNames(iFolder))
        list += name + CVexilGenDef::EolStr();
    return CVexilLowLevel::ToUtf8(list);
}
