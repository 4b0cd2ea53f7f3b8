#include "platform/VexilWidgetPrompts.h"

#include "foundation/VexilObject.h"
#include "platform/VexilCtl.h"

#include <QColorDialog>
#include <QMessageBox>

#include <utility>

CVexilWidgetPrompts::CVexilWidgetPrompts() = default;

CVexilWidgetPrompts::~CVexilWidgetPrompts()
{
    delete iMsgForm;
}

void CVexilWidgetPrompts::SetMainWindow(QWidget* aMainWindow)
{
    iMainWindow = aMainWindow;
    delete iMsgForm;  // the next message loads the box with its new owner
}

bool CVexilWidgetPrompts::MessageBox(const TMsgPrompt& aPrompt)
{
    // A message raised while the box is up (from an event handled during its modal loop) gets a
    // box of its own rather than re-entering the one that is showing.
    if (iMsgFormBusy)
        return CVexilMsgForm(iMainWindow).Present(aPrompt);
    if (!iMsgForm)
        iMsgForm = new CVexilMsgForm(iMainWindow);
    iMsgFormBusy = true;
    const bool answer = iMsgForm->Present(aPrompt);
    iMsgFormBusy = false;
    return answer;
}

void CVexilWidgetPrompts::Notice(const QString& aText)
{
    QMessageBox::information(iMainWindow, QStringLiteral("Quorvans"), aText, QMessageBox::Ok);
}

bool CVexilWidgetPrompts::ChooseColor(int32_t& aColor)
{
    const QColor start = aColor == UndefLong ? QColor(Qt::white) : CVexilCtl::ToQColor(aColor);
    const QColor chosen = QColorDialog::getColor(start, iMainWindow);
    if (!chosen.isValid())
        return false;
    aColor = CVexilCtl::FromQColor(chosen);
    return true;
}

void CVexilWidgetPrompts::SetSavePrompt(TSavePrompt aPrompt)
{
    iSavePrompt = std::move(aPrompt);
}

int16_t CVexilWidgetPrompts::SaveChanges()
{
    return iSavePrompt ? iSavePrompt(iMainWindow) : 2;
}
