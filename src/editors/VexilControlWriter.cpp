#include "editors/VexilControlWriter.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilValue.h"
#include "model/VexilIdGen.h"
#include "model/VexilSortKey.h"
#include "model/VexilStack.h"

#include <QStringList>

namespace
{
const QString kControl = QStringLiteral("control");
// The labels the messages give the inputs, as the window captions them.
const QString kNameLabel = QStringLiteral("Name");
const QString kTypeLabel = QStringLiteral("Type");
const QString kDestCardLabel = QStringLiteral("Destination card");
const QString kSelBackgroundLabel = QStringLiteral("Background of cards to list");
const QString kSelControlLabel = QStringLiteral("Field to check for selecting value");

// The line of "Go to Card by Name" in the list of standard commands.
constexpr int32_t kGoToCardLine = EStdCmdGoToCard + 1;

// The names of a list of columns as the name list reader splits them.
QStringList ColumnNames(const QString& aText)
{
    QStringList names;
    if (aText.isEmpty())
        return names;
    names = aText.split(QLatin1Char(','));
    // A last comma ends the list without an empty name after it.
    if (names.last().isEmpty())
        names.removeLast();
    return names;
}

bool HasId(const CVexilArray* aIds, int32_t aId)
{
    for (int32_t i = 0; aIds && i < aIds->Count(); ++i)
        if (aIds->ElemAt(i).iVal.iInt == aId)
            return true;
    return false;
}

template <class F>
void ForEachCardOf(const CVexilStack& aStack, int32_t aBackgroundId, F aDo)
{
    TCardRef card;
    int32_t cursor = 0;
    for (bool more = aStack.GetFirstCardInBackground(aBackgroundId, card, cursor); more;
         more = aStack.GetNextCardInBackground(aBackgroundId, card, cursor))
        aDo(*card);
}

template <class F>
void ForEachControlOf(const CVexilControlSet& aBackground, F aDo)
{
    TControlRef control;
    int32_t cursor = 0;
    for (bool more = aBackground.GetFirstControl(control, cursor); more;
         more = aBackground.GetNextControl(control, cursor))
        aDo(control);
}

bool Fail(int32_t aMsgId, const QString& aP0, const QString& aP1 = CVexilMsg::Undef)
{
    CVexilMsg::Show(aMsgId, EMsgClsCritical, aP0, aP1);
    return false;
}
}  // namespace

CVexilControlWriter::CVexilControlWriter(CVexilStack& aStack, CVexilControlSet& aBackground)
    : iStack(aStack), iBackground(aBackground)
{
}

bool CVexilControlWriter::CheckInput(const TControlInput& aInput, const CVexilControl* aControl,
                                     QString& aFocus) const
{
    const bool isNew = aControl == nullptr;
    aFocus = QStringLiteral("fName");
    if (!CheckName(aInput, aControl, isNew))
        return false;
    if (aInput.ConType < 0 || aInput.ConType >= CVexilControlTypeRules::KNumTypes)
    {
        aFocus = QStringLiteral("fTypeCombo");
        return Fail(EMsgEmptyField, kTypeLabel);
    }
    for (int box = 0; box < KNumNumberBoxes; ++box)
    {
        if (!aInput.NumberEditable[size_t(box)])
            continue;
        bool bad = false;
        CVexilControlTypeRules::CheckNumber(ENumberBox(box), aInput.ConType, aInput.NumberTexts[size_t(box)], bad);
        if (bad)
        {
            aFocus = CVexilControlTypeRules::NumberCheck(ENumberBox(box)).Box;
            return false;
        }
    }
    if (aInput.StdCmdLine == kGoToCardLine &&
        !(aInput.DestCard && iStack.GetCardById(aInput.DestCard->Id()) == aInput.DestCard))
    {
        aFocus = QStringLiteral("fSelectDestCardBut");
        return Fail(EMsgEmptyField, kDestCardLabel);
    }
    if (!CheckCardList(aInput, aFocus))
        return false;
    if (!CheckCardName(aInput, aControl))
    {
        aFocus = QStringLiteral("fCardName");
        return false;
    }
    return true;
}

bool CVexilControlWriter::CheckName(const TControlInput& aInput, const CVexilControl* aControl, bool aNew) const
{
    if (aNew && aInput.Name.isEmpty())
        return Fail(EMsgEmptyName, kControl);
    bool bad = false;
    CVexilDialogLib::CheckEmptyName(kNameLabel, aInput.Name, bad);
    if (bad)
        return false;
    TControlRef other;
    if (iBackground.GetControlByName(aInput.Name, other) && other.get() != aControl)
        return Fail(EMsgDuplicateName, kControl);
    return true;
}

bool CVexilControlWriter::CheckCardList(const TControlInput& aInput, QString& aFocus) const
{
    const QStringList columns = ColumnNames(aInput.ListCol);
    if ((aInput.Flags & EConCardList) || !columns.isEmpty())
    {
        if (!aInput.SelBackground)
        {
            aFocus = QStringLiteral("fSelBackgroundCombo");
            return Fail(EMsgEmptyField, kSelBackgroundLabel);
        }
    }
    if ((aInput.Flags & EConCardList) && aInput.RefControl && !aInput.SelControl)
    {
        aFocus = QStringLiteral("fSelControlCombo");
        return Fail(EMsgEmptyField, kSelControlLabel);
    }
    for (const QString& name : columns)
    {
        TControlRef column;
        if (!aInput.SelBackground->GetControlByName(name, column) &&
            !aInput.SelBackground->GetControlByName(name.trimmed(), column))
        {
            aFocus = QStringLiteral("fListCol");
            return Fail(EMsgControlMissing, name.trimmed(), aInput.SelBackground->Name());
        }
    }
    return true;
}

bool CVexilControlWriter::CheckCardName(const TControlInput& aInput, const CVexilControl* aControl) const
{
    if (!(aInput.Flags & EConCardName))
        return true;
    TControlRef existing;
    if (!iBackground.GetControlByFlag(EConCardName, existing) || existing.get() == aControl)
        return true;
    return Fail(EMsgControlNotUsable, aInput.Name,
                QStringLiteral("the card names come from the field '%1'.").arg(existing->Name()));
}

TControlRef CVexilControlWriter::CreateControl(const TControlInput& aInput)
{
    auto control = std::make_shared<CVexilControl>();
    control->Construct(iStack.IdGen().NextId(), aInput.Name, aInput.ConType);
    WriteControl(*control, aInput, true);
    const int32_t beforeId = aInput.BeforeLine > 0 && aInput.BeforeControl ? aInput.BeforeControl->Id() : UndefLong;
    iBackground.AddControl(control, beforeId);
    if (control->Flag(EConComboText))
        CreateComboPartner(*control, beforeId);
    ForEachCardOf(iStack, iBackground.Id(), [&control](CVexilCard& aCard) { aCard.InitVal(*control); });
    return control;
}

void CVexilControlWriter::ModifyControl(CVexilControl& aControl, const TControlInput& aInput)
{
    WriteControl(aControl, aInput, false);
    if (aInput.BeforeLine < 0)
        return;
    const int32_t targetId = aInput.BeforeLine > 0 && aInput.BeforeControl ? aInput.BeforeControl->Id() : UndefLong;
    TControlRef control;
    TControlRef target;
    // Before itself is where it stands; a target no longer in the background moves nothing.
    if (targetId == aControl.Id() || !iBackground.GetControl(aControl.Id(), control) ||
        (targetId != UndefLong && !iBackground.GetControl(targetId, target)))
        return;
    iBackground.DeleteControl(control->Id());
    iBackground.AddControl(control, targetId);
}

void CVexilControlWriter::WriteControl(CVexilControl& aControl, const TControlInput& aInput, bool aNew)
{
    const bool hadComboText = aControl.Flag(EConComboText);
    const bool hadComboList = aControl.Flag(EConComboList);
    const bool hadCardName = aControl.Flag(EConCardName);
    const int32_t partnerId = aControl.PartnerId();
    // The one step that can still fail (too many names) runs before anything is written.
    std::shared_ptr<CVexilArray> listCol;
    if (aInput.SelBackground)
        listCol = CVexilDialogLib::ControlNameListToArray(aInput.ListCol, *aInput.SelBackground);

    aControl.SetName(aInput.Name);
    aControl.SetLabel(aInput.Label);
    aControl.SetDescr(aInput.Descr);
    aControl.SetFlags(aInput.Flags);
    aControl.SetVisLines(aInput.Numbers[ENumVisLines]);
    aControl.SetVisChar(aInput.Numbers[ENumVisChar]);
    aControl.SetMaxChar(aInput.Numbers[ENumMaxChar]);
    aControl.SetDigits(aInput.Numbers[ENumDigits]);
    aControl.SetListVisChar(aInput.Numbers[ENumListVisChar]);
    aControl.SetListColTitle(aInput.ListColTitle);
    // Parsed with the type and the decimal places just written.
    aControl.SetDefaultVal(aInput.DefaultEditable
                               ? CVexilValue::ValToIntText(CVexilValue::ExtTextToVal(aInput.DefaultVal, aControl))
                               : QString());
    aControl.SetListCol(listCol);
    if (aInput.StdCmdLine > 0)
    {
        aControl.SetStdCmd(int16_t(aInput.StdCmdLine - 1));
        aControl.SetDestCardId(aInput.StdCmdLine == kGoToCardLine ? aInput.DestCard->Id() : UndefLong);
    }
    else
    {
        aControl.SetStdCmd(UndefInt);
        aControl.SetDestCardId(UndefLong);
    }
    // Without the card list the definition stays for a later one.
    if (aInput.Flags & EConCardList)
    {
        aControl.SetSelBackgroundId(aInput.SelBackground->Id());
        aControl.SetRefControlId(aInput.RefControl ? aInput.RefControl->Id() : UndefLong);
        aControl.SetSelControlId(aInput.RefControl ? aInput.SelControl->Id() : UndefLong);
    }
    aControl.SetFont(aInput.Font);
    aControl.SetBackColor(aInput.BackColor);

    const bool broken = (hadComboText && !aControl.Flag(EConComboText)) ||
                        (hadComboList && !aControl.Flag(EConComboList));
    // A list field made without its text field has no pair to break.
    if (broken && partnerId != UndefLong)
    {
        TControlRef partner;
        const bool found = iBackground.GetControl(partnerId, partner);
        CVexilError::Assert(found, QStringLiteral("ModifyControl partner found"));
        for (CVexilControl* side : {&aControl, partner.get()})
        {
            if (!side)
                continue;
            side->SetFlag(EConComboList, false);
            side->SetFlag(EConComboText, false);
            side->SetPartnerId(UndefLong);
        }
    }
    if (!aNew && aControl.Flag(EConComboText) && !hadComboText)
        CreateComboPartner(aControl, UndefLong);
    if (aControl.Flag(EConCardName) && !hadCardName)
        TakeCardNames(aControl, aNew);
}

void CVexilControlWriter::CreateComboPartner(CVexilControl& aControl, int32_t aBeforeId)
{
    auto list = std::make_shared<CVexilControl>();
    list->Construct(iStack.IdGen().NextId(), QStringLiteral("List for ") + aControl.Name(), EConTypeList);
    list->SetFlags(EConComboList);
    aControl.SetPartnerId(list->Id());
    list->SetPartnerId(aControl.Id());
    iBackground.AddControl(list, aBeforeId);
}

void CVexilControlWriter::TakeCardNames(CVexilControl& aControl, bool aNew)
{
    CVexilDialogLib::BeginWait();
    try
    {
        ForEachCardOf(iStack, iBackground.Id(), [&](CVexilCard& aCard) {
            // A new field has no values yet: the names follow its initial values.
            if (aNew)
            {
                iStack.RenameCard(aCard, QString());
                return;
            }
            TValue val;
            aCard.GetControlVal(aControl.Id(), val, false);
            if (aControl.ConType() == EConTypeText && val.iType == EValUndef && !aCard.Name().isEmpty())
                val = CVexilValue::StrToVal(aCard.Name());
            aCard.SetControlVal(aControl.Id(), val);
        });
    }
    catch (...)
    {
        CVexilDialogLib::EndWait();
        throw;
    }
    CVexilDialogLib::EndWait();
}

TControlRef CVexilControlWriter::Partner(const CVexilControl& aControl) const
{
    TControlRef partner;
    if (aControl.PartnerId() != UndefLong)
        iBackground.GetControl(aControl.PartnerId(), partner);
    return partner;
}

TValueCount CVexilControlWriter::CountValues(const CVexilControl& aControl) const
{
    TValueCount count;
    ForEachCardOf(iStack, iBackground.Id(), [&](CVexilCard& aCard) {
        ++count.Cards;
        TValue val;
        aCard.GetControlVal(aControl.Id(), val, false);
        if (val.iType != EValUndef)
            ++count.SetValues;
    });
    return count;
}

QString CVexilControlWriter::UserOf(const CVexilControl& aControl, const CVexilControl* aPartner) const
{
    const int32_t id = aControl.Id();
    TSortKeyRef sortKey;
    int32_t cursor = 0;
    for (bool more = iStack.GetFirstSortKey(sortKey, cursor); more; more = iStack.GetNextSortKey(sortKey, cursor))
        if (sortKey->ControlOccurs(id))
            return QStringLiteral("it is a part of the sort key '%1'.").arg(sortKey->Name());
    QString user;
    TControlSetRef background;
    int32_t backgroundCursor = 0;
    for (bool more = iStack.GetFirstBackground(background, backgroundCursor); more && user.isEmpty();
         more = iStack.GetNextBackground(background, backgroundCursor))
    {
        ForEachControlOf(*background, [&](const TControlRef& aOther) {
            // Also a definition kept without its flag: it shows again as the field is shown.
            if (!user.isEmpty() || aOther.get() == &aControl || aOther.get() == aPartner)
                return;
            if (aOther->RefControlId() == id || aOther->SelControlId() == id || HasId(aOther->ListCol().get(), id))
                user = QStringLiteral("it is used by the card list of the field '%1'.").arg(aOther->Name());
        });
    }
    return user;
}

bool CVexilControlWriter::CheckDelete(const CVexilControl& aControl) const
{
    const TControlRef partner = Partner(aControl);
    for (const CVexilControl* side : {&aControl, static_cast<const CVexilControl*>(partner.get())})
    {
        if (!side)
            continue;
        const QString user = UserOf(*side, side == &aControl ? partner.get() : &aControl);
        if (!user.isEmpty())
            return Fail(EMsgControlNotUsable, side->Name(), user);
    }
    return true;
}

bool CVexilControlWriter::DeleteControl(const CVexilControl& aControl)
{
    if (!CheckDelete(aControl))
        return false;
    const TValueCount count = CountValues(aControl);
    if (count.SetValues > 0 && !CVexilMsg::Ask(EMsgDeleteControlOk, EMsgClsQuestion, QString::number(count.Cards),
                                                QString::number(count.SetValues)))
        return false;
    TControlRef partner;
    if (aControl.PartnerId() != UndefLong)
    {
        const bool found = iBackground.GetControl(aControl.PartnerId(), partner);
        CVexilError::Assert(found, QStringLiteral("fDeleteBut_Click partner found"));
        if (partner && !CVexilMsg::Ask(EMsgDeleteCombo, EMsgClsQuestion, partner->Name(), CVexilMsg::Undef))
            return false;
    }
    const int32_t id = aControl.Id();
    iStack.DeleteControl(id, iBackground);
    if (partner)
        iStack.DeleteControl(partner->Id(), iBackground);
    return true;
}
