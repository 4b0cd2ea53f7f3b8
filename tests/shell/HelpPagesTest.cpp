// The help pages beside the windows they describe. A page marks each name that its window shows
// as <b>Name</b> and each path through the main window's menus as <b class="menu">A &gt; B</b>;
// these tests open every window the way the program does and look for those names in it.

#include "ProgramFixture.h"
#include "platform/VexilMsgForm.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QToolBar>

namespace
{
const QString kPages = QStringLiteral(QUORVANS_HELP_PAGES);

// A caption as the user reads it: without the accelerator markers ("&&" is a shown "&") and
// without a shortcut after a tab.
QString Shown(const QString& aCaption)
{
    QString shown;
    const QString caption = aCaption.section(QLatin1Char('\t'), 0, 0);
    for (qsizetype i = 0; i < caption.size(); ++i)
    {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown.simplified();
}

// The plain text of a piece of markup, entities decoded and white space folded.
QString PlainText(const QString& aHtml)
{
    return QTextDocumentFragment::fromHtml(aHtml).toPlainText().simplified();
}

QString PageText(const QString& aPage)
{
    QFile file(QDir(kPages).filePath(aPage));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << aPage.toStdString();
    return QString::fromUtf8(file.readAll());
}

// The texts of the page's <b> elements with exactly the attributes aAttributes.
QStringList Marked(const QString& aPageText, const QString& aAttributes)
{
    static const QRegularExpression bold(QStringLiteral("<b( [^>]*)?>(.*?)</b>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    QStringList names;
    for (auto it = bold.globalMatch(aPageText); it.hasNext();)
    {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(1).trimmed() == aAttributes)
            names << PlainText(match.captured(2));
    }
    return names;
}

// The names the page says its window shows, and the paths through the main window's menus.
QStringList WindowNames(const QString& aPageText)
{
    return Marked(aPageText, QString());
}
QStringList MenuPaths(const QString& aPageText)
{
    return Marked(aPageText, QStringLiteral("class=\"menu\""));
}

// The items of a menu bar, toolbar or menu, and those of their submenus.
void AddMenuTexts(const QList<QAction*>& aActions, QStringList& aTexts)
{
    for (const QAction* action : aActions)
    {
        if (action->isSeparator())
            continue;
        aTexts << Shown(action->text());
        if (action->menu())
            AddMenuTexts(action->menu()->actions(), aTexts);
    }
}

// Every text the window shows of its own, shown or waiting to be shown: captions of buttons,
// check boxes and options, labels (also without their closing colon), group titles, tabs,
// column headers, its menus and toolbar. The windows inside it (the main window's document
// area) are left out.
void CollectTexts(const QWidget& aWidget, QStringList& aTexts)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(&aWidget))
        aTexts << Shown(button->text());
    else if (const auto* label = qobject_cast<const QLabel*>(&aWidget))
    {
        const QString text = Qt::mightBeRichText(label->text()) ? PlainText(label->text()) : Shown(label->text());
        aTexts << text;
        if (text.endsWith(QLatin1Char(':')))
            aTexts << text.chopped(1).trimmed();
    }
    else if (const auto* group = qobject_cast<const QGroupBox*>(&aWidget))
        aTexts << Shown(group->title());
    else if (const auto* tabs = qobject_cast<const QTabBar*>(&aWidget))
        for (int i = 0; i < tabs->count(); ++i)
            aTexts << Shown(tabs->tabText(i));
    else if (const auto* header = qobject_cast<const QHeaderView*>(&aWidget))
    {
        for (int i = 0; header->model() && i < header->count(); ++i)
            aTexts << header->model()->headerData(i, header->orientation()).toString().simplified();
    }
    else if (const auto* menu = qobject_cast<const QMenu*>(&aWidget))
        AddMenuTexts({menu->menuAction()}, aTexts);
    else if (const auto* bar = qobject_cast<const QMenuBar*>(&aWidget))
        AddMenuTexts(bar->actions(), aTexts);
    else if (const auto* toolbar = qobject_cast<const QToolBar*>(&aWidget))
        AddMenuTexts(toolbar->actions(), aTexts);
    for (const QObject* child : aWidget.children())
    {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget && !qobject_cast<const QMdiSubWindow*>(widget) && !qobject_cast<const CVexilForm*>(widget))
            CollectTexts(*widget, aTexts);
    }
}

QStringList WindowTexts(const QWidget& aWindow)
{
    QStringList texts;
    CollectTexts(aWindow, texts);
    return texts;
}

// The names of the page that the window does not show.
QStringList Missing(const QString& aPageText, const QWidget& aWindow)
{
    const QStringList texts = WindowTexts(aWindow);
    QStringList missing;
    for (const QString& name : WindowNames(aPageText))
        if (!texts.contains(name))
            missing << name;
    return missing;
}

// Whether the main window's menus hold the path "Menu > Item > ...".
bool MenuPathExists(const QMenuBar& aBar, const QString& aPath)
{
    QList<QAction*> items = aBar.actions();
    for (const QString& step : aPath.split(QStringLiteral(" > ")))
    {
        const QAction* found = nullptr;
        for (const QAction* item : items)
            if (!item->isSeparator() && Shown(item->text()) == step)
                found = item;
        if (!found)
            return false;
        items = found->menu() ? found->menu()->actions() : QList<QAction*>{};
    }
    return true;
}

// A page of a window and how the program opens that window: by a menu item of the main
// window, or else as the window manager shows it (the loaded instance when there is one).
struct TWindowPage
{
    const char* Page;
    const char* ClassName;
    const char* Menu = nullptr;
    const char* Item = nullptr;
};

const TWindowPage kWindowPages[] = {
    {"Frame.html", "CVexilFrame"},
    {"NewStackForm.html", "CVexilNewStackForm", "fStack", "fNewStack"},
    {"OptionEdit.html", "CVexilOptionEdit", "fQuorvans", "fOptions"},
    {"Welcome.html", "CVexilWelcome", "fQuorvans", "fAbout"},
    {"GenForm.html", "CVexilGenForm"},
    {"CardListForm.html", "CVexilCardListForm"},
    {"SearchForm.html", "CVexilSearchForm", "fStack", "fSearch"},
    {"PictureViewer.html", "CVexilPictureViewer"},
    {"MsgForm.html", "CVexilMsgForm"},
    {"StackEdit.html", "CVexilStackEdit", "fStack", "fEditStack"},
    {"BackgroundEdit.html", "CVexilBackgroundEdit", "fStack", "fEditBackgrounds"},
    {"CardEdit.html", "CVexilCardEdit", "fStack", "fEditCards"},
    {"ControlEdit.html", "CVexilControlEdit", "fStack", "fEditControls"},
    {"SortKeyEdit1.html", "CVexilSortKeyEdit1", "fStack", "fEditSortKeys"},
    {"ValueEdit.html", "CVexilValueEdit", "fStack", "fEditValues"},
    {"ImportOptions.html", "CVexilImportOptions", "fStack", "fImport"},
    {"ExportOptions.html", "CVexilExportOptions", "fStack", "fExport"},
    {"CardSelect.html", "CVexilCardSelect", "fCard", "fSelectCard"},
    {"CsvImportOptions.html", "CVexilCsvImportOptions"},
    {"CsvExportOptions.html", "CVexilCsvExportOptions"},
    {"FontSelect.html", "CVexilFontSelect"},
    {"ControlSelect.html", "CVexilControlSelect"},
    {"ScriptEdit.html", "CVexilScriptEdit"},
    {"WikiTextEdit.html", "CVexilWikiTextEdit"},
};

void PrintTo(const TWindowPage& aRow, std::ostream* aOut)
{
    *aOut << aRow.Page;
}

class HelpPages : public ProgramFixture, public ::testing::WithParamInterface<TWindowPage>
{
protected:
    void SetUp() override { Start({MakeStack(QStringLiteral("People.Quorvan"))}); }

    static QWidget* Open(const TWindowPage& aRow)
    {
        const QString className = QLatin1String(aRow.ClassName);
        if (aRow.Menu)
        {
            Choose(QLatin1String(aRow.Menu), QLatin1String(aRow.Item));
            return Loaded(className);
        }
        // The message box is the prompts' own window, made for each message.
        if (className == QLatin1String("CVexilMsgForm"))
            return new CVexilMsgForm(Frame());
        if (CVexilForm* loaded = Loaded(className))
            return loaded;
        return CVexilWinMan::ShowNamed(className);
    }
};

std::string RowName(const ::testing::TestParamInfo<TWindowPage>& aRow)
{
    return QString::fromLatin1(aRow.param.Page).section(QLatin1Char('.'), 0, 0).toStdString();
}
}  // namespace

TEST_P(HelpPages, EveryNameThePageGivesItsWindowIsShownInTheWindow)
{
    const QString page = QLatin1String(GetParam().Page);
    const QString text = PageText(page);
    QWidget* window = Open(GetParam());
    ASSERT_NE(window, nullptr) << page.toStdString();
    EXPECT_EQ(Missing(text, *window), QStringList()) << page.toStdString();
}

INSTANTIATE_TEST_SUITE_P(WindowPages, HelpPages, ::testing::ValuesIn(kWindowPages), RowName);

TEST_F(HelpPages, ANameThatTheWindowLacksFailsItsPage)
{
    const QWidget* options = Open({"OptionEdit.html", "CVexilOptionEdit", "fQuorvans", "fOptions"});
    ASSERT_NE(options, nullptr);
    const QString page = QStringLiteral("<p><b>Select...</b> and <b>Stack folder</b>, <b>Cancel</b>; not <b>Apply</b> "
                                        "nor the main window's <b>Save</b>.</p>");
    EXPECT_EQ(Missing(page, *options), (QStringList{"Apply", "Save"}));
}

TEST_F(HelpPages, EveryMenuPathOfEveryPageIsInTheMainWindowsMenus)
{
    const auto* bar = Frame()->findChild<QMenuBar*>(QStringLiteral("fMenuBar"));
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(MenuPathExists(*bar, QStringLiteral("Field > Picture > Show...")));
    ASSERT_FALSE(MenuPathExists(*bar, QStringLiteral("Field > Picture > Export...")));
    const QStringList pages = QDir(kPages).entryList({QStringLiteral("*.html")});
    ASSERT_GE(pages.size(), int(std::size(kWindowPages)));
    for (const QString& page : pages)
        for (const QString& path : MenuPaths(PageText(page)))
            EXPECT_TRUE(MenuPathExists(*bar, path)) << page.toStdString() << ": " << path.toStdString();
}

// Every page of a window has a row above: a new window page is not left unchecked.
TEST_F(HelpPages, EveryWindowOfTheProgramHasARow)
{
    QStringList rows;
    for (const TWindowPage& row : kWindowPages)
        rows << QString::fromLatin1(row.Page);
    for (const QString& window : CVexilWinMan::FormNames())
    {
        const QString page = window.mid(6) + QStringLiteral(".html");
        if (QFile::exists(QDir(kPages).filePath(page)))
        {
            EXPECT_TRUE(rows.contains(page)) << page.toStdString();
        }
    }
}
