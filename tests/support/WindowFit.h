#pragma once

// What a user sees of a window in the main window's document area, checked as texts that name
// each fault: the window lies wholly in the visible area, every control lies in the window and
// in the area, and no caption or label is cut (its text's measured width fits its box).

#include "platform/VexilCtl.h"
#include "platform/VexilForm.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QTreeWidget>

namespace WindowFit
{
inline QString Describe(const QRect& aRect)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(aRect.x()).arg(aRect.y()).arg(aRect.width()).arg(aRect.height());
}

inline QString Plain(QString aText)
{
    // A mnemonic's "&" is not shown; "&&" shows one "&".
    aText.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    aText.remove(u'&');
    aText.replace(u'\x01', u'&');
    return aText;
}

// The controls of a window that a user sees: its own controls and frames, not the inner
// parts of composite widgets.
inline QList<QWidget*> ShownControls(const QWidget& aForm)
{
    QList<QWidget*> shown;
    for (QWidget* widget : aForm.findChildren<QWidget*>())
        if ((CVexilCtl::Of(widget) || qobject_cast<QGroupBox*>(widget)) && widget != &aForm &&
            widget->isVisibleTo(&aForm) && widget->width() > 0 && widget->height() > 0)
            shown.append(widget);
    return shown;
}

// The text of a control that must show whole, and the width it has for it; none when the
// control shows no such text.
inline bool TextRoom(const QWidget& aWidget, QString& aText, int& aNeed, int& aRoom)
{
    const QFontMetrics metrics(aWidget.font());
    if (const auto* label = qobject_cast<const QLabel*>(&aWidget))
    {
        if (label->text().isEmpty() || label->wordWrap() || label->textFormat() == Qt::RichText)
            return false;
        aText = label->text();
        aNeed = metrics.horizontalAdvance(aText);
        aRoom = label->contentsRect().width();
        return true;
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(&aWidget))
    {
        if (box->text().isEmpty() || box->echoMode() != QLineEdit::Normal)
            return false;
        aText = box->text();
        // The frame and the box's own inner margin on either side.
        constexpr int kInnerMargin = 2;
        const int frame = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box) : 0;
        aNeed = metrics.horizontalAdvance(aText) + 2 * (frame + kInnerMargin);
        aRoom = box->width();
        return true;
    }
    if (qobject_cast<const QCheckBox*>(&aWidget) || qobject_cast<const QRadioButton*>(&aWidget))
    {
        const auto& button = static_cast<const QAbstractButton&>(aWidget);
        if (button.text().isEmpty())
            return false;
        aText = Plain(button.text());
        aNeed = button.sizeHint().width();
        aRoom = button.width();
        return true;
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&aWidget))
    {
        if (button->text().isEmpty())
            return false;
        aText = Plain(button->text());
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.rect = button->rect();
        aNeed = metrics.horizontalAdvance(aText);
        aRoom = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
        return true;
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(&aWidget))
    {
        if (frame->title().isEmpty())
            return false;
        aText = Plain(frame->title());
        // The title starts a little in from the frame's corner.
        constexpr int kTitleIndent = 8;
        aNeed = metrics.horizontalAdvance(aText) + 2 * kTitleIndent;
        aRoom = frame->width();
        return true;
    }
    return false;
}

// A push button's caption with the margin the style keeps between a caption and the bevel
// (its button margin, half on either side), and the room inside the bevel: a caption that
// fits TextRoom may still touch the bevel. False for an empty caption.
inline bool CaptionRoom(const QPushButton& aButton, int& aNeed, int& aRoom)
{
    if (aButton.text().isEmpty())
        return false;
    QStyleOptionButton option;
    option.initFrom(&aButton);
    option.text = aButton.text();
    option.rect = aButton.rect();
    const QStyle* style = aButton.style();
    aNeed = QFontMetrics(aButton.font()).horizontalAdvance(Plain(aButton.text())) +
            style->pixelMetric(QStyle::PM_ButtonMargin, &option, &aButton);
    aRoom = style->subElementRect(QStyle::SE_PushButtonContents, &option, &aButton).width();
    return true;
}

// Every fault of a window shown in the document area, one line each; empty when it fits.
inline QStringList Faults(const CVexilForm& aForm)
{
    QStringList faults;
    const QMdiArea* area = CVexilForm::MdiArea();
    const QMdiSubWindow* frame = aForm.SubWindow();
    if (!area || !frame)
        return {QStringLiteral("not in the document area")};
    const QRect visible(QPoint(0, 0), area->viewport()->size());
    if (!visible.contains(frame->geometry()))
        faults.append(QStringLiteral("window %1 outside the area %2").arg(Describe(frame->geometry()), Describe(visible)));
    const QRect client(QPoint(0, 0), aForm.size());
    for (QWidget* widget : ShownControls(aForm))
    {
        const QString name = widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                             : widget->objectName();
        const QRect inForm(widget->mapTo(&aForm, QPoint(0, 0)), widget->size());
        const QRect inArea(widget->mapTo(area->viewport(), QPoint(0, 0)), widget->size());
        const QWidget* parent = widget->parentWidget();
        if (!client.contains(inForm))
            faults.append(QStringLiteral("%1 %2 outside the window %3").arg(name, Describe(inForm), Describe(client)));
        else if (parent != &aForm && !parent->rect().contains(widget->geometry()))
            faults.append(QStringLiteral("%1 %2 cut by %3 %4")
                              .arg(name, Describe(widget->geometry()), parent->objectName(), Describe(parent->rect())));
        else if (!visible.contains(inArea))
            faults.append(QStringLiteral("%1 %2 outside the area %3").arg(name, Describe(inArea), Describe(visible)));
        QString text;
        int need = 0;
        int room = 0;
        // A text box may hold more than it shows; the boxes of dates and times are checked apart.
        if (!qobject_cast<const QLineEdit*>(widget) && TextRoom(*widget, text, need, room) && need > room)
            faults.append(QStringLiteral("%1 \"%2\" cut: needs %3, has %4").arg(name, text).arg(need).arg(room));
        if (const auto* list = qobject_cast<const QTreeWidget*>(widget); list && !list->isHeaderHidden())
            for (int column = 0; column < list->columnCount(); ++column)
            {
                const QHeaderView* header = list->header();
                QStyleOptionHeader option;
                option.initFrom(header);
                option.text = list->headerItem()->text(column);
                need = header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header).width();
                if (!header->isSectionHidden(column) && need > header->sectionSize(column))
                    faults.append(QStringLiteral("%1 column \"%2\" cut: needs %3, has %4")
                                      .arg(name, option.text)
                                      .arg(need)
                                      .arg(header->sectionSize(column)));
            }
    }
    return faults;
}
}  // namespace WindowFit
