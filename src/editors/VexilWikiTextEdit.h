#pragma once

#include "editors/VexilWikiTextTarget.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilManagedForm.h"

#include <QString>

#include <cstdint>
#include <optional>

// The window "Edit Wiki Text": the mark-up of a field of a card as plain text, which the user
// edits, wraps in a link ("Selection to Link") and saves into the card (Save) or drops
// (Cancel). SetObj again replaces card, field and text.
//
// It stores only into its card while the card and the field are in the current stack with the
// field's type unchanged: it closes when its card or background is being deleted, the stack
// is closing, or the field is gone or changed its type. A read-only field is not stored: Save
// says "Read-only!" and the window stays open. No exception leaves an event handler.
class CVexilWikiTextEdit final : public CVexilManagedForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilWikiTextEdit");

    CVexilWikiTextEdit();

    // Registers the class with the form registry (again is harmless).
    static void Register();

    void SetObj(const TCardRef& aCard, const TControlRef& aControl);
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    bool Sizable() const override { return false; }

    const TCardRef& Card() const { return iTarget.Card(); }
    const TControlRef& Control() const { return iTarget.Control(); }

    // The text with the aLength characters from aStart wrapped in "[[" and "]]", a trailing
    // blank of the selection left outside; none when that leaves nothing to wrap.
    static std::optional<QString> SelectionToLink(const QString& aText, int aStart, int aLength);

    CVexilRichTextBox* fWikiText = nullptr;
    CVexilCommandButton* fSelToLinkBut = nullptr;
    CVexilCommandButton* fSaveBut = nullptr;
    CVexilCommandButton* fCancelBut = nullptr;

protected:
    void Load() override;

private:
    void SelToLinkClicked();
    void SaveClicked();
    // The box's text with "\n" line ends.
    QString EditText() const;

    CVexilWikiTextTarget iTarget;
};
