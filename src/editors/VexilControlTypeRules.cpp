#include "editors/VexilControlTypeRules.h"

#include "editors/VexilEditMode.h"
#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilObject.h"
#include "foundation/VexilValueField.h"
#include "model/VexilControl.h"

namespace
{
// The groups the disable lists are joined from; every name has a comma before and after it.
const QString kListGroup = QStringLiteral(
    ",fComboList,fCardList,fListCol,fSelBackgroundCombo,fRefControlCombo,fSelControlCombo,fComboInputControlCombo,");
const QString kCommandGroup = QStringLiteral(",fInMenu,fAsButton,fStdCmd,fPictButton,fStdCmdCombo,");
const QString kMultiLineGroup = QStringLiteral(",fWikiText,fComboText,fMaxHeight,fVisLines,fPhoneNumber,");
const QString kTextualGroup = QStringLiteral(
    ",fWikiText,fComboText,fInCardList,fListColTitle,fMaxChar,fListVisChar,fCardName,fPhoneNumber,fDigits,");

struct TDisableRow
{
    int32_t Type;
    QString Inputs;
};

// The rows in type order, searched from the first as the window's table is.
const std::vector<TDisableRow>& DisableRows()
{
    static const std::vector<TDisableRow> rows = {
        {EConTypeText, kCommandGroup + kListGroup + QStringLiteral(",fDigits,")},
        {EConTypeInteger, kCommandGroup + kListGroup + kMultiLineGroup + QStringLiteral(",fDigits,")},
        {EConTypeReal, kCommandGroup + kListGroup + kMultiLineGroup},
        {EConTypeDate, kCommandGroup + kListGroup + kMultiLineGroup + QStringLiteral(",fDigits,fMaxChar,")},
        {EConTypeTime, kCommandGroup + kListGroup + kMultiLineGroup + QStringLiteral(",fDigits,fMaxChar,")},
        {EConTypeBoolean,
         kCommandGroup + kListGroup + kMultiLineGroup + QStringLiteral(",fDigits,fComboText,fMaxChar,")},
        {EConTypeList, kCommandGroup + kTextualGroup + QStringLiteral(",fReadOnly,")},
        {EConTypeCommand, kListGroup + kTextualGroup + QStringLiteral(",fReadOnly,")},
        {EConTypePicture, kCommandGroup + kListGroup + kTextualGroup},
    };
    return rows;
}

bool Ticked(int32_t aFlags, int32_t aBit)
{
    return (aFlags & aBit) != 0;
}
}  // namespace

const std::vector<TFlagCheck>& CVexilControlTypeRules::FlagChecks()
{
    static const std::vector<TFlagCheck> checks = {
        {QStringLiteral("fWikiText"), QStringLiteral("Wiki text?"), EConWikiText},
        {QStringLiteral("fComboText"), QStringLiteral("Combo text?"), EConComboText},
        {QStringLiteral("fComboList"), QStringLiteral("List for a combo box?"), EConComboList},
        {QStringLiteral("fInMenu"), QStringLiteral("Show in menu?"), EConInMenu},
        {QStringLiteral("fAsButton"), QStringLiteral("Show as button in card view?"), EConAsButton},
        {QStringLiteral("fInCardView"), QStringLiteral("Visible in card view?"), EConInCardView},
        {QStringLiteral("fInCardList"), QStringLiteral("Visible in card list as a column?"), EConInCardList},
        {QStringLiteral("fDisabled"), QStringLiteral("Disabled, to be skipped?"), EConDisabled},
        {QStringLiteral("fReadOnly"), QStringLiteral("Read-only, no modification of value?"), EConReadOnly},
        {QStringLiteral("fStdCmd"), QStringLiteral("Standard command?"), EConStdCmd},
        {QStringLiteral("fCardList"), QStringLiteral("Card list?"), EConCardList},
        {QStringLiteral("fFromBottom"), QStringLiteral("Arrange from bottom edge of card?"), EConFromBottom},
        {QStringLiteral("fPictButton"), QStringLiteral("Show as picture button?"), EConPictButton},
        {QStringLiteral("fMaxHeight"), QStringLiteral("Automatically maximize visible height?"), EConMaxHeight},
        {QStringLiteral("fCardName"), QStringLiteral("Use value as card name?"), EConCardName},
        {QStringLiteral("fPhoneNumber"), QStringLiteral("Content is a phone number?"), EConPhoneNumber},
    };
    return checks;
}

std::optional<QString> CVexilControlTypeRules::DisableList(int32_t aType)
{
    const std::vector<TDisableRow>& rows = DisableRows();
    for (size_t i = 0;; ++i)
    {
        CVexilError::Assert(i < rows.size(), QStringLiteral("HandleDisables iCurType found"));
        if (i >= rows.size())
            return std::nullopt;
        if (rows[i].Type == aType)
            return rows[i].Inputs;
    }
}

bool CVexilControlTypeRules::InDisableList(const QString& aList, const QString& aInput)
{
    return aList.contains(QLatin1Char(',') + aInput + QLatin1Char(','));
}

int CVexilControlTypeRules::TypePage(int32_t aType)
{
    if (aType == EConTypeList)
        return KPageList;
    if (aType == EConTypeCommand)
        return KPageCommand;
    return KPageTextual;
}

std::optional<TTypeDefaults> CVexilControlTypeRules::Defaults(int32_t aType)
{
    constexpr int32_t kShown = EConInCardView | EConInCardList;
    static const std::array<TTypeDefaults, KNumTypes> defaults = {{
        {kShown, 30},
        {kShown, 5},
        {kShown, 10},
        {kShown, 10},
        {kShown, 10},
        {EConInCardView, UndefInt},
        {EConInCardView, 40},
        {EConInMenu | EConAsButton | EConInCardView, UndefInt},
        {EConInCardView, 40},
    }};
    const bool known = aType >= 0 && aType < KNumTypes;
    CVexilError::Assert(known, QStringLiteral("SetDefaults iCurType"));
    if (!known)
        return std::nullopt;
    return defaults[size_t(aType)];
}

const QStringList& CVexilControlTypeRules::RuleInputs(int aRule)
{
    static const std::array<QStringList, KNumRules> inputs = {{
        {QStringLiteral("fListColTitle"), QStringLiteral("fListVisChar")},
        {QStringLiteral("fVisLines")},
        {QStringLiteral("fFontName"), QStringLiteral("fFontSize"), QStringLiteral("fDestCardName")},
        {QStringLiteral("fSelectFontBut"), QStringLiteral("fSelectColorBut"), QStringLiteral("fClearColorBut")},
        {QStringLiteral("fSelectDestCardBut")},
        {QStringLiteral("fListCol"), QStringLiteral("fSelectControlBut"), QStringLiteral("fSelBackgroundCombo"),
         QStringLiteral("fRefControlCombo"), QStringLiteral("fSelControlCombo")},
        {QStringLiteral("fComboInputControlCombo")},
        {QStringLiteral("fPictButton")},
        {QStringLiteral("fStdCmdCombo")},
        {QStringLiteral("fDefaultVal")},
        {QStringLiteral("fComboList")},
    }};
    static const QStringList none;
    return aRule >= 1 && aRule <= KNumRules ? inputs[size_t(aRule - 1)] : none;
}

std::optional<bool> CVexilControlTypeRules::RuleEditable(int aRule, int32_t aType, int32_t aFlags, int32_t aMode)
{
    switch (aRule)
    {
    case 1: return Ticked(aFlags, EConInCardList);
    // Alone decides: a type whose list names the visible height still gets it while the
    // maximize box is unticked.
    case 2: return !Ticked(aFlags, EConMaxHeight);
    case 3: return false;
    case 4: return aType != EConTypeCommand;
    case 5: return aType == EConTypeCommand && Ticked(aFlags, EConStdCmd);
    case 6: return Ticked(aFlags, EConCardList);
    case 7: return Ticked(aFlags, EConComboList);
    case 8: return Ticked(aFlags, EConAsButton) && Ticked(aFlags, EConStdCmd);
    case 9: return Ticked(aFlags, EConStdCmd);
    case 10: return aType != EConTypeCommand && aType != EConTypePicture;
    // An existing field cannot become the list of a combo box.
    case 11:
        if (aMode == EModeModify && !Ticked(aFlags, EConComboList))
            return false;
        return std::nullopt;
    default: return std::nullopt;
    }
}

std::vector<int> CVexilControlTypeRules::ClickRules(const QString& aBox)
{
    if (aBox == QLatin1String("fInCardList"))
        return {1};
    if (aBox == QLatin1String("fMaxHeight"))
        return {2};
    if (aBox == QLatin1String("fCardList"))
        return {6};
    if (aBox == QLatin1String("fComboList"))
        return {7};
    if (aBox == QLatin1String("fAsButton"))
        return {8};
    // The destination card button follows the box too; only command fields can tick it.
    if (aBox == QLatin1String("fStdCmd"))
        return {5, 8, 9};
    return {};
}

bool CVexilControlTypeRules::Editable(const QString& aInput, int32_t aType, int32_t aFlags, int32_t aMode)
{
    for (int rule = KNumRules; rule >= 1; --rule)
    {
        // The last rule that sets an input decides.
        if (!RuleInputs(rule).contains(aInput))
            continue;
        if (const std::optional<bool> editable = RuleEditable(rule, aType, aFlags, aMode))
            return *editable;
    }
    const std::optional<QString> list = DisableList(aType);
    return list && !InDisableList(*list, aInput);
}

const TNumberCheck& CVexilControlTypeRules::NumberCheck(ENumberBox aBox)
{
    static const std::array<TNumberCheck, KNumNumberBoxes> checks = {{
        {QStringLiteral("fVisLines"), QStringLiteral("Visible lines"), 1, 100},
        {QStringLiteral("fVisChar"), QStringLiteral("Visible char"), 1, 100},
        {QStringLiteral("fMaxChar"), QStringLiteral("Max char"), 1, 10000},
        {QStringLiteral("fDigits"), QStringLiteral("Decimal places"), 0, 7},
        {QStringLiteral("fListVisChar"), QStringLiteral("Vis char in list"), 1, 100},
    }};
    return checks[size_t(aBox)];
}

bool CVexilControlTypeRules::AllowsEmpty(ENumberBox aBox, int32_t aType)
{
    switch (aBox)
    {
    case ENumVisLines: return false;
    case ENumVisChar: return aType == EConTypeBoolean || aType == EConTypeCommand;
    default: return true;
    }
}

void CVexilControlTypeRules::CheckNumber(ENumberBox aBox, int32_t aType, const QString& aText, bool& aBad)
{
    const TNumberCheck& check = NumberCheck(aBox);
    CVexilDialogLib::CheckNumberField(check.Label, aText, AllowsEmpty(aBox, aType), aBad, check.Min, check.Max);
}
