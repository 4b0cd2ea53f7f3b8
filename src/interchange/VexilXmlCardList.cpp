#include "interchange/VexilXmlCardList.h"

#include "foundation/VexilMsg.h"
#include "foundation/VexilValue.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"
#include "interchange/VexilImportSupport.h"
#include "model/VexilFileReplace.h"

namespace
{
const QString kImportContext = QStringLiteral("CVexilImports.ImportXml");
const QString kExportContext = QStringLiteral("CVexilExports.ExportXml");
const QString kRoot = QStringLiteral("quorvan");
const QString kVersion = QStringLiteral("version");
const QString kVersionValue = QStringLiteral("1.0");
const QString kCard = QStringLiteral("card");
const QString kControl = QStringLiteral("control");
const QString kName = QStringLiteral("name");
const QString kBackground = QStringLiteral("background");

// Reads the document; the parser's structural errors are the import's format errors.
class TCardListReader
{
public:
    TCardListReader(const CVexilStack& aStack, const QString& aFileName)
        : iStack(aStack), iFileName(aFileName), iParser(aFileName)
    {
    }

    std::vector<CVexilXmlCardList::TCardEntry> Read()
    {
        try
        {
            iParser.OpenFile();
            iParser.ReadHeader();
            ReadRoot();
            iParser.CloseFile();
        }
        catch (const CVexilException& e)
        {
            if (e.Number() != EErrBadStruct)
                throw;
            VexilImportSupport::WrongFormat(kImportContext, iFileName, CVexilError::GetErrInfo().Param1);
        }
        return std::move(iCards);
    }

private:
    [[noreturn]] void Unexpected(const QString& aDetail) const
    {
        VexilImportSupport::WrongFormat(kImportContext, iFileName, iParser.ObjDescr() + QStringLiteral(": ") + aDetail);
    }

    void ReadRoot()
    {
        QString name;
        bool endTag = false;
        iParser.ReadNext(name, endTag);
        if (endTag || name != kRoot)
            Unexpected(QStringLiteral("root ") + name);
        bool empty = false;
        iParser.ReadAttrAndSym(empty);
        if (iParser.Attr(kVersion) != kVersionValue)
            Unexpected(QStringLiteral("version ") + iParser.Attr(kVersion));
        if (empty)
            return;
        for (;;)
        {
            iParser.ReadNext(name, endTag);
            if (endTag && name == kRoot)
                return;
            if (endTag || name != kCard)
                Unexpected(QStringLiteral("tag ") + name);
            ReadCard();
        }
    }

    void ReadCard()
    {
        bool empty = false;
        iParser.ReadAttrAndSym(empty);
        CVexilXmlCardList::TCardEntry card;
        card.Name = iParser.Attr(kName);
        const QString backgroundName = iParser.Attr(kBackground);
        if (!iStack.GetBackgroundByName(backgroundName, card.Background))
            CVexilError::Throw(EMsgBackgroundNotFound, kImportContext, backgroundName);
        CheckText(card.Name);
        while (!empty)
        {
            QString name;
            bool endTag = false;
            iParser.ReadNext(name, endTag);
            if (endTag && name == kCard)
                break;
            if (endTag || name != kControl)
                Unexpected(QStringLiteral("tag ") + name);
            ReadControl(card);
        }
        iCards.push_back(std::move(card));
    }

    void ReadControl(CVexilXmlCardList::TCardEntry& aCard)
    {
        bool empty = false;
        iParser.ReadAttr(empty);
        const QString fieldName = iParser.Attr(kName);
        TControlRef field;
        if (!aCard.Background->GetControlByName(fieldName, field))
            CVexilError::Throw(EMsgControlNotFound, kImportContext, fieldName);
        QString text;
        if (empty)
        {
            // The ">" of "/>" is current: ReadAttrAndSym finds no attribute and steps past it.
            bool stillEmpty = false;
            iParser.ReadAttrAndSym(stillEmpty);
        }
        else
        {
            iParser.ReadElemText(text, false);
            iParser.ReadTheNext(kControl, true);
        }
        // A picture's display text names a picture of the exporting stack; a command has no value.
        if (field->ConType() == EConTypePicture || field->ConType() == EConTypeCommand)
            return;
        const TValue value = CVexilValue::ExtTextToVal(text, *field);
        if (value.iType == EValStr)
            CheckText(value.iStr);
        aCard.Values.emplace_back(field->Id(), value);
    }

    void CheckText(const QString& aText) const
    {
        VexilImportSupport::CheckStoredText(iStack, aText, kImportContext, iFileName);
    }

    const CVexilStack& iStack;
    QString iFileName;
    CVexilXmlParser iParser;
    std::vector<CVexilXmlCardList::TCardEntry> iCards;
};
}  // namespace

void CVexilXmlCardList::ExportXml(CVexilStack& aStack, const QString& aFileName)
{
    VexilImportSupport::PassOnErrors(
        kExportContext,
        [&] {
            CVexilFileReplace target(aFileName);
            CVexilXmlWriter writer(target.NewName());
            writer.OpenFile();
            writer.BeginElem(kRoot);
            writer.AddAttr(kVersion, kVersionValue);
            writer.BeginStruct();
            TCardRef card;
            int32_t cursor = 0;
            for (bool more = aStack.GetFirstCard(card, cursor); more; more = aStack.GetNextCard(card, cursor))
            {
                const TControlSetRef background = card->Background();
                writer.BeginElem(kCard);
                writer.AddAttr(kName, card->Name());
                writer.AddAttr(kBackground, background->Name());
                writer.BeginStruct();
                TControlRef control;
                int32_t fieldCursor = 0;
                for (bool field = background->GetFirstControl(control, fieldCursor); field;
                     field = background->GetNextControl(control, fieldCursor))
                {
                    if (control->ConType() == EConTypeCommand)
                        continue;
                    TValue value;
                    card->GetControlVal(control->Id(), value, true);
                    writer.BeginElem(kControl);
                    writer.AddAttr(kName, control->Name());
                    writer.AddElemText(CVexilValue::ValToExtText(value, *control));
                    writer.EndElem(kControl);
                }
                writer.EndElem(kCard);
            }
            writer.EndElem(kRoot);
            writer.CloseFile();
            target.Commit();
        },
        [] {});
}

std::vector<CVexilXmlCardList::TCardEntry> CVexilXmlCardList::ReadCards(const CVexilStack& aStack,
                                                                       const QString& aFileName)
{
    return TCardListReader(aStack, aFileName).Read();
}

void CVexilXmlCardList::AddCards(CVexilStack& aStack, const std::vector<TCardEntry>& aCards)
{
    CVexilStack::TOrderBroadcastHold hold(aStack);
    for (const TCardEntry& entry : aCards)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(entry.Name, entry.Background);
        TCardRef before;
        aStack.AddCard(card, before, true);
        for (const auto& [controlId, value] : entry.Values)
            card->SetControlVal(controlId, value);
    }
    hold.Release();
}

void CVexilXmlCardList::ImportXml(CVexilStack& aStack, const QString& aFileName)
{
    VexilImportSupport::PassOnErrors(
        kImportContext, [&] { AddCards(aStack, ReadCards(aStack, aFileName)); }, [] {});
}
