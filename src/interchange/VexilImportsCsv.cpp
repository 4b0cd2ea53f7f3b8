#include "interchange/VexilImports.h"

#include "foundation/VexilError.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilValue.h"
#include "interchange/VexilCsvReader.h"
#include "model/VexilIdGen.h"

#include <vector>

namespace
{
const QString kContext = QStringLiteral("CVexilImports.ImportCsv1");

QStringView TrimmedItem(QStringView aText)
{
    while (!aText.isEmpty() && aText.front() == u' ')
        aText = aText.mid(1);
    while (!aText.isEmpty() && aText.back() == u' ')
        aText.chop(1);
    return aText;
}

// Runs one step of the import; a failure is recorded with the importer's context and raised again.
template <class FStep>
auto ImportStep(FStep&& aStep)
{
    try
    {
        return aStep();
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(kContext, e);
        CVexilError::ReThrow();
    }
}

// Fields whose values are no display text: a picture or a command takes no value from a file.
bool TakesValue(const CVexilControl& aField)
{
    return aField.ConType() <= EConTypeBoolean;
}
}  // namespace

bool CVexilImports::ReadCsv(const TCsvOptions& aOptions)
{
    return ImportStep([&] {
        iOptions = aOptions;
        iSurplus = 0;
        const QChar delim = aOptions.Delim.size() == 1 ? aOptions.Delim.at(0) : QChar();
        CVexilError::Assert(!delim.isNull(), QStringLiteral("ImportCsv1 delim"));
        CVexilCsvReader reader(delim, aOptions.Coding, KMaxValueLen);
        if (!reader.Read(aOptions.File, iCsvLines))
        {
            CVexilMsg::Show(EMsgEmptyFile, EMsgClsExclamation);
            return false;
        }
        iOptions.Coding = reader.Coding();
        if (reader.TooManyItems())
            CVexilMsg::Show(EMsgTooManyItems, EMsgClsExclamation);
        if (aOptions.DetectTypes)
            DetectColumnTypes(aOptions.HeaderLine);
        return true;
    });
}

TStackRef CVexilImports::BuildCsvStack()
{
    return ImportStep([&] {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(iOptions.File);
        stack->SetFlags(stack->Flags() | EStkBinary);
        TControlSetRef background;
        int32_t cursor = 0;
        stack->GetFirstBackground(background, cursor);
        const int columns = iCsvLines.Count() > 0 ? iCsvLines.NumItems(0) : 0;
        for (int k = 0; k < columns; ++k)
        {
            const QString name = iOptions.HeaderLine ? iCsvLines.Item(0, k).toString()
                                                     : QStringLiteral("Field %1").arg(k + 1);
            auto field = std::make_shared<CVexilControl>();
            field->Construct(stack->IdGen().NextId(), name, iOptions.DetectTypes ? iColTypes[k] : EConTypeText);
            field->SetLabel(name);
            background->AddControl(field, UndefLong);
        }
        AddCards(*stack, background, nullptr, false);
        if (iOptions.GuessKey)
            GuessSortKey(*stack, background->Id());
        stack->AdjustVisChar();
        ReportSurplus();
        return stack;
    });
}

void CVexilImports::FillCsvBackground(CVexilStack& aStack, const TControlSetRef& aBackground,
                                      const TCardRef& aBeforeCard)
{
    ImportStep([&] {
        AddCards(aStack, aBackground, aBeforeCard, true);
        if (iOptions.GuessKey)
            GuessSortKey(aStack, aBackground->Id());
        ReportSurplus();
    });
}

TStackRef CVexilImports::ImportCsv1(const TCsvOptions& aOptions)
{
    if (!ReadCsv(aOptions))
        return nullptr;
    return BuildCsvStack();
}

void CVexilImports::AddCards(CVexilStack& aStack, const TControlSetRef& aBackground, const TCardRef& aBeforeCard,
                             bool aIntoCurStack)
{
    std::vector<TControlRef> fields;
    TControlRef field;
    int32_t cursor = 0;
    for (bool found = aBackground->GetFirstControl(field, cursor); found;
         found = aBackground->GetNextControl(field, cursor))
        fields.push_back(field);

    if (iOptions.TryCardName && !fields.empty() && TakesValue(*fields.front()))
    {
        TControlRef named;
        if (!aBackground->GetControlByFlag(EConCardName, named) && CheckCardNameColumn(0))
            fields.front()->SetFlags(fields.front()->Flags() | EConCardName);
    }

    int32_t number = 1;
    for (int32_t line = FirstDataLine(); line < iCsvLines.Count(); ++line)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(QString::number(number++), aBackground);
        TCardRef before = aBeforeCard;
        aStack.AddCard(card, before, true);
        const int items = iCsvLines.NumItems(line);
        if (items > int(fields.size()))
            ++iSurplus;
        for (int k = 0; k < std::min<int>(items, int(fields.size())); ++k)
        {
            const CVexilControl& target = *fields[size_t(k)];
            if (TakesValue(target))
                card->SetControlVal(target.Id(), CsvValue(iCsvLines.Item(line, k), k, target, aIntoCurStack));
        }
    }
}

TValue CVexilImports::CsvValue(QStringView aItem, int aColumn, const CVexilControl& aField, bool aIntoCurStack) const
{
    const QStringView s = TrimmedItem(aItem);
    const int32_t type = iColTypes[aColumn];
    // Into a background of its own, a column serves a field of another type through the field's parser.
    if (!iOptions.DetectTypes || s.isEmpty() || (aIntoCurStack && type != aField.ConType()))
        return CVexilValue::ExtTextToVal(s.toString(), aField);
    TValue val;
    switch (type)
    {
    case EConTypeInteger:
        val.iType = EValInt;
        ParseInt(s, val.iInt);
        break;
    case EConTypeReal:
        val.iType = EValReal;
        ParseReal(s, iColDecSep[aColumn], val.iReal);
        break;
    case EConTypeBoolean:
        val.iType = EValBool;
        ParseBool(s, val.iBool);
        break;
    case EConTypeDate:
    case EConTypeTime:
    {
        // The detection has read every item of the column already; ExtTextToVal reads the same.
        double moment = 0;
        if (!ReadMoment(s, moment))
            return CVexilValue::ExtTextToVal(s.toString(), aField);
        val.iType = type == EConTypeDate ? EValDate : EValTime;
        (type == EConTypeDate ? val.iDate : val.iTime) = moment;
        break;
    }
    default: return CVexilValue::ExtTextToVal(s.toString(), aField);
    }
    return val;
}

void CVexilImports::ReportSurplus() const
{
    if (iSurplus > 0)
        CVexilMsg::Show(EMsgSurplusItems, EMsgClsExclamation, QString::number(iSurplus));
}
