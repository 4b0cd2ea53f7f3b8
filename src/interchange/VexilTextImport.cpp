#include "interchange/VexilTextImport.h"

#include "foundation/VexilFile.h"
#include "foundation/VexilMsg.h"
#include "foundation/VexilValue.h"
#include "interchange/VexilImportSupport.h"
#include "model/VexilStackHost.h"

namespace
{
const QString kContext = QStringLiteral("CVexilImports.ImportTextFile");
const QString kTextField = QStringLiteral("Text");
const QString kCrLf = QStringLiteral("\r\n");
}  // namespace

TControlRef CVexilTextImport::TextField(const CVexilControlSet& aBackground)
{
    TControlRef field;
    if (!aBackground.GetControlByName(kTextField, field))
    {
        CVexilMsg::Show(EMsgControlMissing, EMsgClsCritical, kTextField, aBackground.Name());
        return nullptr;
    }
    if (field->ConType() != EConTypeText && field->ConType() != EConTypeList)
    {
        CVexilMsg::Show(EMsgControlNotUsable, EMsgClsCritical, kTextField, field->TypeStr());
        return nullptr;
    }
    return field;
}

QStringList CVexilTextImport::ReadBlocks(const CVexilStack& aStack, const QString& aFileName)
{
    CVexilFile file;
    file.Construct(aFileName, EFilSeqRead);
    file.SetCoding(EFilAnsi);
    file.SetLfEndsLine(true);
    file.OpenFile();
    QStringList blocks;
    QStringList lines;
    QString line;
    for (bool endOfFile = false; !endOfFile;)
    {
        lines.clear();
        while (lines.size() < KLinesPerCard)
        {
            file.ReadLine(line, endOfFile);
            if (endOfFile)
                break;
            lines.append(line);
        }
        blocks.append(lines.join(kCrLf));
        VexilImportSupport::CheckStoredText(aStack, blocks.back(), kContext, aFileName);
    }
    file.CloseFile();
    return blocks;
}

void CVexilTextImport::Build(CVexilStack& aStack, const TControlSetRef& aBackground, int32_t aTextFieldId,
                             const QStringList& aBlocks, const std::function<void()>& aDeleteCards)
{
    TCardRef after;
    bool found = false;
    CVexilStackHost::GetCardAfterBackground(*aBackground, after, found);
    if (aDeleteCards)
        aDeleteCards();
    else
        aStack.DeleteBackground(aBackground, true);
    CVexilStack::TOrderBroadcastHold hold(aStack);
    int32_t number = 0;
    for (const QString& block : aBlocks)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(QString::number(++number), aBackground);
        TCardRef before = after;
        aStack.AddCard(card, before, true);
        card->SetControlVal(aTextFieldId, block.isEmpty() ? TValue() : CVexilValue::StrToVal(block));
    }
    hold.Release();
}

void CVexilTextImport::ImportTextFile(CVexilStack& aStack, const QString& aFileName,
                                      const TControlSetRef& aBackground, const std::function<void()>& aDeleteCards)
{
    const TControlRef field = TextField(*aBackground);
    if (!field)
        return;
    VexilImportSupport::PassOnErrors(
        kContext, [&] { Build(aStack, aBackground, field->Id(), ReadBlocks(aStack, aFileName), aDeleteCards); },
        [] {});
}
