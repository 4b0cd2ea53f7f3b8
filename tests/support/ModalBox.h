#pragma once

// Header only: used by the test programs that show widgets (the support library has no widgets).

#include "ScriptedPrompts.h"
#include "platform/VexilWidgetPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using TAction = std::function<void(QDialog&)>;

inline QPushButton* Button(QDialog& aBox, const char* aName)
{
    return aBox.findChild<QPushButton*>(QLatin1String(aName));
}

// Runs aAction on the modal box once it is showing; a box left open by the action is closed so
// that the test cannot hang.
inline void WhenShown(const TAction& aAction)
{
    QTimer::singleShot(0, [aAction] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box)
        {
            ADD_FAILURE() << "no modal box is showing";
            return;
        }
        aAction(*box);
        if (box->isVisible())
        {
            ADD_FAILURE() << "the box is still open";
            box->reject();
        }
    });
}

inline TAction Click(const char* aName)
{
    return [aName](QDialog& aBox) { QTest::mouseClick(Button(aBox, aName), Qt::LeftButton); };
}

// Uses the real prompts (message box, save prompt) for one test, then goes back to the scripted
// answers.
class WidgetPromptsScope
{
public:
    WidgetPromptsScope() { CVexilPrompts::Install(&iPrompts); }
    ~WidgetPromptsScope() { CVexilPrompts::Install(&ScriptedPrompts::Instance()); }
    CVexilWidgetPrompts& Prompts() { return iPrompts; }

private:
    CVexilWidgetPrompts iPrompts;
};
