#pragma once

#include "platform/VexilHelpEngine.h"

#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include <memory>

class QHelpContentWidget;
class QHelpIndexWidget;
class QHelpSearchQueryWidget;
class QHelpSearchResultWidget;
class QLineEdit;
class QTabWidget;

// A text browser that reads the pages of the help collection (qthelp: links).
class CVexilHelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    CVexilHelpBrowser(const CVexilHelpEngine& aEngine, QWidget* aParent);
    QVariant loadResource(int aType, const QUrl& aName) override;

private:
    const CVexilHelpEngine& iEngine;
};

// The program's help window: a window of its own, outside the main window's document area, with
// the contents tree, the keyword index and the full-text search beside the page shown. There is
// one at a time; opening a topic reuses it and selects the topic in the contents tree once the
// tree is built. Opened from a modal box, it becomes a window of that box for as long as the box
// shows, so that the box does not block it, and the box stays open.
class CVexilHelpWindow : public QWidget
{
    Q_OBJECT

public:
    static inline const QString KName = QStringLiteral("CVexilHelpWindow");

    // The engine's widgets go before the engine.
    ~CVexilHelpWindow() override;

    // Shows the help window at a help topic (the start page for a topic the collection does not
    // know). Without a help collection the user is told which file is missing, through the
    // program's prompts, and no window opens. What fails is reported, never raised, so that
    // every Help button and key may call it directly.
    static void ShowTopic(const QString& aTopic);
    // The help window when one is open, else none.
    static CVexilHelpWindow* Current();

    // The page shown, with the anchor of its topic.
    QUrl Source() const;
    // The page of the entry selected in the contents tree; empty while none is.
    QUrl ContentsSelection() const;
    QTextBrowser& Browser() const { return *iBrowser; }
    const CVexilHelpEngine& Help() const { return *iEngine; }

protected:
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;

private:
    explicit CVexilHelpWindow(std::unique_ptr<CVexilHelpEngine> aEngine);
    void BuildSearchPage(QTabWidget& aTabs);
    void Open(const QUrl& aUrl);
    // Selects the entry of a page in the contents tree.
    void SyncContents(const QUrl& aUrl);
    // Becomes a window of aModal while it shows (none: a window of its own again).
    void AttachTo(QWidget* aModal);

    std::unique_ptr<CVexilHelpEngine> iEngine;
    CVexilHelpBrowser* iBrowser = nullptr;
    QHelpContentWidget* iContents = nullptr;
    QPointer<QWidget> iModal;
};
