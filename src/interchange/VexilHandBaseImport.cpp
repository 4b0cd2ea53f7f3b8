#include "interchange/VexilHandBaseImport.h"

#include "foundation/VexilValueField.h"
#include "interchange/VexilImportSupport.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilIdGen.h"

#include <vector>

namespace
{
const QString kContext = QStringLiteral("CVexilImports.ImportHandBase");
}

int32_t CVexilHandBaseImport::ConTypeOf(int32_t aPdbType)
{
    switch (aPdbType)
    {
    case EPdbInteger: return EConTypeInteger;
    case EPdbReal: return EConTypeReal;
    case EPdbBoolean: return EConTypeBoolean;
    case EPdbDate: return EConTypeDate;
    default: return EConTypeText;
    }
}

TStackRef CVexilHandBaseImport::Build(const CVexilPdbFile& aFile, const QString& aName)
{
    auto stack = std::make_shared<CVexilStack>();
    stack->Construct(aName);
    TControlSetRef background;
    int32_t bgCursor = 0;
    stack->GetFirstBackground(background, bgCursor);

    std::vector<int32_t> fieldIds;
    TPdbField field;
    int32_t cursor = 0;
    for (bool more = aFile.GetFirstField(field, cursor); more; more = aFile.GetNextField(field, cursor))
    {
        auto control = std::make_shared<CVexilControl>();
        control->Construct(stack->IdGen().NextId(), field.Name, ConTypeOf(field.iType));
        control->SetLabel(field.Name);
        background->AddControl(control, UndefLong);
        fieldIds.push_back(control->Id());
    }

    const TValue undefined;
    TPdbRecord record;
    int32_t number = 0;
    for (bool more = aFile.GetFirstRecord(record, cursor); more; more = aFile.GetNextRecord(record, cursor))
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(QString::number(++number), background);
        TCardRef before;
        stack->AddCard(card, before, true);
        for (size_t k = 0; k < fieldIds.size(); ++k)
            card->SetControlVal(fieldIds[k], k < record.Values.size() ? record.Values[k] : undefined);
    }
    stack->AdjustVisChar();
    return stack;
}

TStackRef CVexilHandBaseImport::ImportHandBase(const QString& aFileName)
{
    TStackRef stack;
    CVexilPdbFile file;
    VexilImportSupport::PassOnErrors(
        kContext,
        [&] {
            file.Construct(aFileName);
            file.CloseFile();
            stack = Build(file, aFileName);
        },
        [&] { file.CloseFile(); });
    return stack;
}
