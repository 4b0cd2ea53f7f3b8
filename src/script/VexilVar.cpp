#include "script/VexilVar.h"

#include "foundation/VexilError.h"
#include "foundation/VexilNumText.h"
#include "foundation/VexilValue.h"
#include "foundation/VexilValueField.h"
#include "script/VexilCodeReader.h"

#include <QLocale>

namespace
{
CVexilVar::TNameLookup gNameLookup;

// The display texts that need no field: strings, integers, dates and times.
class TNoField final : public IVexilValueField
{
public:
    int32_t ConType() const override { return EConTypeText; }
    int16_t Digits() const override { return UndefInt; }
};

// The standard text of a 64-bit float: up to 15 significant digits, the user's decimal
// separator, no grouping.
QString FloatText(double aValue)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(aValue, 'g', 15).replace(locale.exponential(), QStringLiteral("E"));
}

// True is stored as -1, so True is less than False.
int BoolNum(bool aBool)
{
    return aBool ? -1 : 0;
}
}  // namespace

void CVexilVar::SetNameLookup(TNameLookup aLookup)
{
    gNameLookup = std::move(aLookup);
}

QString CVexilVar::TypeStr() const
{
    switch (iValType)
    {
    case EValUndef: return QStringLiteral("(Undef)");
    case EValStr: return QStringLiteral("String");
    case EValInt: return QStringLiteral("Int");
    case EValReal: return QStringLiteral("Float");
    case EValDate: return QStringLiteral("Date");
    case EValTime: return QStringLiteral("Time");
    case EValBool: return QStringLiteral("Boolean");
    case EValCard: return QStringLiteral("Card");
    case EValControl: return QStringLiteral("Control");
    case EValControlSet: return QStringLiteral("ControlSet");
    case EValSortKey: return QStringLiteral("SortKey");
    case EValArray: return QStringLiteral("Array");
    default:
        // Not CheckFailed: the object's description is made of this name.
        CVexilError::Assert(false, QStringLiteral("TypeStr type"));
        return {};
    }
}

QString CVexilVar::ObjDescr() const
{
    return QStringLiteral("CVexilVar type=") + TypeStr();
}

void CVexilVar::Failed(const char* aContext, const char* aWhat) const
{
    CVexilError::CheckFailed(false, this, QString::fromLatin1(aContext), QString::fromLatin1(aWhat));
}

void CVexilVar::SetControlVal(TObjRef aControl)
{
    CheckType(EValControl, "LetControlVal");
    iVal.iObj = std::move(aControl);
}

void CVexilVar::SetCardVal(TObjRef aCard)
{
    CheckType(EValCard, "LetCardVal");
    iVal.iObj = std::move(aCard);
}

void CVexilVar::SetControlSetVal(TObjRef aControlSet)
{
    CheckType(EValControlSet, "LetControlSetVal");
    iVal.iObj = std::move(aControlSet);
}

bool CVexilVar::CompatibleTypes(int32_t aType1, int32_t aType2)
{
    return (IsNumType(aType1) && IsNumType(aType2)) || aType1 == aType2;
}

int32_t CVexilVar::ResultType(int32_t aType1, int32_t aType2)
{
    if (!IsNumType(aType1))
        return aType1;
    return aType1 == EValReal || aType2 == EValReal ? EValReal : EValInt;
}

std::partial_ordering CVexilVar::Order(const CVexilVar& aOther, const QString& aContext, bool aEquality) const
{
    CVexilError::CheckFailed(CompatibleTypes(iValType, aOther.iValType), this, aContext,
                             QStringLiteral("type ") + aOther.TypeStr());
    switch (ResultType(iValType, aOther.iValType))
    {
    case EValStr: return QString::compare(iVal.iStr, aOther.iVal.iStr, Qt::CaseSensitive) <=> 0;
    case EValInt: return iVal.iInt <=> aOther.ToInt();
    case EValReal: return ToReal() <=> aOther.ToReal();
    case EValDate: return iVal.iDate <=> aOther.iVal.iDate;
    case EValTime: return iVal.iTime <=> aOther.iVal.iTime;
    case EValBool: return BoolNum(iVal.iBool) <=> BoolNum(aOther.iVal.iBool);
    case EValCard:
    case EValControl:
        if (aEquality)
            return iVal.iObj == aOther.iVal.iObj ? std::partial_ordering::equivalent : std::partial_ordering::unordered;
        break;
    default: break;
    }
    CVexilError::CheckFailed(false, this, aContext, QStringLiteral("Type"));
    return std::partial_ordering::unordered;
}

bool CVexilVar::Equal(const CVexilVar& aOther) const
{
    return Order(aOther, QStringLiteral("Equal"), true) == 0;
}

bool CVexilVar::Lt(const CVexilVar& aOther) const
{
    return Order(aOther, QStringLiteral("Lt"), false) < 0;
}

bool CVexilVar::Gt(const CVexilVar& aOther) const
{
    return Order(aOther, QStringLiteral("Gt"), false) > 0;
}

void CVexilVar::Assign(const CVexilVar& aOther)
{
    const QString context = QStringLiteral("Assign");
    CVexilError::CheckFailed(iValType == aOther.iValType, this, context, QStringLiteral("type ") + aOther.TypeStr());
    switch (iValType)
    {
    case EValStr: SetStrVal(aOther.StrVal()); break;
    case EValInt: SetIntVal(aOther.IntVal()); break;
    case EValReal: SetRealVal(aOther.RealVal()); break;
    case EValDate: SetDateVal(aOther.DateVal()); break;
    case EValTime: SetTimeVal(aOther.TimeVal()); break;
    case EValBool: SetBooleanVal(aOther.BooleanVal()); break;
    case EValCard: SetCardVal(aOther.CardVal()); break;
    case EValControl: SetControlVal(aOther.ControlVal()); break;
    default: CVexilError::CheckFailed(false, this, context, QStringLiteral("Type"));
    }
}

QString CVexilVar::ObjName() const
{
    return iVal.iObj && gNameLookup ? gNameLookup(*iVal.iObj) : QString();
}

QString CVexilVar::ToStr() const
{
    switch (iValType)
    {
    case EValStr:
    case EValInt:
    case EValDate:
    case EValTime:
    {
        TValue val = iVal;
        val.iType = iValType;
        return CVexilValue::ValToExtText(val, TNoField());
    }
    case EValReal: return FloatText(iVal.iReal);
    case EValBool: return iVal.iBool ? QStringLiteral("True") : QStringLiteral("False");
    case EValCard:
    case EValControl: return ObjName();
    default:
        CVexilError::CheckFailed(false, this, QStringLiteral("ToStr"), QStringLiteral("Type"));
        return {};
    }
}

int32_t CVexilVar::ToInt() const
{
    switch (iValType)
    {
    case EValInt: return iVal.iInt;
    case EValBool: return BoolNum(iVal.iBool);
    case EValCard:
    case EValControl: return 0;
    case EValStr:
    case EValReal:
    case EValDate:
    case EValTime: return CVexilNumText::RoundToInt32(ToReal());
    default:
        CVexilError::CheckFailed(false, this, QStringLiteral("ToInt"), QStringLiteral("Type"));
        return 0;
    }
}

double CVexilVar::ToReal() const
{
    switch (iValType)
    {
    case EValStr: return CVexilNumText::LeadingNumber(iVal.iStr);
    case EValInt: return iVal.iInt;
    case EValReal: return iVal.iReal;
    case EValDate: return iVal.iDate;
    case EValTime: return iVal.iTime;
    case EValBool: return iVal.iBool ? 1.0 : 0.0;
    case EValCard:
    case EValControl: return 0.0;
    default:
        CVexilError::CheckFailed(false, this, QStringLiteral("ToReal"), QStringLiteral("Type"));
        return 0.0;
    }
}

void CVexilVar::GetFromCode(CVexilCodeReader& aCode)
{
    CVexilError::CheckFailed(iValType == EValStr, this, QStringLiteral("GetFromCode"), QStringLiteral("type ") + TypeStr());
    iVal.iStr = aCode.StrConst();
}
