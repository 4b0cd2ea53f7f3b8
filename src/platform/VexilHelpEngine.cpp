#include "platform/VexilHelpEngine.h"

#include <QDir>
#include <QFileInfo>
#include <QHelpContentItem>
#include <QHelpContentModel>
#include <QHelpEngine>
#include <QHelpEngineCore>
#include <QHelpLink>

#include <functional>
#include <utility>

namespace
{
// The documentation files (.qch) that a collection names.
QStringList DocumentationFiles(const QString& aCollectionFile)
{
    QHelpEngineCore collection(aCollectionFile);
    QStringList files;
    if (collection.setupData())
        for (const QString& name : collection.registeredDocumentations())
            files << collection.documentationFileName(name);
    return files;
}
}  // namespace

CVexilHelpEngine::CVexilHelpEngine(const QString& aCollectionFile)
    : iCollectionFile(aCollectionFile), iFiles(DocumentationFiles(aCollectionFile))
{
    iEngine = std::make_unique<QHelpEngine>(QDir(iCopyDir.path()).filePath(QStringLiteral("Quorvans.qhc")));
    iEngine->setReadOnly(false);
    iEngine->setUsesFilterEngine(true);
    bool ready = iCopyDir.isValid() && !iFiles.isEmpty() && iEngine->setupData();
    for (const QString& file : std::as_const(iFiles))
        ready = ready && iEngine->registerDocumentation(file);
    iReady = ready && StartUrl().isValid();
}

QStringList CVexilHelpEngine::Faulty() const
{
    QStringList missing;
    for (const QString& file : iFiles)
        if (!QFileInfo(file).isFile())
            missing << file;
    return missing.isEmpty() ? QStringList{iCollectionFile} : missing;
}

CVexilHelpEngine::~CVexilHelpEngine() = default;

QUrl CVexilHelpEngine::TopicUrl(const QString& aTopic) const
{
    const QList<QHelpLink> links = iEngine->documentsForIdentifier(aTopic);
    return links.isEmpty() ? QUrl() : links.constFirst().url;
}

QUrl CVexilHelpEngine::StartUrl() const
{
    return TopicUrl(QStringLiteral("Quorvans"));
}

QByteArray CVexilHelpEngine::PageData(const QUrl& aUrl) const
{
    QUrl page = aUrl;
    page.setFragment(QString());
    return iEngine->fileData(page);
}

bool CVexilHelpEngine::ContentsReady() const
{
    const QHelpContentModel* model = iEngine->contentModel();
    return !model->isCreatingContents() && model->rowCount() > 0;
}

QModelIndex CVexilHelpEngine::ContentsIndexOf(const QUrl& aUrl) const
{
    QHelpContentModel* model = iEngine->contentModel();
    if (!ContentsReady())
        return {};
    QModelIndex samePage;
    const std::function<QModelIndex(const QModelIndex&)> search = [&](const QModelIndex& aParent) -> QModelIndex {
        for (int row = 0; row < model->rowCount(aParent); ++row)
        {
            const QModelIndex index = model->index(row, 0, aParent);
            const QUrl url = model->contentItemAt(index)->url();
            if (url == aUrl)
                return index;
            if (!samePage.isValid() && url.path() == aUrl.path())
                samePage = index;
            if (const QModelIndex found = search(index); found.isValid())
                return found;
        }
        return {};
    };
    const QModelIndex exact = search(QModelIndex());
    return exact.isValid() ? exact : samePage;
}
