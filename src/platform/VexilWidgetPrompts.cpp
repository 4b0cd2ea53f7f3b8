#include "platform/VexilWidgetPrompts.h"

#include "foundation/VexilObject.h"
#include "platform/VexilCtl.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
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

bool CVexilWidgetPrompts::ChooseFont(TFontPrompt& aFont)
{
    QFont start(aFont.FaceName);
    if (aFont.Size > 0)
        start.setPointSizeF(aFont.Size);
    start.setBold(aFont.Bold);
    start.setItalic(aFont.Italic);
    start.setUnderline(aFont.Underline);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, start, iMainWindow);
    if (!ok)
        return false;
    aFont.FaceName = chosen.family();
    aFont.Bold = chosen.bold();
    aFont.Italic = chosen.italic();
    aFont.Underline = chosen.underline();
    aFont.Size = float(chosen.pointSizeF());
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

namespace
{
// "Name (*.a;*.b)|*.a;*.b|All Files (*.*)|*" as the name filters of a QFileDialog: each
// description with the patterns of its pair, separated by blanks.
QStringList NameFilters(const QString& aFilter)
{
    const QStringList parts = aFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    {
        QString description = parts[i];
        const qsizetype open = description.indexOf(QLatin1Char('('));
        if (open >= 0)
            description.truncate(open);
        const QString patterns = parts[i + 1].split(QLatin1Char(';')).join(QLatin1Char(' '));
        filters.append(description.trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}
}  // namespace

bool CVexilWidgetPrompts::FileDialog(const TFileDialogPrompt& aDialog, QString& aFileName)
{
    QFileDialog dialog(iMainWindow, aDialog.Title, aDialog.InitDir);
    dialog.setNameFilters(NameFilters(aDialog.Filter));
    dialog.setDefaultSuffix(aDialog.DefaultExt);
    dialog.setAcceptMode(aDialog.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(aDialog.Save || !(aDialog.Flags & TFileDialogPrompt::KFileMustExist)
                           ? QFileDialog::AnyFile
                           : QFileDialog::ExistingFile);
    if (!(aDialog.Flags & TFileDialogPrompt::KOverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    aFileName = aDialog.WithDefaultExt(dialog.selectedFiles().constFirst());
    return true;
}

QString CVexilWidgetPrompts::BrowseForFolder(const QString& aTitle)
{
    return QFileDialog::getExistingDirectory(iMainWindow, aTitle);
}
