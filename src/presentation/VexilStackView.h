#pragma once

#include "foundation/VexilObject.h"
#include "foundation/VexilRect.h"
#include "foundation/VexilValueDef.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"
#include "model/VexilStackViewRec.h"
#include "script/VexilStackViewLink.h"

#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class CVexilCardView;
class CVexilRichTextBox;
class IVexilCardListView;
class QObject;

// The controller of the open stack's presentation: it opens, refreshes and releases the card
// window and the card list, keeps the current card and a history of the cards shown, follows
// the field being edited and stores its value when it is left, answers clicks and sends the
// card window's script messages. Its name, open flags and window rectangles are its record,
// which the stack files keep.
//
// Guarantees: the history holds at most 10 cards, never a card deleted through DeleteCard or
// DeleteBackground; while no card is current there is no field being edited; a value stored
// through SetValue reaches the card window and the card list; the title's position and count
// follow every change of its stack's order or number of cards, whoever makes it. The widgets
// it follows belong to the card window and are only pointed at.
class CVexilStackView : public CVexilObject, public IVexilStackViewLink, private IVexilCardOrderWatch
{
public:
    ~CVexilStackView() override;

    static constexpr int16_t KHistSlots = 11;
    static constexpr int16_t KMaxHist = 10;

    // --- state, windows and views
    // So spelled. A view of a new stack with default rectangles.
    void Contruct(const QString& aName);
    // A view on the record read from a stack file.
    void ContructOnRec(const TStackViewRecRef& aRec);
    QString ObjDescr() const override;

    const QString& Name() const { return iRec->Name(); }
    // The record that the stack files write; its rectangles are the windows' placement as
    // of the last UpdateRect.
    const TStackViewRecRef& Rec() const { return iRec; }
    const std::shared_ptr<CVexilRect>& CardViewRect() const { return iRec->CardViewRect(); }
    const std::shared_ptr<CVexilRect>& CardListRect() const { return iRec->CardListRect(); }
    CVexilCardView* CardView() const { return iCardView.get(); }
    IVexilCardListView* CardListView() const { return iCardListView.get(); }
    bool CardViewOpen() const { return iRec->CardViewOpen(); }
    bool CardListOpen() const { return iRec->CardListOpen(); }
    TCardRef CurCard() const override { return iCurCard; }
    // The pool widget being edited, or none.
    QObject* CurObj() const { return iCurObj; }
    bool CurObjChanged() const { return iCurObjChanged; }
    bool GetCurCard(TCardRef& aCard) const;
    TStackRef Stack() const override { return iStack; }

    void SetStack(const TStackRef& aStack);
    void OpenCardView();
    void CloseCardView(bool aFormCloses);
    void OpenCardList();
    void CloseCardList();
    // Closes both windows and unloads them; the unloaded card window is destroyed, so that
    // the next stack gets a new one.
    void Release();
    void UpdateRect();
    void RefreshViews(bool aRefreshCardView, bool aRefreshCardList);
    // The card window's Resize: colours and wallpaper follow; values and typing stay.
    void BaseFormResize();
    // The card list's click: shows the card of the selected line; a card no longer in the
    // stack shows nothing and refills the list.
    void GoToSelectedCard();
    void ResizeCardList();
    void SetFocusToCardView();
    // The card window's Deactivate: the field being edited is validated.
    void BaseFormLostFocus();

    // --- showing cards, history and navigation
    // Leaves the current card and shows aCard, then adds it to the history. A card that is
    // none or no longer in the stack changes nothing.
    void GoToCard(const TCardRef& aCard) override;
    void LeaveCurCard();
    // Each gives the card shown and whether one was.
    bool HistoryNext(TCardRef& aCard);
    bool HistoryPrev(TCardRef& aCard);
    bool OrderFirst(TCardRef& aCard);
    bool OrderNext(TCardRef& aCard) override;
    bool OrderPrev(TCardRef& aCard);
    bool OrderLast(TCardRef& aCard);
    int16_t HistIndex() const { return iHistIndex; }
    int16_t HistCount() const { return iHistCount; }
    // Entry aIndex (0 to 10) of the history, none when unused.
    const TCardRef& History(int16_t aIndex) const { return iHistory.at(size_t(aIndex)); }

    // --- editing field values
    // Validates the field being edited and follows its widget again; false when its edit was
    // refused.
    bool ValidateCurControl();
    void BaseObjChange(QObject* aObj);
    void BaseObjGotFocus(QObject* aObj);
    // aCancel is never set: validation never keeps the focus.
    void BaseObjValidate(QObject* aObj, bool& aCancel);
    // A click moved the focus away from aObj, the field being edited, and is about to act:
    // aObj is validated first. False when the click must not act: the edit was refused, or
    // the validation left the card.
    bool EndEditForClick(QObject* aObj);
    void UpdateAfterControlChange();
    // Stores a card's value of a field and shows it on the card window and the card list.
    // No read-only check, no script message.
    void SetValue(const TCardRef& aCard, int32_t aControlId, const TValue& aValue) override;
    // Brings the card list up to date from the stack's change record (after a script ran).
    void UpdateCardListFromChanges();

    // --- clicks, standard commands and script messages
    void BaseObjClick(QObject* aObj);
    void BaseObjDblClick(QObject* aObj);
    void BaseObjPaste(QObject* aObj);
    // aObj: a field, a card, or none for the current card. Reports a script's error itself.
    void ExecScript(const TObjRef& aObj, const QString& aScriptName);

    // --- card and background operations
    void EmptyStack();
    void AddCard(const TCardRef& aCard, const TCardRef& aBeforeCard);
    void DeleteCard(const TCardRef& aCard, const TControlSetRef& aAvoidBackground);
    void DeleteBackground(const TControlSetRef& aBackground, bool aCardsOnly);

    // --- the running script's progress: the label at that share of its box
    void ShowProgress(int32_t aPercent) override;
    // The run has ended: the progress box goes until the next run shows it.
    void HideProgress();

private:
    bool InStack(const TCardRef& aCard) const;
    // The stack's order watch is this view no more.
    void Unwatch();

    void ShowCard(const TCardRef& aCard);
    void ShowCurCard();
    // The title written, then a yield.
    void ShowTitle();
    // The title: the current card's name, its position and the number of cards.
    void WriteTitle();
    // The order watch: the title only, without a yield, since the stack may be in the middle
    // of an operation.
    void CardOrderChanged() override;
    void AddToHistory(const TCardRef& aCard);
    // Removes every entry of the card from the history.
    void RemoveFromHistory(const CVexilCard& aCard);
    // No card is current; nothing is being edited.
    void DropCurCard();

    void LeaveCurObj();
    // How the validation of a field ended: nothing stored, the edit stored, or refused.
    enum class EEditEnd
    {
        Kept,
        Stored,
        Refused
    };
    // BaseObjValidate, telling how it ended.
    EEditEnd Validate(QObject* aObj);
    // The user's edit of the field being edited stored, or refused.
    EEditEnd StoreEdit(const TCardRef& aCard, const TControlRef& aField);
    // "Read-only!", and the stored value back into the field's widget.
    void RejectReadOnly(CVexilCard& aCard, CVexilControl& aField);
    // The field a click or paste on aObj may store into: none when aObj shows no field, and none
    // after "Read-only!" for a read-only field.
    TControlRef WritableField(QObject* aObj);
    void ClickLink(CVexilRichTextBox& aBox);
    void ClickCheckBox(QObject* aObj);
    void ClickCommand(QObject* aObj);
    void ExecStdCmd(int16_t aStdCmd, const TControlRef& aField);

    TCardRef FindNextCardAvoiding(const CVexilControlSet* aBackground) const;

    TStackViewRecRef iRec;
    std::shared_ptr<CVexilCardView> iCardView;
    std::shared_ptr<IVexilCardListView> iCardListView;
    bool iShowingValues = false;
    std::array<TCardRef, KHistSlots> iHistory;
    int16_t iHistIndex = 0;
    int16_t iHistCount = 0;
    TCardRef iCurCard;
    QPointer<QObject> iCurObj;
    bool iCurObjChanged = false;
    bool iRefreshingList = false;
    bool iValidating = false;
    TStackRef iStack;
};

using TStackViewRef = std::shared_ptr<CVexilStackView>;

// The current stack and its stack view: set together when a stack is opened, cleared
// together when it is closed.
extern TStackRef gStack;
extern TStackViewRef gStackView;
