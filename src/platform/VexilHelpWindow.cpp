#include "platform/VexilHelpWindow.h"

#include "foundation/VexilError.h"
#include "foundation/VexilLowLevel.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilPrompts.h"

#include <QApplication>
#include <QEvent>
#include <QHelpContentModel>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <exception>
#include <functional>

namespace
{
QPointer<CVexilHelpWindow> gWindow;

// Slots of the help window report what they raise instead of letting it leave the event loop.
void Guarded(const std::function<void()>& aWork)
{
    try
    {
        aWork();
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(CVexilHelpWindow::KName, e);
        CVexilMsg::ShowError();
    }
}

// aFiles: the files the help needs that are missing or damaged.
void ReportMissingHelp(const QStringList& aFiles)
{
    if (IVexilPrompts* prompts = CVexilPrompts::Current())
        prompts->Notice(QStringLiteral("The help cannot be shown: its file is missing or damaged. The program looked for\r\n") +
                        aFiles.join(QStringLiteral("\r\n")) +
                        QStringLiteral("\r\nInstalling the program again puts it back."));
}
}  // namespace

CVexilHelpBrowser::CVexilHelpBrowser(const CVexilHelpEngine& aEngine, QWidget* aParent)
    : QTextBrowser(aParent), iEngine(aEngine)
{
    setObjectName(QStringLiteral("fPage"));
    setOpenLinks(true);
}

QVariant CVexilHelpBrowser::loadResource(int aType, const QUrl& aName)
{
    if (aName.scheme() == QLatin1String("qthelp"))
        return iEngine.PageData(aName);
    return QTextBrowser::loadResource(aType, aName);
}

void CVexilHelpWindow::ShowTopic(const QString& aTopic)
{
    Guarded([&aTopic] {
        if (!gWindow)
        {
            const QString collection = CVexilLowLevel::HelpFile();
            if (collection.isEmpty())
            {
                ReportMissingHelp(CVexilLowLevel::HelpFileSought());
                return;
            }
            auto engine = std::make_unique<CVexilHelpEngine>(collection);
            if (!engine->Ready())
            {
                ReportMissingHelp(engine->Faulty());
                return;
            }
            gWindow = new CVexilHelpWindow(std::move(engine));
        }
        const QUrl url = gWindow->iEngine->TopicUrl(aTopic);
        gWindow->AttachTo(QApplication::activeModalWidget());
        gWindow->Open(url.isValid() ? url : gWindow->iEngine->StartUrl());
        gWindow->show();
        gWindow->raise();
        gWindow->activateWindow();
    });
}

CVexilHelpWindow* CVexilHelpWindow::Current()
{
    return gWindow;
}

CVexilHelpWindow::CVexilHelpWindow(std::unique_ptr<CVexilHelpEngine> aEngine)
    : QWidget(nullptr, Qt::Window), iEngine(std::move(aEngine))
{
    setObjectName(KName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quorvans Help"));
    resize(960, 640);
    // Whole on the screen, not where the window manager finds room for its corner.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QHelpEngine& engine = iEngine->Engine();

    auto* splitter = new QSplitter(this);
    auto* tabs = new QTabWidget(splitter);
    tabs->setObjectName(QStringLiteral("fNavigation"));
    iContents = engine.contentWidget();
    iContents->setObjectName(QStringLiteral("fContents"));
    tabs->addTab(iContents, QStringLiteral("Contents"));

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    auto* lookFor = new QLineEdit;
    lookFor->setObjectName(QStringLiteral("fLookFor"));
    lookFor->setPlaceholderText(QStringLiteral("Look for a keyword"));
    QHelpIndexWidget* index = engine.indexWidget();
    index->setObjectName(QStringLiteral("fIndex"));
    indexLayout->addWidget(lookFor);
    indexLayout->addWidget(index);
    tabs->addTab(indexPage, QStringLiteral("Index"));
    BuildSearchPage(*tabs);

    iBrowser = new CVexilHelpBrowser(*iEngine, splitter);
    splitter->addWidget(tabs);
    splitter->addWidget(iBrowser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 660});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(iContents, &QHelpContentWidget::linkActivated, this, [this](const QUrl& aUrl) {
        Guarded([this, aUrl] { iBrowser->setSource(aUrl); });
    });
    connect(lookFor, &QLineEdit::textChanged, this,
            [index](const QString& aText) { Guarded([index, aText] { index->filterIndices(aText); }); });
    connect(lookFor, &QLineEdit::returnPressed, this,
            [index] { Guarded([index] { index->activateCurrentItem(); }); });
    connect(index, &QHelpIndexWidget::documentActivated, this, [this](const QHelpLink& aLink, const QString&) {
        Guarded([this, aLink] { Open(aLink.url); });
    });
    connect(index, &QHelpIndexWidget::documentsActivated, this, [this](const QList<QHelpLink>& aLinks, const QString&) {
        Guarded([this, aLinks] {
            if (!aLinks.isEmpty())
                Open(aLinks.constFirst().url);
        });
    });
    // The browser tells the new page before its source() has it.
    connect(iBrowser, &QTextBrowser::sourceChanged, this,
            [this](const QUrl& aUrl) { Guarded([this, aUrl] { SyncContents(aUrl); }); });
    connect(engine.contentModel(), &QHelpContentModel::contentsCreated, this,
            [this] { Guarded([this] { SyncContents(iBrowser->source()); }); });
}

CVexilHelpWindow::~CVexilHelpWindow()
{
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void CVexilHelpWindow::BuildSearchPage(QTabWidget& aTabs)
{
    QHelpSearchEngine* search = iEngine->Engine().searchEngine();
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QHelpSearchQueryWidget* query = search->queryWidget();
    QHelpSearchResultWidget* results = search->resultWidget();
    query->setObjectName(QStringLiteral("fSearchQuery"));
    results->setObjectName(QStringLiteral("fSearchResults"));
    layout->addWidget(query);
    layout->addWidget(results);
    const int searchTab = aTabs.addTab(page, QStringLiteral("Search"));

    // The full-text index is built in the background the first time the search is shown.
    connect(&aTabs, &QTabWidget::currentChanged, this, [search, searchTab](int aTab) {
        Guarded([search, searchTab, aTab] {
            if (aTab == searchTab && !search->property("indexed").toBool())
            {
                search->setProperty("indexed", true);
                search->reindexDocumentation();
            }
        });
    });
    connect(search, &QHelpSearchEngine::indexingStarted, query, [query] { query->setEnabled(false); });
    connect(search, &QHelpSearchEngine::indexingFinished, query, [query] { query->setEnabled(true); });
    connect(query, &QHelpSearchQueryWidget::search, this,
            [search, query] { Guarded([search, query] { search->search(query->searchInput()); }); });
    connect(results, &QHelpSearchResultWidget::requestShowLink, this,
            [this](const QUrl& aUrl) { Guarded([this, aUrl] { Open(aUrl); }); });
}

void CVexilHelpWindow::Open(const QUrl& aUrl)
{
    if (iBrowser->source() == aUrl)
        SyncContents(aUrl);
    else
        iBrowser->setSource(aUrl);
}

void CVexilHelpWindow::SyncContents(const QUrl& aUrl)
{
    const QModelIndex entry = iEngine->ContentsIndexOf(aUrl);
    if (!entry.isValid())
        return;
    const QSignalBlocker quiet(iContents);
    for (QModelIndex parent = entry.parent(); parent.isValid(); parent = parent.parent())
        iContents->expand(parent);
    iContents->setCurrentIndex(entry);
    iContents->scrollTo(entry);
}

QUrl CVexilHelpWindow::Source() const
{
    return iBrowser->source();
}

QUrl CVexilHelpWindow::ContentsSelection() const
{
    const QModelIndex current = iContents->currentIndex();
    if (!current.isValid())
        return {};
    const QHelpContentItem* item = iEngine->Engine().contentModel()->contentItemAt(current);
    return item ? item->url() : QUrl();
}

void CVexilHelpWindow::AttachTo(QWidget* aModal)
{
    if (aModal == this || aModal == iModal)
        return;
    if (iModal)
        iModal->removeEventFilter(this);
    iModal = aModal;
    // A new parent hides the window; the caller shows it again where it stood.
    const QPoint place = pos();
    setParent(aModal, Qt::Window);
    move(place);
    if (aModal)
        aModal->installEventFilter(this);
}

bool CVexilHelpWindow::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    // The modal box goes: the help stays, as a window of its own.
    if (aWatched == iModal && aEvent->type() == QEvent::Hide)
        Guarded([this] {
            const bool shown = isVisible();
            AttachTo(nullptr);
            setVisible(shown);
        });
    return QWidget::eventFilter(aWatched, aEvent);
}
