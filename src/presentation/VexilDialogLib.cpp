#include "foundation/VexilDialogLib.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilNumText.h"
#include "foundation/VexilScanner.h"
#include "model/VexilControlSet.h"

#include <QLineEdit>
#include <QStringList>

#include <limits>
#include <memory>

namespace
{
// The number test of CheckNumberField.
std::unique_ptr<CVexilScanner> gDialogScanner;

CVexilScanner& DialogScanner()
{
    // InitDialogLib makes it at start-up; a check before that is a fault of the program.
    CVexilError::Assert(gDialogScanner != nullptr, QStringLiteral("CheckNumberField gDialogScanner"));
    if (!gDialogScanner)
        gDialogScanner = std::make_unique<CVexilScanner>();
    return *gDialogScanner;
}

// The most names a name list may hold (the columns of a card list).
constexpr int kMaxNames = 21;

// The one trim of typed input, so that what the checks take as empty the number boxes read
// as empty.
QString Trimmed(const QString& aText)
{
    return aText.trimmed();
}

// The number at the start of a trimmed text as the number boxes read it; false when it does
// not fit 16 bits.
bool ShortValue(const QString& aText, int16_t& aValue)
{
    int32_t value = 0;
    if (!CVexilNumText::RoundToInt32(CVexilNumText::LeadingNumber(aText), value) ||
        value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        return false;
    aValue = int16_t(value);
    return true;
}
}  // namespace

void CVexilDialogLib::InitDialogLib()
{
    gDialogScanner = std::make_unique<CVexilScanner>();
}

int16_t CVexilDialogLib::GetTextBoxInt(const QLineEdit& aBox)
{
    const QString text = Trimmed(aBox.text());
    if (text.isEmpty())
        return UndefInt;
    int16_t value = 0;
    if (!ShortValue(text, value))
        CVexilError::RaiseRunError(ERunOverflow, QStringLiteral("GetTextBoxInt"));
    return value;
}

void CVexilDialogLib::SetTextBoxInt(QLineEdit& aBox, int16_t aValue)
{
    aBox.setText(aValue == UndefInt ? QString() : QString::number(aValue));
}

QString CVexilDialogLib::LevelToStr(int32_t aLevel)
{
    static const QString kLevels[] = {QStringLiteral("Stack"), QStringLiteral("Background"), QStringLiteral("Card"),
                                      QStringLiteral("Control")};
    if (aLevel >= 0 && aLevel < int32_t(std::size(kLevels)))
        return kLevels[aLevel];
    CVexilError::Assert(false, QStringLiteral("LevelToStr aLevel"));
    return QString();
}

std::shared_ptr<CVexilArray> CVexilDialogLib::ControlNameListToArray(const QString& aNames,
                                                                   const CVexilControlSet& aBackground)
{
    QStringList names(kMaxNames);
    int count = 0;
    CVexilLib::SplitComma(aNames, names, count);
    if (count == 0)
        return nullptr;
    std::vector<int32_t> ids;
    for (int i = 0; i < count; ++i)
    {
        TControlRef control;
        if (!aBackground.GetControlByName(names[i], control) &&
            !aBackground.GetControlByName(Trimmed(names[i]), control))
            CVexilError::Throw(EMsgControlNotFound, QStringLiteral("ControlNameListToArray control found"), names[i]);
        ids.push_back(control->Id());
    }
    auto array = std::make_shared<CVexilArray>();
    array->Construct(0, EValInt);
    for (const int32_t id : ids)
    {
        TArrayElem elem;
        array->InitElem(elem);
        elem.iVal.iInt = id;
        array->CreateAtEnd(elem);
    }
    return array;
}

QString CVexilDialogLib::ArrayToControlNameList(const CVexilArray* aIds, const CVexilControlSet& aBackground)
{
    QStringList names;
    for (int32_t i = 0; aIds && i < aIds->Count(); ++i)
    {
        TArrayElem elem;
        aIds->ReadByIndex(i, elem);
        TControlRef control;
        const bool found = aBackground.GetControl(elem.iVal.iInt, control);
        CVexilError::Assert(found, QStringLiteral("ArrayToControlNameList control found"));
        if (found)
            names.append(control->Name());
    }
    return names.join(QLatin1Char(','));
}

void CVexilDialogLib::CheckEmptyName(const QString& aLabel, const QString& aText, bool& aBad)
{
    aBad = Trimmed(aText).isEmpty();
    if (aBad)
        CVexilMsg::Show(EMsgEmptyField, EMsgClsCritical, aLabel);
}

void CVexilDialogLib::CheckNumberField(const QString& aLabel, const QString& aText, bool aAllowEmpty, bool& aBad,
                                       int16_t aMin, int16_t aMax)
{
    aBad = false;
    const QString text = Trimmed(aText);
    if (text.isEmpty())
    {
        if (!aAllowEmpty)
        {
            CVexilMsg::Show(EMsgEmptyField, EMsgClsCritical, aLabel);
            aBad = true;
        }
        return;
    }
    bool isNumber = false;
    DialogScanner().IsShortNumberStr(text, isNumber);
    int16_t value = 0;
    if (!isNumber || !ShortValue(text, value))
        CVexilMsg::Show(EMsgNotNum, EMsgClsCritical, text, aLabel);
    else if (aMin != UndefInt && value < aMin)
        CVexilMsg::Show(EMsgNumTooLow, EMsgClsCritical, text, aLabel, QString::number(aMin));
    else if (aMax != UndefInt && value > aMax)
        CVexilMsg::Show(EMsgNumTooHigh, EMsgClsCritical, text, aLabel, QString::number(aMax));
    else
        return;
    aBad = true;
}
