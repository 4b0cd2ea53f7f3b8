#pragma once

// What a user does with the shell's dialogs, on real widgets under QTest, and a fixture that
// gives each test a temporary registry and unloads every window after it.

#include "TempRegistry.h"
#include "platform/VexilForm.h"
#include "platform/VexilFormRegistry.h"
#include "shell/VexilWinMan.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace DialogUser
{
// Loads and shows the managed window of that class as the main window's menu does.
template <class T>
T* Show(const QString& aClassName)
{
    auto* form = dynamic_cast<T*>(CVexilWinMan::NameToForm(aClassName));
    if (!form)
    {
        ADD_FAILURE() << "no window " << aClassName.toStdString();
        return nullptr;
    }
    CVexilWinMan::ShowForm(*form);
    return form;
}

// Replaces the text of a box by typing.
inline void Type(QLineEdit* aBox, const QString& aText)
{
    aBox->setFocus();
    QTest::keyClick(aBox, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(aBox, Qt::Key_Delete);
    QTest::keyClicks(aBox, aText);
}

inline void Click(QAbstractButton* aButton)
{
    QTest::mouseClick(aButton, Qt::LeftButton);
}

// Lets windows unloaded meanwhile go.
inline void DeleteUnloaded()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
}  // namespace DialogUser

class DialogTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { CVexilWinMan::RegisterForms(); }
    void TearDown() override
    {
        CVexilFormRegistry::UnloadAll();
        DialogUser::DeleteUnloaded();
    }

    static bool Loaded(const QString& aClassName) { return CVexilWinMan::IsFormLoaded(aClassName); }

    TempRegistry iRegistry;
};
