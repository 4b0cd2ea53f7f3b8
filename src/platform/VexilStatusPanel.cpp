#include "platform/VexilStatusPanel.h"

#include "foundation/VexilLib.h"

#include <QFontMetrics>

#include <algorithm>

namespace
{
// The narrowest a shared panel becomes: room for a few characters and the ellipsis.
constexpr int kMinWidth = 60;
}

CVexilStatusPanel::CVexilStatusPanel(QWidget* aParent) : QLabel(aParent)
{
    setTextFormat(Qt::PlainText);
}

void CVexilStatusPanel::SetFullText(const QString& aText)
{
    iText = aText;
    setToolTip(aText);
    ShowFitting();
    updateGeometry();
}

void CVexilStatusPanel::SetFixed(bool aFixed)
{
    iFixed = aFixed;
    updateGeometry();
}

int CVexilStatusPanel::TextWidth() const
{
    const QMargins margins = contentsMargins();
    // A pixel more for the fraction the measured width was rounded down by.
    return fontMetrics().horizontalAdvance(CVexilLib::OneLine(iText)) + 1 + margins.left() + margins.right() +
           2 * (frameWidth() + margin() + std::max(0, indent()));
}

QSize CVexilStatusPanel::sizeHint() const
{
    return {std::max(kMinWidth, TextWidth()), QLabel::sizeHint().height()};
}

QSize CVexilStatusPanel::minimumSizeHint() const
{
    return {iFixed ? sizeHint().width() : kMinWidth, QLabel::minimumSizeHint().height()};
}

void CVexilStatusPanel::resizeEvent(QResizeEvent* aEvent)
{
    QLabel::resizeEvent(aEvent);
    ShowFitting();
}

void CVexilStatusPanel::ShowFitting()
{
    // A line break would make the panel taller.
    const QString text = CVexilLib::OneLine(iText);
    const int room = contentsRect().width() - 2 * margin() - 2 * std::max(0, indent());
    setText(fontMetrics().elidedText(text, Qt::ElideRight, std::max(0, room)));
}
