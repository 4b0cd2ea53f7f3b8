#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// One flag check box of the field editor and the bit of a field's Flags it stands for.
struct TFlagCheck
{
    QString Box;
    QString Caption;
    int32_t Bit;
};

// The number boxes of the field editor, in the order their checks run.
enum ENumberBox : int32_t
{
    ENumVisLines = 0,
    ENumVisChar,
    ENumMaxChar,
    ENumDigits,
    ENumListVisChar,
    KNumNumberBoxes
};

// The check of one number box: the label its messages name and the range it accepts.
struct TNumberCheck
{
    QString Box;
    QString Label;
    int16_t Min;
    int16_t Max;
};

// The defaults a new field of a type gets: its flags and its visible width (UndefInt: empty).
struct TTypeDefaults
{
    int32_t Flags;
    int16_t VisChar;
};

// The type rules of the field editor, without widgets: which flag box stands for which bit,
// which inputs each field type makes read-only, the rules that open or lock inputs after
// that by the ticked boxes, the defaults of a new field and the checks of the number boxes.
// Inputs are named as the window's controls are. The window applies what these say.
class CVexilControlTypeRules
{
public:
    static constexpr int KNumTypes = 9;
    // The pages of the tab control of type-dependent inputs.
    static constexpr int KPageTextual = 0;
    static constexpr int KPageList = 1;
    static constexpr int KPageCommand = 2;

    // The 16 flag boxes in table order; together they cover every bit of a field's Flags.
    static const std::vector<TFlagCheck>& FlagChecks();
    // The flags of the boxes that aTicked reports ticked.
    template <class F>
    static int32_t FlagsOf(F aTicked)
    {
        int32_t flags = 0;
        for (const TFlagCheck& check : FlagChecks())
            if (aTicked(check.Box))
                flags |= check.Bit;
        return flags;
    }

    // The comma list of the inputs that the type makes read-only (",fDigits,fInMenu,...,").
    // A type outside 0 to 8 fails the assertion "HandleDisables iCurType found" and gives none.
    static std::optional<QString> DisableList(int32_t aType);
    static bool InDisableList(const QString& aList, const QString& aInput);

    // The tab page that holds the inputs of the type.
    static int TypePage(int32_t aType);
    // A type outside 0 to 8 fails the assertion "SetDefaults iCurType" and gives none.
    static std::optional<TTypeDefaults> Defaults(int32_t aType);

    // The dependent rules, numbered 1 to 11 in the order they run after the type's list:
    // each sets its inputs outright, whatever the list said. aFlags are the ticked boxes.
    static constexpr int KNumRules = 11;
    static const QStringList& RuleInputs(int aRule);
    // Whether the rule makes its inputs editable; none when it leaves them as they are.
    static std::optional<bool> RuleEditable(int aRule, int32_t aType, int32_t aFlags, int32_t aMode);
    // The rules a click on a flag box runs again (none for the other boxes).
    static std::vector<int> ClickRules(const QString& aBox);

    // Whether an input ends editable after the type's list and all dependent rules.
    static bool Editable(const QString& aInput, int32_t aType, int32_t aFlags, int32_t aMode);

    static const TNumberCheck& NumberCheck(ENumberBox aBox);
    // Only the visible width depends on the type: empty is allowed for Boolean and Command.
    static bool AllowsEmpty(ENumberBox aBox, int32_t aType);
    // The check of a number box as the user leaves it: shows the message and sets aBad.
    static void CheckNumber(ENumberBox aBox, int32_t aType, const QString& aText, bool& aBad);
};
