#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;
class QPushButton;

// The modal question asked before a stack with unsaved changes is left. It only records the
// answer: 0 "Save", 1 "Discard", 2 "Back to Stack". Every showing starts from "Back to Stack",
// so closing the prompt by its close box or Escape answers 2 whatever an earlier showing
// answered. No button is a default or cancel button.
class CVexilSave : public QDialog
{
public:
    enum : int16_t
    {
        EAnswerSave = 0,
        EAnswerDiscard = 1,
        EAnswerBack = 2,
    };

    explicit CVexilSave(QWidget* aOwner = nullptr);

    // Shows the prompt modally, centred on its owner, and returns the answer.
    int16_t Present();
    int16_t DialogRes() const { return iDialogRes; }

    // Loads a prompt on aOwner, asks it once and unloads it (the widget prompts' save prompt).
    static int16_t Ask(QWidget* aOwner);

private:
    QPushButton* AddButton(const QString& aName, const QString& aCaption, int aLeftTwips, int16_t aAnswer);

    QLabel* Image1;
    QLabel* Label1;
    QPushButton* fSaveBut;
    QPushButton* fDiscardBut;
    QPushButton* fBackBut;
    int16_t iDialogRes = EAnswerBack;
};
