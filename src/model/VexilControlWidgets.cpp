#include "model/VexilControlWidgets.h"

#include "foundation/VexilError.h"

#include <vector>

namespace
{

// A list box without widget: the lines and their objects in memory, for programs and
// tests without windows.
class CMemoryListBox final : public IVexilListBoxLink
{
public:
    explicit CMemoryListBox(int32_t aLisType) : iLisType(aLisType) {}

    int32_t LisType() const override { return iLisType; }
    void SetFlag(int32_t aMask, bool aOn) override { iFlags = aOn ? (iFlags | aMask) : (iFlags & ~aMask); }
    bool Flag(int32_t aMask) const override { return (iFlags & aMask) != 0; }
    void SetBaseObj(QObject* /*aWidget*/) override {}
    QObject* BaseObj() const override { return nullptr; }
    void SetFont(const std::shared_ptr<CVexilFont>& aFont) override { iFont = aFont; }
    std::shared_ptr<CVexilFont> Font() const override { return iFont; }

    void Clear() override
    {
        iLines.clear();
        iObjs.clear();
    }
    void AddLine(const QString& aLine, const TObjRef& aObj) override
    {
        iLines.push_back(aLine);
        iObjs.push_back(aObj);
    }
    int32_t NumLines() const override { return int32_t(iLines.size()); }
    QString Line(int32_t aIndex) const override
    {
        CVexilError::Assert(aIndex >= 0 && aIndex < NumLines(), QStringLiteral("Get Line index"));
        return aIndex >= 0 && aIndex < NumLines() ? iLines[size_t(aIndex)] : QString();
    }
    TObjRef Obj(int32_t aIndex) const override
    {
        return aIndex >= 0 && aIndex < NumLines() ? iObjs[size_t(aIndex)] : TObjRef();
    }

    void DefineColumns(const QStringList& /*aTitles*/, const std::vector<float>& /*aWidths*/) override {}
    void DefineColumnsFrac(const QStringList& /*aTitles*/, const std::vector<float>& /*aFractions*/) override {}
    void Show() override {}
    // Without a widget there is no selection.
    void SetComboText(const QString& /*aText*/) override {}
    void SetEmpty() override {}

private:
    int32_t iLisType;
    int32_t iFlags = 0;
    std::shared_ptr<CVexilFont> iFont;
    std::vector<QString> iLines;
    std::vector<TObjRef> iObjs;
};

class CMemoryWidgets final : public IVexilControlWidgets
{
public:
    std::unique_ptr<IVexilListBoxLink> NewListBox(int32_t aLisType) override
    {
        return std::make_unique<CMemoryListBox>(aLisType);
    }
    std::unique_ptr<IVexilWikiTextLink> NewWikiTextBox() override { return nullptr; }
    // A usual measure of the default window font (6 pixels of 15 twips).
    float AvgCharWidth() const override { return 90; }
};

CMemoryWidgets gMemoryWidgets;
IVexilControlWidgets* gWidgets = &gMemoryWidgets;

}  // namespace

void CVexilControlWidgets::Install(IVexilControlWidgets* aWidgets)
{
    gWidgets = aWidgets != nullptr ? aWidgets : &gMemoryWidgets;
}

IVexilControlWidgets& CVexilControlWidgets::Current()
{
    return *gWidgets;
}

IVexilControlWidgets& CVexilControlWidgets::InMemory()
{
    return gMemoryWidgets;
}
