#pragma once

#include "foundation/VexilPrompts.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTextEdit;

// The program's own modal message box: class icon, the text, and Yes/No/Help for a question
// or OK/Help for any other class. It is hidden, not destroyed, after an answer, so it shows
// again where it stood; closing it through the title bar makes the next showing centre it again.
class CVexilMsgForm : public QDialog
{
    Q_OBJECT

public:
    explicit CVexilMsgForm(QWidget* aOwner = nullptr);

    // Shows the message modally and returns true when the user answered Yes.
    bool Present(const TMsgPrompt& aPrompt);
    void SetText(const QString& aText);
    bool Answer() const { return iAnswer; }

protected:
    void closeEvent(QCloseEvent* aEvent) override;

private:
    QPushButton* AddButton(const QString& aName, const QString& aCaption, int aLeftTwips);
    void SetClass(int32_t aClass);
    void Answered(bool aAnswer);

    QLabel* fClass;
    QTextEdit* fText;
    QPushButton* fYes;
    QPushButton* fNo;
    QPushButton* fHelp0;
    QPushButton* fOk;
    QPushButton* fHelp1;
    bool iAnswer = false;
    bool iPlaced = false;
};
