#pragma once

// What a user does in the program's editor windows, with real events on real widgets: typing
// over a box's text, leaving with Tab, picking a combo box line by its text, clicking a list
// line; and the messages the program showed meanwhile.

#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "foundation/VexilMsg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace EditorUser
{
// A click into the box, then its text replaced by the keys typed; the focus stays in the box.
inline void Type(QLineEdit* aBox, const QString& aText)
{
    QTest::mouseClick(aBox, Qt::LeftButton);
    QTest::keyClick(aBox, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(aBox, Qt::Key_Delete);
    QTest::keyClicks(aBox, aText);
}

// Tab from the widget that has the focus.
inline void Tab()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

// The user opens the combo box's list and clicks the first line that starts with the text.
inline void Pick(QComboBox* aCombo, const QString& aText)
{
    int line = -1;
    for (int i = 0; i < aCombo->count() && line < 0; ++i)
        if (aCombo->itemText(i).startsWith(aText))
            line = i;
    ASSERT_GE(line, 0) << aText.toStdString();
    aCombo->showPopup();
    QAbstractItemView* list = aCombo->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(line, 0)).center());
}

// A click on the line of a list view that shows the text in its first column.
inline void ClickLine(QTreeWidget* aView, const QString& aText)
{
    const QList<QTreeWidgetItem*> items = aView->findItems(aText, Qt::MatchExactly, 0);
    ASSERT_FALSE(items.isEmpty()) << aText.toStdString();
    QTest::mouseClick(aView->viewport(), Qt::LeftButton, {}, aView->visualItemRect(items.first()).center());
}

// The messages shown since the prompts were last reset, as "id p0 p1" (unset and empty
// parameters left out).
inline QStringList Shown()
{
    QStringList shown;
    for (const TMsgPrompt& prompt : ScriptedPrompts::Instance().Messages())
    {
        QString line = QString::number(prompt.Id);
        for (const QString& param : prompt.Params)
            if (param != CVexilMsg::Undef && !param.isEmpty())
                line += QLatin1Char(' ') + param;
        shown += line;
    }
    return shown;
}
}  // namespace EditorUser
