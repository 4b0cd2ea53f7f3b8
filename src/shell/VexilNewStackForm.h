#pragma once

#include "shell/VexilDialogForm.h"

#include <QString>

class CVexilCommandButton;
class CVexilLabel;
class CVexilTextBox;

// What the new stack dialog makes a stack of, taken as typed (empty names too).
struct TNewStackInput
{
    QString Descr;
    QString BackgroundName;
    QString CardName;
};

// Makes a new stack the current one, without windows of its own.
class CVexilNewStack
{
public:
    static inline const QString KStackName = QStringLiteral("Quorvan");

    // With no stack open: gStack becomes a new stack named "Quorvan", saved in the binary form,
    // with the description, one background and one card of that background; gStackView a view
    // on it with the card window on that card and the card list open. A failure on the way is
    // raised with no stack left current: what opened is released and both globals are none.
    static void MakeCurrent(const TNewStackInput& aInput);
    // Releases the views of the current stack, errors ignored, and clears both globals.
    static void DropCurrent() noexcept;
};

// The new stack dialog ("Create New Stack"). Create leaves the current stack first; when the
// user stays in it (or it cannot be left now) the dialog stays open with its inputs; otherwise
// the new stack becomes current, the windows learn of it (EChgStackOpened) and the dialog
// unloads. A stack closed by other means while the dialog is open closes the dialog, but not
// the closing Create itself starts. The window restores its position when it loads and stores
// it when it unloads.
class CVexilNewStackForm : public CVexilDialogForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilNewStackForm");

    CVexilNewStackForm();

    // Registers the class with the form registry (again is harmless).
    static void Register();

    // EChgClosingStack unloads the dialog unless Create is at work; other kinds are ignored.
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    bool Busy() const { return iBusy; }

    CVexilLabel* fDescrLabel;
    CVexilTextBox* fDescr;
    CVexilLabel* fBackgroundLabel;
    CVexilTextBox* fBackgroundName;
    CVexilLabel* fCardLabel;
    CVexilTextBox* fCardName;
    CVexilCommandButton* fCreateBut;
    CVexilCommandButton* fCancelBut;

protected:
    void Load() override;
    void Unload() override;

private:
    void Create();

    // True while Create makes the new stack.
    bool iBusy = false;
};
