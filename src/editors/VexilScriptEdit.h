#pragma once

#include "platform/VexilCtls.h"
#include "presentation/VexilManagedForm.h"
#include "script/VexilInterpreter.h"

#include <QString>

#include <cstdint>
#include <exception>

// The window "Edit Script": the script source of one stack, background, card or field. Save
// compiles the whole source into new handlers and stores source and handlers on the object;
// a compile error keeps the window open at the failing line and changes nothing. A script's
// run-time error opens it at the failing line of the object whose handler ran.
//
// Typed source is never dropped without the discard question: not by Cancel or a close, not
// by another object or run-time error taking the window, not when the object leaves the
// stack. When the user keeps the text of an object that left the stack, the window holds no
// object and Save is disabled, so nothing is stored into an object the stack no longer has.
// No exception leaves an event handler; what a handler raises is reported with its message.
class CVexilScriptEdit final : public CVexilManagedForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilScriptEdit");

    CVexilScriptEdit();

    // Registers the class with the form registry (again is harmless).
    static void Register();
    // The editors' "Script..." buttons: shows the window on the object's script. False when
    // the window kept the unsaved text of another object, or the program has no such window.
    static bool EditScript(const TObjRef& aObj);
    // The stack view's run-time error: shows the window at the failing line and the message.
    // Without the window only the message shows.
    static void ShowScriptRunError(const TRunErrInfo& aInfo);

    // Makes aObj the edited object. With unsaved text of another object the discard question
    // comes first; No keeps the window as it is and gives false. The same object again keeps
    // the text typed.
    Q_INVOKABLE bool SetScriptObj(const TObjRef& aObj);
    // Shows the record's object at its failing line and its message (Critical). Unsaved text
    // is replaced only after the discard question; No keeps it, and the message still shows.
    void ShowRunError(const TRunErrInfo& aInfo);

    // Closes on EChgClosingStack, and when the object leaves the stack (EChgDeletingCard,
    // EChgDeletingBackground, EChgStructure, EChgCards); unsaved text is kept only after the
    // discard question, in a window without object.
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    bool Sizable() const override { return false; }

    const TObjRef& Obj() const { return iObj; }
    bool IsChanged() const { return iChanged; }

    CVexilRichTextBox* fSource = nullptr;
    CVexilCommandButton* fSaveBut = nullptr;
    CVexilCommandButton* fCancelBut = nullptr;
    CVexilTextBox* fErrorStr = nullptr;
    CVexilTextBox* fErrorLine = nullptr;
    CVexilTextBox* fErrorPos = nullptr;
    CVexilTextBox* fRow = nullptr;
    CVexilTextBox* fCol = nullptr;

protected:
    void Load() override;
    void closeEvent(QCloseEvent* aEvent) override;
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;

private:
    void BuildDesign();
    void ConnectEvents();

    void FillSource();
    // Selects the line of that index in the source box; false when there is no such line.
    bool SelectLine(int32_t aLineIndex);
    // True when there is no unsaved text, or the user lets it go.
    bool MayDiscard() const;
    void SaveClicked();
    void Catch(const std::exception& aError);
    void CancelClicked();
    void ShowCaretPos();
    void InsertNewLine();

    TObjRef iObj;
    bool iChanged = false;
    // True while the window fills the source box: that is no edit of the user.
    bool iFilling = false;
};
