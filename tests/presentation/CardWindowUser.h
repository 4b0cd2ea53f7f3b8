#pragma once

// What a user does on the card window, with real events on real widgets: making the window
// active, clicking into a field's widget, typing over its text, leaving it with Tab, picking a
// line of a combo box, closing a window with its close box; and what the user sees of a field.

#include "QStringPrinter.h"
#include "model/VexilControl.h"
#include "platform/VexilCtls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>

#include <gtest/gtest.h>

namespace CardWindowUser
{
// Makes the window the active one, as when the user clicks its title bar.
inline void Activate(QWidget* aWindow)
{
    aWindow->show();
    aWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(aWindow));
}

// The widget that takes the mouse and the keys of a field's widget.
inline QWidget* Input(QObject* aWidget)
{
    if (auto* rich = qobject_cast<QTextEdit*>(aWidget))
        return rich->viewport();
    if (auto* combo = qobject_cast<QComboBox*>(aWidget); combo && combo->lineEdit())
        return combo->lineEdit();
    return qobject_cast<QWidget*>(aWidget);
}

inline QWidget* Input(const TControlRef& aField)
{
    return Input(aField->BaseControl());
}

// A click into the widget: it gets the focus.
inline void ClickInto(const TControlRef& aField)
{
    QTest::mouseClick(Input(aField), Qt::LeftButton);
}

// The field's text replaced as the user types it: a click into it, Ctrl+A, Delete and the
// keys; a line feed is the Return key.
inline void Type(const TControlRef& aField, const QString& aText)
{
    ClickInto(aField);
    auto* widget = qobject_cast<QWidget*>(aField->BaseControl());
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(widget, Qt::Key_Delete);
    const QStringList lines = aText.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i)
    {
        if (i > 0)
            QTest::keyClick(widget, Qt::Key_Return);
        QTest::keyClicks(widget, lines[i]);
    }
}

// Tab: the focus goes on to the next widget.
inline void Leave(const TControlRef& aField)
{
    QTest::keyClick(qobject_cast<QWidget*>(aField->BaseControl()), Qt::Key_Tab);
}

// The user opens the combo box's list and clicks the line.
inline void Pick(QComboBox* aCombo, int aLine)
{
    ASSERT_NE(aCombo, nullptr);
    aCombo->showPopup();
    QAbstractItemView* list = aCombo->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QRect line = list->visualRect(list->model()->index(aLine, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
}

inline void Pick(const TControlRef& aField, int aLine)
{
    Pick(qobject_cast<QComboBox*>(aField->BaseControl()), aLine);
}

// A close of the window by the user, through its close box; whether the window let it close.
inline bool UserClose(QWidget* aWindow)
{
    QCloseEvent close;
    QSpontaneKeyEvent::setSpontaneous(&close);
    static_cast<QObject*>(aWindow)->event(&close);
    return close.isAccepted();
}

// What the field's widget shows: the text of a box or combo box, the value of a check box.
inline QString Shown(const TControlRef& aField)
{
    QObject* widget = aField->BaseControl();
    if (auto* text = qobject_cast<QLineEdit*>(widget))
        return text->text();
    if (auto* rich = qobject_cast<QTextEdit*>(widget))
        return rich->toPlainText();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    if (auto* check = qobject_cast<CVexilCheckBox*>(widget))
        return QString::number(check->Value());
    return QStringLiteral("?");
}

inline bool HasFocus(const TControlRef& aField)
{
    auto* widget = qobject_cast<QWidget*>(aField->BaseControl());
    return widget && widget->hasFocus();
}
}  // namespace CardWindowUser
