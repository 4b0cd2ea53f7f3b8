#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The stack folder as the transfer server sees it: which names a request may use, the files
// it may send, where uploads go, and the stack list. Requests name one plain file of the
// folder; nothing outside it is ever named. An empty or missing folder serves nothing.
class CVexilServedFolder
{
public:
    explicit CVexilServedFolder(const QString& aFolder);

    // The upload's temporary file in the folder; never served nor stored by name.
    static const QString& TempName();
    // A plain file name: not empty, no leading dot (so neither "." nor ".." nor a hidden
    // file), no separator, drive colon, wildcard, NUL or control character, and not the
    // temporary name.
    static bool IsValidName(const QString& aName);

    bool Exists() const { return !iCanonical.isEmpty(); }
    // The file that a request path ("/" and a name) stores to; none for a refused name.
    std::optional<QString> TargetPath(const QString& aPath) const;
    // The existing regular file that a request path names, inside the folder also after links
    // are followed; none otherwise.
    std::optional<QString> ExistingFile(const QString& aPath) const;
    QString TempPath() const;
    // The names of the "*.Quorvan" files, each followed by CR LF, as UTF-8.
    QByteArray StackList() const;

private:
    QString iFolder;
    QString iCanonical;  // empty when the folder is not an existing folder
};
