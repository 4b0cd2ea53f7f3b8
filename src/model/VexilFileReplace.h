#pragma once

#include <QString>

// A file that replaces another only when it is complete: it is written under a new name
// beside the old one, reaches the disk, and then takes the old one's name in one step. Until
// then, and after any failure, the old file is exactly as it was; the new one is removed.
class CVexilFileReplace
{
public:
    // Makes the empty new file. A target that exists and may not be written is refused
    // (1004) before anything is made; a target that is a link is replaced where it points.
    explicit CVexilFileReplace(const QString& aTarget);
    ~CVexilFileReplace();
    CVexilFileReplace(const CVexilFileReplace&) = delete;
    CVexilFileReplace& operator=(const CVexilFileReplace&) = delete;

    // The file to write, closed again before Commit.
    const QString& NewName() const { return iNewName; }
    // Flushes the new file to the disk and renames it over the target, which gets the old
    // file's permissions. Errors: 1004, 1005, 57 or 61 by what the system reports.
    void Commit();

private:
    [[noreturn]] void Fail(int aErrno) const;

    QString iTarget;
    QString iNewName;
    bool iCommitted = false;
};
