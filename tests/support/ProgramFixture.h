#pragma once

// The program started in the test process the way main starts it (CVexilProgram::Main), with a
// settings file and a documents folder of its own, any free port and a short welcome interval.
// The prompts are the scripted ones unless a test asks for the real windows. The end of the
// program is recorded instead of ending the process; tear-down closes the stack without
// questions and unloads every window, the main window too.

#include "ModalBox.h"
#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StackBuild.h"
#include "TestEnv.h"
#include "ValueBuild.h"
#include "app/VexilProgram.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilLowLevel.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackViewRec.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilReg.h"
#include "presentation/VexilGenForm.h"
#include "presentation/VexilStackView.h"
#include "script/VexilInterpreter.h"
#include "script/VexilStackViewLink.h"
#include "shell/VexilFrame.h"
#include "shell/VexilWinMan.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

class ProgramFixture : public ::testing::Test
{
protected:
    static constexpr int KWelcomeInterval = 300;
    static inline const QString KTitle = QStringLiteral("Quorvans Development System");

    ProgramFixture() { QDir().mkpath(StackFolder()); }
    void TearDown() override { Stop(); }

    // The start's options: the command line "quorvans" followed by aArguments.
    TMainOptions Options(const QStringList& aArguments = {})
    {
        TMainOptions options;
        options.SettingsFile = SettingsFile();
        options.DocumentsFolder = iDir.File(QStringLiteral("Documents"));
        options.Port = 0;
        options.WelcomeInterval = KWelcomeInterval;
        options.Arguments = QStringList{QStringLiteral("quorvans")} + aArguments;
        options.Prompts = &ScriptedPrompts::Instance();
        options.ProgramEnd = [this](int aCode) { iEnded.push_back(aCode); };
        return options;
    }

    void Start(const QStringList& aArguments = {}) { StartProgram(Options(aArguments)); }
    void StartProgram(const TMainOptions& aOptions)
    {
        CVexilProgram::Main(aOptions);
        ASSERT_NE(Frame(), nullptr);
    }

    // Leaves the stack without asking and unloads every window.
    void Stop()
    {
        if (gStackView)
            gStackView->Release();
        CVexilStackViewLink::Install(nullptr);
        gStackView.reset();
        gStack.reset();
        if (gInterpreter)
            gInterpreter->Reset();
        CVexilFormRegistry::UnloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        CVexilPrompts::Install(&ScriptedPrompts::Instance());
        CVexilDialogLib::SetCursorHook(nullptr);
        CVexilReg::SetFileName(QString());
        CVexilLowLevel::SetDocumentsFolder(QString());
    }

    static CVexilFrame* Frame()
    {
        return static_cast<CVexilFrame*>(CVexilFormRegistry::Loaded(CVexilFrame::KClassName));
    }
    static CVexilForm* Loaded(const QString& aClassName) { return CVexilFormRegistry::Loaded(aClassName); }
    static CVexilGenForm* CardWindow()
    {
        return static_cast<CVexilGenForm*>(Loaded(CVexilGenForm::KClassName));
    }
    // A menu item or a toolbar button of the main window by its control name or key.
    static QAction* Item(const QString& aName) { return Frame()->findChild<QAction*>(aName); }
    static QMenu* Menu(const QString& aName) { return Frame()->findChild<QMenu*>(aName); }

    // Opens a menu of the menu bar as the user does, by a click on its title; the enabled
    // items, in the menu's order, while it is open. The menu is closed again.
    static QStringList EnabledItems(const QString& aMenu)
    {
        QMenuBar* bar = Frame()->findChild<QMenuBar*>(QStringLiteral("fMenuBar"));
        QMenu* menu = Menu(aMenu);
        const QRect title = bar->actionGeometry(menu->menuAction());
        QTest::mouseClick(bar, Qt::LeftButton, {}, title.center());
        EXPECT_TRUE(menu->isVisible()) << aMenu.toStdString();
        const QStringList enabled = EnabledOf(*menu);
        menu->hide();
        return enabled;
    }
    // Chooses a menu item as the user does: a click on its menu's title in the menu bar, then
    // one on the item (aPath: the submenus between, such as "fPicture").
    static void Choose(const QString& aMenu, const QString& aItem, const QStringList& aPath = {})
    {
        QMenuBar* bar = Frame()->findChild<QMenuBar*>(QStringLiteral("fMenuBar"));
        QMenu* menu = Menu(aMenu);
        ASSERT_NE(menu, nullptr) << aMenu.toStdString();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(menu->isVisible()) << aMenu.toStdString();
        for (const QString& name : aPath)
        {
            QMenu* sub = Menu(name);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(sub->menuAction()).center());
            ASSERT_TRUE(sub->isVisible()) << name.toStdString();
            menu = sub;
        }
        QAction* item = Item(aItem);
        ASSERT_TRUE(item && menu->actions().contains(item)) << aItem.toStdString();
        ASSERT_TRUE(item->isEnabled()) << aItem.toStdString();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        QCoreApplication::processEvents();
    }
    // Chooses a menu item that opens a managed window; the window, shown.
    template <class T = CVexilForm>
    static T* OpenBy(const QString& aMenu, const QString& aItem, const QString& aClassName)
    {
        Choose(aMenu, aItem);
        auto* form = qobject_cast<T*>(Loaded(aClassName));
        EXPECT_NE(form, nullptr) << aClassName.toStdString();
        if (form)
        {
            EXPECT_TRUE(form->isVisible()) << aClassName.toStdString();
        }
        return form;
    }
    // Clicks a toolbar button of the main window by its key.
    static void ClickButton(const QString& aKey)
    {
        auto* toolbar = Frame()->findChild<QToolBar*>(QStringLiteral("fToolbar"));
        QWidget* button = toolbar->widgetForAction(Item(aKey));
        ASSERT_NE(button, nullptr) << aKey.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    // A submenu, opened on its own.
    static QStringList EnabledSubItems(const QString& aMenu)
    {
        QMenu* menu = Menu(aMenu);
        menu->popup(Frame()->mapToGlobal(QPoint(20, 20)));
        const QStringList enabled = EnabledOf(*menu);
        menu->hide();
        return enabled;
    }
    static QStringList EnabledOf(const QMenu& aMenu)
    {
        QStringList enabled;
        for (const QAction* item : aMenu.actions())
            if (!item->isSeparator() && item->isEnabled() && item->isVisible())
                enabled.append(item->objectName());
        return enabled;
    }
    // The toolbar buttons that can be clicked.
    static QStringList EnabledButtons()
    {
        QStringList enabled;
        for (const QAction* button : Frame()->findChild<QToolBar*>(QStringLiteral("fToolbar"))->actions())
            if (!button->isSeparator() && button->isEnabled())
                enabled.append(button->objectName());
        return enabled;
    }

    // Runs aAction on the modal box once one shows: the program may yield a few times before
    // it asks. A box left open by the action is closed so that the test cannot hang.
    static void WhenBoxShows(const TAction& aAction)
    {
        auto* poll = new QTimer(Frame());
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, aAction] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll->stop();
            poll->deleteLater();
            aAction(*box);
            if (box->isVisible())
            {
                ADD_FAILURE() << "the box is still open";
                box->reject();
            }
        });
        poll->start();
    }

    // ---- the stores

    QString SettingsFile() const { return iDir.File(QStringLiteral("Quorvans.ini")); }
    // The "Quorvans" folder of the documents folder.
    QString StackFolder() const { return iDir.File(QStringLiteral("Documents/Quorvans")); }
    static QString Setting(const QString& aSection, const QString& aName)
    {
        QString text;
        bool found = false;
        CVexilReg::GetVal(aSection, aName, text, found);
        return text;
    }

    // A field of the background shown on the card window on one line of 20 characters, with
    // its name as its label.
    static TControlRef ShownField(CVexilStack& aStack, CVexilControlSet& aBackground, const QString& aName,
                                  int32_t aType, int32_t aFlags = 0)
    {
        const TControlRef field = NewField(aStack, aBackground, aName, aType);
        field->SetFlags(EConInCardView | aFlags);
        field->SetLabel(aName);
        field->SetVisLines(1);
        field->SetVisChar(20);
        return field;
    }
    // Saves the stack in the stack folder with a plain stack view record; the file's path.
    QString SaveInFolder(const TStackRef& aStack, const QString& aFileName) const
    {
        return SaveStackFile(aStack, QDir(StackFolder()).filePath(aFileName));
    }

    // A stack of three cards "Anna", "Bert", "Cleo" of the background "Person" (fields Name,
    // the card name, and Age), saved in the stack folder; the binary form when asked. aView
    // may set the stack view record.
    QString MakeStack(const QString& aFileName, bool aBinary = false,
                      const std::function<void(CVexilStackViewRec&)>& aView = {}) const
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("People"));
        const TControlSetRef person = stack->Background(0);
        person->SetName(QStringLiteral("Person"));
        for (const auto& [name, type] : {std::pair{"Name", EConTypeText}, std::pair{"Age", EConTypeInteger}})
        {
            const TControlRef field = NewField(*stack, *person, QLatin1String(name), type);
            field->SetFlags(EConInCardView | (type == EConTypeText ? EConCardName : 0));
            field->SetLabel(QLatin1String(name));
            field->SetVisLines(1);
            field->SetVisChar(20);
        }
        TControlRef nameField;
        person->GetControlByName(QStringLiteral("Name"), nameField);
        for (const char* name : {"Anna", "Bert", "Cleo"})
            NewCard(*stack, QLatin1String(name), person)->SetControlVal(nameField->Id(), Val::Str(QLatin1String(name)));
        if (aBinary)
            stack->SetFlags(stack->Flags() | EStkBinary);
        return SaveStackFile(stack, QDir(StackFolder()).filePath(aFileName), aView);
    }

    std::vector<int> iEnded;
    TempDir iDir;
};
