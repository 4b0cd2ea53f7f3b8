#include "model/VexilControl.h"

#include "foundation/VexilArray.h"
#include "foundation/VexilBinObj.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilGenDef.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"
#include "model/VexilControlSet.h"
#include "model/VexilControlWidgets.h"
#include "model/VexilStack.h"

#include <array>
#include <limits>

namespace
{
const QString kXmlName = QStringLiteral("Control");
const QString kXmlContext = QStringLiteral("CVexilControl.InternalizeXml");
const QString kReadContext = QStringLiteral("CVexilControl.Internalize");

const std::array<QString, 9> kTypeNames = {
    QStringLiteral("Text"),    QStringLiteral("Integer"), QStringLiteral("Real"),
    QStringLiteral("Date"),    QStringLiteral("Time"),    QStringLiteral("Boolean"),
    QStringLiteral("List"),    QStringLiteral("Command"), QStringLiteral("Picture"),
};

// The number of list columns as stored in 16 bits; more do not fit the record.
int16_t StoredCount(int32_t aCount)
{
    if (aCount > std::numeric_limits<int16_t>::max())
        CVexilError::RaiseRunError(ERunOverflow, QStringLiteral("CVexilControl.Externalize"));
    return int16_t(aCount);
}

// The card id that leads a card-list line; UndefLong when there is none or it is too large.
int32_t LeadingId(const QString& aLine)
{
    int64_t id = 0;
    qsizetype i = 0;
    for (; i < aLine.size() && aLine[i].isDigit() && aLine[i].unicode() < 128; ++i)
    {
        id = id * 10 + (aLine[i].unicode() - '0');
        if (id > std::numeric_limits<int32_t>::max())
            return UndefLong;
    }
    return i > 0 ? int32_t(id) : UndefLong;
}

const struct TRegisterControl
{
    TRegisterControl()
    {
        CVexilObjFactory::Register(EValControl, [] { return std::make_shared<CVexilControl>(); });
    }
} kRegisterControl;
}  // namespace

CVexilControl::CVexilControl() = default;
CVexilControl::~CVexilControl() = default;

QString CVexilControl::ObjDescr() const
{
    return QStringLiteral("CVexilControl name=") + iName + QStringLiteral(",id=") + QString::number(iId) +
           QStringLiteral(",type=") + QString::number(iConType);
}

void CVexilControl::Construct(int32_t aId, const QString& aName, int32_t aConType)
{
    iId = aId;
    iName = aName;
    iConType = aConType;
    iVisLines = 1;
    iVisChar = 30;
    iListVisChar = UndefInt;
    iDefaultVal.clear();
    iFlags = EConInCardView;
    iDynFlags = 0;
    if (OkForListCol())
        SetFlag(EConInCardList, true);
    iMaxChar = UndefInt;
    iDigits = UndefInt;
    iStdCmd = UndefInt;
    iDestCardId = UndefLong;
    iPartnerId = UndefLong;
    iRefControlId = UndefLong;
    iSelBackgroundId = UndefLong;
    iSelControlId = UndefLong;
    iBackColor = UndefLong;
    iBaseControl = nullptr;
    iBaseLabel = nullptr;
    iBaseFunc = nullptr;
    iBaseType = UndefInt;
    iListBox.reset();
    iListCol.reset();
    CreateListBox();
    CreateWikiTextBox();
    iChanged = true;
}

void CVexilControl::SetVisLines(int16_t aLines)
{
    iVisLines = aLines;
    iChanged = true;
}

void CVexilControl::SetVisChar(int16_t aChars)
{
    iVisChar = aChars;
    iChanged = true;
}

void CVexilControl::SetMaxChar(int16_t aChars)
{
    iMaxChar = aChars;
    iChanged = true;
}

void CVexilControl::SetDigits(int16_t aDigits)
{
    iDigits = aDigits;
    iChanged = true;
}

int16_t CVexilControl::ListVisChar() const
{
    if (iListVisChar != UndefInt)
        return iListVisChar;
    return iVisChar != UndefInt ? iVisChar : int16_t(1);
}

void CVexilControl::SetListVisChar(int16_t aChars)
{
    iListVisChar = aChars;
    iChanged = true;
}

void CVexilControl::SetName(const QString& aName)
{
    iName = aName;
    iChanged = true;
}

void CVexilControl::SetDescr(const QString& aDescr)
{
    iDescr = aDescr;
    iChanged = true;
}

void CVexilControl::SetId(int32_t aId)
{
    iId = aId;
    iChanged = true;
}

void CVexilControl::SetConType(int32_t aConType)
{
    iConType = aConType;
    iChanged = true;
}

void CVexilControl::SetLabel(const QString& aLabel)
{
    iLabel = aLabel;
    iChanged = true;
}

void CVexilControl::SetDefaultVal(const QString& aVal)
{
    iDefaultVal = aVal;
    iChanged = true;
}

void CVexilControl::SetFlags(int32_t aFlags)
{
    iFlags = aFlags;
    CreateListBox();
    CreateWikiTextBox();
    iChanged = true;
}

void CVexilControl::SetFlag(int32_t aMask, bool aOn)
{
    if (aOn)
        iFlags |= aMask;
    else if (Flag(aMask))
        iFlags &= ~aMask;
    iChanged = true;
}

void CVexilControl::SetDynFlag(int32_t aMask, bool aOn)
{
    if (aOn)
        iDynFlags |= aMask;
    else if (DynFlag(aMask))
        iDynFlags &= ~aMask;
}

QString CVexilControl::ListColTitle() const
{
    return iListColTitle.isEmpty() ? iName : iListColTitle;
}

void CVexilControl::SetListColTitle(const QString& aTitle)
{
    iListColTitle = aTitle;
    iChanged = true;
}

void CVexilControl::SetPartnerId(int32_t aId)
{
    if (aId != UndefLong)
        CVexilError::CheckFailed(Flag(EConComboText | EConComboList), this, QStringLiteral("LetPartnerId"),
                                 QStringLiteral("LetPartnerId Combo"));
    iPartnerId = aId;
    iChanged = true;
}

void CVexilControl::SetRefControlId(int32_t aId)
{
    iRefControlId = aId;
    iChanged = true;
}

void CVexilControl::SetSelBackgroundId(int32_t aId)
{
    iSelBackgroundId = aId;
    iChanged = true;
}

void CVexilControl::SetSelControlId(int32_t aId)
{
    iSelControlId = aId;
    iChanged = true;
}

void CVexilControl::SetListCol(std::shared_ptr<CVexilArray> aListCol)
{
    iListCol = std::move(aListCol);
    iChanged = true;
}

void CVexilControl::SetStdCmd(int16_t aCmd)
{
    iStdCmd = aCmd;
    iChanged = true;
}

bool CVexilControl::Changed() const
{
    return iChanged || CVexilObjHead::IsChanged(iListCol.get()) || CVexilObjHead::IsChanged(iScript.get()) ||
           CVexilObjHead::IsChanged(iFont.get());
}

void CVexilControl::SetChanged(bool aChanged)
{
    iChanged = aChanged;
    if (aChanged)
        return;
    for (CVexilObject* part : {static_cast<CVexilObject*>(iListCol.get()), static_cast<CVexilObject*>(iScript.get()),
                               static_cast<CVexilObject*>(iFont.get())})
        if (part)
            part->SetChanged(false);
}

void CVexilControl::SetBaseControl(QObject* aControl, int32_t aBaseType)
{
    iBaseControl = aControl;
    iBaseType = aBaseType;
    if (iListBox)
        iListBox->SetBaseObj(aControl);
}

void CVexilControl::SetBackColor(int32_t aColor)
{
    iBackColor = aColor;
    iChanged = true;
}

void CVexilControl::SetScriptSource(const QString& aSource)
{
    iScriptSource = aSource;
    iChanged = true;
}

void CVexilControl::SetScript(std::shared_ptr<CVexilArray> aScript)
{
    iScript = std::move(aScript);
    iChanged = true;
}

void CVexilControl::SetFont(std::shared_ptr<CVexilFont> aFont)
{
    iFont = std::move(aFont);
    iChanged = true;
}

QString CVexilControl::TypeStr() const
{
    const bool known = iConType >= 0 && iConType < int32_t(kTypeNames.size());
    CVexilError::CheckFailed(known, this, QStringLiteral("TypeStr"), QStringLiteral("iType"));
    return known ? kTypeNames[size_t(iConType)] : QString();
}

bool CVexilControl::OkForListCol() const
{
    return iConType != EConTypeBoolean && iConType != EConTypeList && iConType != EConTypeCommand &&
           iConType != EConTypePicture;
}

bool CVexilControl::AllowsCombo() const
{
    return iConType == EConTypeText || iConType == EConTypeInteger || iConType == EConTypeReal;
}

void CVexilControl::GetListColInfo(bool& aInList, int16_t& aWidth) const
{
    aInList = OkForListCol() && Flag(EConInCardList);
    if (!aInList)
        aWidth = UndefInt;
    else
        aWidth = iListVisChar != UndefInt ? iListVisChar : iVisChar;
}

void CVexilControl::SetList(CVexilStack& aStack, const QString& aText, bool aIsCardList)
{
    CVexilError::CheckFailed(iListBox != nullptr, this, QStringLiteral("SetList"), QStringLiteral("ListBox"));
    if (!iListBox)
        return;
    iListBox->Clear();
    QStringList lines(aText.count(CVexilGenDef::EolStr()) + 1);
    int count = 0;
    CVexilLib::SplitLines(aText, lines, count);
    for (int i = 0; i < count; ++i)
        iListBox->AddLine(lines[i], aIsCardList ? aStack.GetCardById(LeadingId(lines[i])) : nullptr);
    if (iListBox->LisType() == ELisSingle)
        DefineListColumns(aStack, aIsCardList);
    iListBox->Show();
}

void CVexilControl::DefineListColumns(CVexilStack& aStack, bool aIsCardList)
{
    QStringList titles;
    std::vector<float> widths;
    // Card-list lines lead with the card id, which a column of no width keeps out of view.
    if (aIsCardList)
    {
        titles.append(QString());
        widths.push_back(0);
    }
    if (NumListCol() == 0)
    {
        titles.append(aIsCardList ? QStringLiteral("Card Name") : QStringLiteral("Value"));
        widths.push_back(1);
        iListBox->DefineColumnsFrac(titles, widths);
        return;
    }
    const TControlSetRef background = aStack.Background(iSelBackgroundId);
    const float charWidth = CVexilControlWidgets::Current().AvgCharWidth();
    for (int32_t i = 0; i < NumListCol(); ++i)
    {
        TControlRef column;
        const bool found = background && background->GetControl(iListCol->IntValAt(i), column);
        CVexilError::CheckFailed(found, this, QStringLiteral("SetList"), QStringLiteral("control found"));
        if (!found)
            continue;
        titles.append(column->ListColTitle());
        widths.push_back(float(column->ListVisChar()) * charWidth + CVexilControlWidgets::KListBorderWidth);
    }
    iListBox->DefineColumns(titles, widths);
}

QString CVexilControl::GetList() const
{
    QStringList lines;
    if (iListBox)
        for (int32_t i = 0; i < iListBox->NumLines(); ++i)
            lines.append(iListBox->Line(i));
    return lines.join(CVexilGenDef::EolStr());
}

void CVexilControl::CreateListBox()
{
    IVexilControlWidgets& widgets = CVexilControlWidgets::Current();
    if (iConType == EConTypeList)
        iListBox = widgets.NewListBox(ELisSingle);
    if (Flag(EConComboList))
        iListBox = widgets.NewListBox(ELisCombo);
    if (iListBox)
        iListBox->SetFlag(ELbfTrueFontSize, true);
}

void CVexilControl::CreateWikiTextBox()
{
    if (Flag(EConWikiText))
        iWikiTextBox = CVexilControlWidgets::Current().NewWikiTextBox();
}

int32_t CVexilControl::NumListCol() const
{
    return iListCol ? iListCol->Count() : 0;
}

void CVexilControl::FinishRead(const CVexilObject& aSource, const QString& aContext, int32_t aNumListCol)
{
    CVexilError::CheckStruct(iConType >= EConTypeText && iConType <= EConTypePicture, &aSource, aContext,
                             QStringLiteral("type ") + QString::number(iConType));
    CVexilError::CheckStruct(!iListCol || (!iListCol->WithKey() && iListCol->ElemType() == EValInt &&
                                           iListCol->Count() == aNumListCol),
                             &aSource, aContext, QStringLiteral("numListCol ") + QString::number(aNumListCol));
    iListBox.reset();
    CreateListBox();
    iWikiTextBox.reset();
    CreateWikiTextBox();
    SetChanged(false);
}

int32_t CVexilControl::ExtLen()
{
    int32_t len = CVexilObjHead::ExtLenBaseObj(*this) + CVexilFile::ExtStrLen(iDescr) +
                  CVexilFile::ExtStrLen(iLabel) + CVexilFile::ExtStrLen(iDefaultVal) +
                  CVexilFile::ExtStrLen(iListColTitle) + 8 * CVexilBinObj::ExtShortLen() +
                  5 * CVexilBinObj::ExtIntLen();
    if (NumListCol() > 0)
        len += iListCol->ExtLen();
    return len;
}

void CVexilControl::Externalize(CVexilFile& aFile)
{
    CVexilObjHead::ExternalizeBaseObj(*this, aFile, EObjControl);
    aFile.WriteStr(iDescr);
    aFile.WriteStr(iLabel);
    aFile.WriteShort(int16_t(iConType));
    aFile.WriteStr(iDefaultVal);
    aFile.WriteShort(iVisLines);
    aFile.WriteShort(iVisChar);
    aFile.WriteShort(iMaxChar);
    aFile.WriteShort(iDigits);
    aFile.WriteShort(iListVisChar);
    aFile.WriteStr(iListColTitle);
    aFile.WriteInt(iPartnerId);
    aFile.WriteInt(iRefControlId);
    aFile.WriteInt(iSelBackgroundId);
    aFile.WriteInt(iSelControlId);
    const int16_t numListCol = StoredCount(NumListCol());
    aFile.WriteShort(numListCol);
    if (numListCol > 0)
        iListCol->Externalize(aFile);
    aFile.WriteShort(iStdCmd);
    aFile.WriteInt(iDestCardId);
}

void CVexilControl::Internalize(CVexilFile& aFile)
{
    const int16_t gen = CVexilObjHead::InternalizeBaseObj(*this, aFile, EObjControl);
    iDescr = aFile.ReadStr();
    iLabel = aFile.ReadStr();
    iConType = aFile.ReadShort();
    iDefaultVal = aFile.ReadStr();
    iVisLines = aFile.ReadShort();
    iVisChar = aFile.ReadShort();
    iMaxChar = aFile.ReadShort();
    iDigits = gen >= 3 ? aFile.ReadShort() : UndefInt;
    iListVisChar = aFile.ReadShort();
    iListColTitle = aFile.ReadStr();
    iPartnerId = aFile.ReadInt();
    iRefControlId = aFile.ReadInt();
    iSelBackgroundId = aFile.ReadInt();
    iSelControlId = aFile.ReadInt();
    const int16_t numListCol = aFile.ReadShort();
    CVexilError::CheckStruct(numListCol >= 0, &aFile, kReadContext,
                             QStringLiteral("numListCol ") + QString::number(numListCol));
    iListCol.reset();
    if (numListCol > 0)
    {
        iListCol = std::make_shared<CVexilArray>();
        iListCol->Internalize(aFile);
    }
    iStdCmd = aFile.ReadShort();
    iDestCardId = aFile.ReadInt();
    FinishRead(aFile, kReadContext, numListCol);
}

bool CVexilControl::IsInXml(const QString& aName) const
{
    return aName == kXmlName;
}

void CVexilControl::ExternalizeXml(CVexilXmlWriter& aWriter)
{
    const int16_t numListCol = StoredCount(NumListCol());
    aWriter.BeginElem(kXmlName);
    aWriter.AddShortAttr(QStringLiteral("gen"), CVexilBinObj::Generations(EObjControl).Written);
    aWriter.AddIntAttr(QStringLiteral("id"), iId);
    aWriter.AddAttr(QStringLiteral("name"), iName);
    aWriter.AddAttr(QStringLiteral("descr"), iDescr);
    aWriter.AddAttr(QStringLiteral("label"), iLabel);
    aWriter.AddIntAttr(QStringLiteral("type"), iConType);
    aWriter.AddShortAttr(QStringLiteral("visLines"), iVisLines);
    aWriter.AddShortAttr(QStringLiteral("visChar"), iVisChar);
    aWriter.AddIntAttr(QStringLiteral("flags"), iFlags);
    aWriter.AddShortAttr(QStringLiteral("maxChar"), iMaxChar);
    aWriter.AddShortAttr(QStringLiteral("digits"), iDigits);
    aWriter.AddShortAttr(QStringLiteral("listVisChar"), iListVisChar);
    aWriter.AddAttr(QStringLiteral("listColTitle"), iListColTitle);
    aWriter.AddIntAttr(QStringLiteral("partnerId"), iPartnerId);
    aWriter.AddIntAttr(QStringLiteral("refControlId"), iRefControlId);
    aWriter.AddIntAttr(QStringLiteral("selBackgroundId"), iSelBackgroundId);
    aWriter.AddIntAttr(QStringLiteral("selControlId"), iSelControlId);
    aWriter.AddShortAttr(QStringLiteral("numListCol"), numListCol);
    aWriter.AddShortAttr(QStringLiteral("stdCmd"), iStdCmd);
    aWriter.AddIntAttr(QStringLiteral("destCardId"), iDestCardId);
    aWriter.AddIntAttr(QStringLiteral("backColor"), iBackColor);
    CVexilObjHead::AddHeadAttrs(*this, aWriter);
    aWriter.BeginStruct();
    CVexilStoredObj::WriteXmlTextElem(aWriter, QStringLiteral("DefaultVal"), iDefaultVal);
    if (numListCol > 0)
        iListCol->ExternalizeXml(aWriter);
    CVexilObjHead::ExternalizeHeadXml(*this, aWriter);
    aWriter.EndElem(kXmlName);
}

void CVexilControl::InternalizeXml(CVexilXmlParser& aParser)
{
    bool empty = false;
    aParser.ReadAttrAndSym(empty);
    CheckXml(aParser, !empty, kXmlContext, QStringLiteral("InternalizeXml term"));
    const int16_t gen = aParser.ShortAttr(QStringLiteral("gen"));
    const TObjGenerations gens = CVexilBinObj::Generations(EObjControl);
    CheckXml(aParser, gen >= gens.Lowest && gen <= gens.Highest, kXmlContext, QStringLiteral("InternalizeXml gen"));
    iId = aParser.IntAttr(QStringLiteral("id"));
    iName = aParser.Attr(QStringLiteral("name"));
    iDescr = aParser.Attr(QStringLiteral("descr"));
    iLabel = aParser.Attr(QStringLiteral("label"));
    iConType = aParser.ShortAttr(QStringLiteral("type"));
    iVisLines = aParser.ShortAttr(QStringLiteral("visLines"));
    iVisChar = aParser.ShortAttr(QStringLiteral("visChar"));
    iFlags = aParser.IntAttr(QStringLiteral("flags"));
    iMaxChar = aParser.ShortAttr(QStringLiteral("maxChar"));
    iDigits = aParser.ShortAttr(QStringLiteral("digits"));
    iListVisChar = aParser.ShortAttr(QStringLiteral("listVisChar"));
    iListColTitle = aParser.Attr(QStringLiteral("listColTitle"));
    iPartnerId = aParser.IntAttr(QStringLiteral("partnerId"));
    iRefControlId = aParser.IntAttr(QStringLiteral("refControlId"));
    iSelBackgroundId = aParser.IntAttr(QStringLiteral("selBackgroundId"));
    iSelControlId = aParser.IntAttr(QStringLiteral("selControlId"));
    // Missing is none, not the 16-bit "unset".
    const int16_t numListCol = aParser.Attr(QStringLiteral("numListCol")).isEmpty()
                                   ? int16_t(0)
                                   : aParser.ShortAttr(QStringLiteral("numListCol"));
    // A missing "stdCmd" reads as none (UndefInt).
    iStdCmd = aParser.ShortAttr(QStringLiteral("stdCmd"));
    iDestCardId = aParser.IntAttr(QStringLiteral("destCardId"));
    iBackColor = aParser.IntAttr(QStringLiteral("backColor"));
    const TXmlHeadAttrs head = CVexilObjHead::ReadHeadAttrs(aParser);

    iDefaultVal = ReadXmlTextElem(aParser, QStringLiteral("DefaultVal"), kXmlContext);
    iListCol.reset();
    if (numListCol > 0)
    {
        iListCol = std::make_shared<CVexilArray>();
        ReadXmlChild(aParser, *iListCol, kXmlContext, QStringLiteral("InternalizeXml iListCol"));
    }
    CVexilObjHead::InternalizeHeadXml(*this, aParser, head);
    aParser.ReadTheNext(kXmlName, true);
    FinishRead(aParser, kXmlContext, numListCol);
}
