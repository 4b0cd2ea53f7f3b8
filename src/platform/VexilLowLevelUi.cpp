#include "platform/VexilLowLevelUi.h"

#include "foundation/VexilLowLevel.h"
#include "foundation/VexilObject.h"
#include "platform/VexilHelpWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>

namespace
{
constexpr float kTwipsPerPixel = 15.0F;
constexpr int kMaxLineText = 1024;
constexpr int kAllItemsBelow = 30;
}  // namespace

void CVexilLowLevelUi::ShowHelp(const QString& aWindowClass, const QString& aControlName)
{
    CVexilHelpWindow::ShowTopic(CVexilLowLevel::HelpTopic(aWindowClass, aControlName));
}

QString CVexilLowLevelUi::BrowseForFolder(const QString& aTitle, QWidget* aOwner)
{
    return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(aOwner, aTitle, QString(), QFileDialog::ShowDirsOnly));
}

QString CVexilLowLevelUi::GetClipboardText()
{
    QString text = QGuiApplication::clipboard()->text();
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    else if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

TLineCol CVexilLowLevelUi::GetLineCol(const QTextDocument& aDoc, int32_t aPosition)
{
    const QTextBlock block = aDoc.findBlock(aPosition);
    if (aPosition < 0 || !block.isValid())
        return {UndefLong, UndefLong};
    return {block.blockNumber(), aPosition - block.position()};
}

QString CVexilLowLevelUi::GetCaretLineText(const QTextCursor& aCaret)
{
    if (aCaret.isNull())
        return {};
    const QTextBlock block = aCaret.document()->findBlock(aCaret.selectionStart());
    return block.isValid() ? block.text().left(kMaxLineText) : QString();
}

int CVexilLowLevelUi::DropDownItems(int aCount)
{
    if (aCount <= 0)
        return 1;
    return aCount < kAllItemsBelow ? aCount : kAllItemsBelow + 1;
}

void CVexilLowLevelUi::SizeComboDropDown(QComboBox* aCombo)
{
    aCombo->setMaxVisibleItems(DropDownItems(aCombo->count()));
}

TWindowSize CVexilLowLevelUi::ClientToWindowSize(int16_t aWidth, int16_t aHeight, const QWidget* aWindow)
{
    int frameWidth = 0;
    int frameHeight = 0;
    const auto* mdiFrame = aWindow ? qobject_cast<const QMdiSubWindow*>(aWindow->parentWidget()) : nullptr;
    if (mdiFrame)
    {
        const QMargins margins = mdiFrame->contentsMargins();
        frameWidth = margins.left() + margins.right();
        frameHeight = margins.top() + margins.bottom();
    }
    else if (aWindow && aWindow->frameGeometry() != aWindow->geometry())
    {
        frameWidth = aWindow->frameGeometry().width() - aWindow->geometry().width();
        frameHeight = aWindow->frameGeometry().height() - aWindow->geometry().height();
    }
    else
    {
        // The frame the window gets in the main window's document area.
        static const QMargins frame = [] {
            QMdiArea area;
            return area.addSubWindow(new QWidget)->contentsMargins();
        }();
        frameWidth = frame.left() + frame.right();
        frameHeight = frame.top() + frame.bottom();
    }
    return {aWidth * 20.0F + frameWidth * kTwipsPerPixel, aHeight * 20.0F + frameHeight * kTwipsPerPixel};
}

void CVexilLowLevelUi::CentreOnOwner(QWidget& aWindow)
{
    const QWidget* owner = aWindow.parentWidget();
    if (!owner)
        return;
    // The window is not framed before it shows: take the owner's frame as the measure of its own.
    const QRect main = owner->frameGeometry();
    const QSize outer = aWindow.size() + main.size() - owner->size();
    aWindow.move(main.left() + (main.width() - outer.width()) / 2, main.top() + (main.height() - outer.height()) / 2);
}
