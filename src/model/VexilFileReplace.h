#pragma once

#include <QString>

// A file that replaces another only when it is complete: it is written under a new name
// beside the old one, reaches the disk, and then takes the old one's name in one step. Until
// then, and after any failure, the old file is exactly as it was; the new one is removed.
//
// The new file is hidden, ".<name>.<random>.new", and holds an exclusive advisory lock
// (flock) from its making until it was renamed or removed. A writer killed meanwhile leaves
// it behind unlocked; RemoveLeftovers, run by every later replacement of the same file and by
// the loading of a stack, removes such files and never one that a running writer holds.
class CVexilFileReplace
{
public:
    // Removes the leftovers first. Then makes the empty new file. A target that exists and may
    // not be written is refused (1004) before anything is made; a target that is a link is
    // replaced where it points.
    explicit CVexilFileReplace(const QString& aTarget);
    ~CVexilFileReplace();
    CVexilFileReplace(const CVexilFileReplace&) = delete;
    CVexilFileReplace& operator=(const CVexilFileReplace&) = delete;

    // The file to write, closed again before Commit.
    const QString& NewName() const { return iNewName; }
    // Flushes the new file to the disk and renames it over the target, which gets the old
    // file's permissions. Errors: 1004, 1005, 57 or 61 by what the system reports.
    void Commit();

    // Removes the new files of replacements of aTarget that were never finished: exactly the
    // names this class makes for aTarget, and only those no running writer holds locked.
    // Whatever cannot be listed, locked or removed stays; nothing fails.
    static void RemoveLeftovers(const QString& aTarget);

private:
    [[noreturn]] void Fail(int aErrno) const;
    void Release();

    QString iTarget;
    QString iNewName;
    int iLockFd = -1;  // open on the new file, holding its lock
    bool iCommitted = false;
};
