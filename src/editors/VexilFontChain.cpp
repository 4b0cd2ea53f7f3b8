#include "editors/VexilFontChain.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilMsg.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"

#include <QLocale>

#include <cmath>

namespace
{
const QString kSizeLabel = QStringLiteral("Point size");

// One level's object: whether there is one, its name and its own font.
struct TLevelObject
{
    bool Exists = false;
    QString Name;
    std::shared_ptr<CVexilFont> Font;
};

template <class T>
TLevelObject LevelObject(const T* aObj)
{
    if (!aObj)
        return {};
    return {true, aObj->Name(), aObj->Font()};
}

TLevelObject LevelObject(int32_t aLevel, const CVexilFontChain::TObjects& aObjects)
{
    switch (aLevel)
    {
    case ELevelStack: return LevelObject(aObjects.Stack);
    case ELevelBackground: return LevelObject(aObjects.Background);
    case ELevelCard: return LevelObject(aObjects.Card);
    default: return LevelObject(aObjects.Control);
    }
}
}  // namespace

int32_t CVexilFontInput::ReadSize(const QString& aText, int16_t& aSize)
{
    aSize = UndefInt;
    const QString text = aText.trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const double points = QLocale().toDouble(text, &ok);
    if (!ok || !std::isfinite(points) || points <= 0)
        return EMsgNotNum;
    // Rounded as the size is stored: to the nearest twentieth, a half to the even one.
    const double twentieths = std::nearbyint(points * 20);
    if (twentieths < 1)
        return EMsgNotNum;
    if (twentieths > KMaxSize)
        return EMsgNumTooHigh;
    aSize = int16_t(twentieths);
    return 0;
}

bool CVexilFontInput::CheckSize(const QString& aText)
{
    int16_t size = UndefInt;
    const int32_t msg = ReadSize(aText, size);
    if (msg == EMsgNotNum)
        CVexilMsg::Show(EMsgNotNum, EMsgClsCritical, aText, kSizeLabel);
    else if (msg == EMsgNumTooHigh)
    {
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        CVexilMsg::Show(EMsgNumTooHigh, EMsgClsCritical, aText, kSizeLabel,
                        locale.toString(double(KMaxSize) / 20, 'g', 7));
    }
    return msg == 0;
}

std::shared_ptr<CVexilFont> CVexilFontInput::InputFont(const TFontInput& aInput)
{
    int16_t size = UndefInt;
    ReadSize(aInput.SizeText, size);
    auto font = std::make_shared<CVexilFont>();
    font->Construct(aInput.FaceName, size, aInput.Color);
    font->SetFlags(aInput.Flags);
    return font;
}

bool CVexilFontInput::NeedsInstalledFont(const QString& aFaceName)
{
    return !aFaceName.isEmpty() && aFaceName.compare(QLatin1String("Sans-Serif Latin"), Qt::CaseInsensitive) != 0;
}

CVexilFontChain::TResult CVexilFontChain::Evaluate(int32_t aEditedLevel, const TObjects& aObjects,
                                                   const TFontInput& aInput)
{
    TResult result;
    result.Font = std::make_shared<CVexilFont>();
    result.Font->Construct(QString(), UndefInt, UndefLong);
    for (int32_t level = ELevelStack; level <= ELevelControl; ++level)
    {
        TFontLevelRow& row = result.Rows[size_t(level)];
        const TLevelObject obj = LevelObject(level, aObjects);
        row.Label = CVexilDialogLib::LevelToStr(level);
        if (obj.Exists)
            row.Label += QStringLiteral("  \"") + obj.Name + QLatin1Char('"');
        row.Label += QLatin1Char(':');
        row.Visible = level <= aEditedLevel;
        if (level < aEditedLevel)
        {
            if (!obj.Exists)
            {
                row.FaceName = row.Size = QString::fromLatin1(KNoObject);
            }
            else if (obj.Font)
            {
                row.FaceName = obj.Font->FaceNameWithFlags();
                row.Size = obj.Font->PointSizeStr();
                row.Color = obj.Font->ForeColor();
                result.Font->AddFont(obj.Font.get());
            }
        }
        else if (level == aEditedLevel)
        {
            const std::shared_ptr<CVexilFont> input = CVexilFontInput::InputFont(aInput);
            row.FaceName = input->FaceNameWithFlags();
            row.Size = aInput.SizeText;
            row.Color = aInput.Color;
            result.Font->AddFont(input.get());
        }
    }
    result.Font->SetDefaults();
    return result;
}
