#include "platform/VexilTextFit.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace
{
// The text a caption shows: a mnemonic's "&" is not drawn.
QString Shown(const QString& aCaption)
{
    QString text = aCaption;
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

// The room a push button's bevel leaves its caption.
int ButtonRoom(const QPushButton& aButton)
{
    QStyleOptionButton option;
    option.initFrom(&aButton);
    option.text = aButton.text();
    option.rect = aButton.rect();
    return aButton.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &aButton).width();
}

// A frame's title starts in from its corner and keeps as much room after it.
constexpr int kTitleIndent = 8;
}  // namespace

int CVexilTextFit::Shortfall(const QWidget& aControl)
{
    const QFontMetrics metrics(aControl.font());
    int need = 0;
    int room = 0;
    if (const auto* label = qobject_cast<const QLabel*>(&aControl))
    {
        if (label->wordWrap() || label->textFormat() == Qt::RichText || !label->pixmap().isNull())
            return 0;
        need = metrics.horizontalAdvance(label->text());
        room = label->contentsRect().width();
    }
    else if (qobject_cast<const QCheckBox*>(&aControl) || qobject_cast<const QRadioButton*>(&aControl))
    {
        const auto& button = static_cast<const QAbstractButton&>(aControl);
        need = button.text().isEmpty() ? 0 : button.sizeHint().width();
        room = button.width();
    }
    else if (const auto* button = qobject_cast<const QPushButton*>(&aControl))
    {
        need = metrics.horizontalAdvance(Shown(button->text()));
        room = ButtonRoom(*button);
    }
    else if (const auto* frame = qobject_cast<const QGroupBox*>(&aControl))
    {
        need = frame->title().isEmpty() ? 0 : metrics.horizontalAdvance(Shown(frame->title())) + 2 * kTitleIndent;
        room = frame->width();
    }
    return std::max(0, need - room);
}

int CVexilTextFit::ButtonWidth(const QPushButton& aButton)
{
    QStyleOptionButton option;
    option.initFrom(&aButton);
    const int bevel = aButton.width() - ButtonRoom(aButton);
    return QFontMetrics(aButton.font()).horizontalAdvance(Shown(aButton.text())) +
           aButton.style()->pixelMetric(QStyle::PM_ButtonMargin, &option, &aButton) + bevel;
}

void CVexilTextFit::Apply(QWidget& aForm)
{
    for (QWidget* control : aForm.findChildren<QWidget*>())
    {
        const int missing = control->isWindow() ? 0 : Shortfall(*control);
        if (missing == 0)
            continue;
        const QRect before = control->geometry();
        control->resize(before.width() + missing, before.height());
        // The rest of the row makes way.
        for (QObject* child : control->parentWidget()->children())
        {
            auto* sibling = qobject_cast<QWidget*>(child);
            if (!sibling || sibling == control || sibling->isWindow())
                continue;
            const QRect place = sibling->geometry();
            const bool sameRow = place.top() <= before.bottom() && place.bottom() >= before.top();
            if (sameRow && place.left() > before.right())
                sibling->move(place.x() + missing, place.y());
        }
    }
}
