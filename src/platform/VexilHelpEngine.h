#pragma once

#include <QModelIndex>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

class QHelpEngine;

// The program's help collection opened for reading: the page of each help topic, the pages'
// data and the place of a page in the contents tree. It works on a collection of its own in a
// temporary folder that names the documentation of the program's collection, read where it
// lies: the installed collection may lie in a folder the user cannot write, and the search
// keeps its index beside the collection.
class CVexilHelpEngine
{
public:
    // Opens the collection aCollectionFile; Ready() tells whether that worked.
    explicit CVexilHelpEngine(const QString& aCollectionFile);
    ~CVexilHelpEngine();
    CVexilHelpEngine(const CVexilHelpEngine&) = delete;
    CVexilHelpEngine& operator=(const CVexilHelpEngine&) = delete;

    bool Ready() const { return iReady; }
    // The files that keep a collection from being ready: the documentation files it names that
    // are missing, else (none missing, or none named) the collection file itself.
    QStringList Faulty() const;
    QHelpEngine& Engine() const { return *iEngine; }

    // The page (with the anchor of the topic when it shares its page) of a help topic such as
    // "StackEdit" or "MsgFormEMsgEmptyStackOk"; an empty URL when the collection has none.
    QUrl TopicUrl(const QString& aTopic) const;
    // The start page of the help, the root of the contents tree (topic "Quorvans").
    QUrl StartUrl() const;
    // The bytes of a page (the anchor is ignored); empty when there is no such page.
    QByteArray PageData(const QUrl& aUrl) const;
    // The entry of the contents tree for aUrl: the one with the same anchor, else the first of
    // its page; invalid while the tree is still being built or when no entry has that page.
    QModelIndex ContentsIndexOf(const QUrl& aUrl) const;
    // Whether the contents tree has been built (it is built in the background after opening).
    bool ContentsReady() const;

private:
    QString iCollectionFile;
    QStringList iFiles;
    QTemporaryDir iCopyDir;
    std::unique_ptr<QHelpEngine> iEngine;
    bool iReady = false;
};
