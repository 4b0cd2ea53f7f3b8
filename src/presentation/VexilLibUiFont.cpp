#include "foundation/VexilError.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilNumText.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilStack.h"
#include "model/VexilWikiTextLink.h"
#include "platform/VexilCtl.h"
#include "presentation/VexilLibUi.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

#include <limits>

namespace
{

constexpr int32_t KWhite = 0xFFFFFF;

}  // namespace

std::shared_ptr<CVexilFont> CVexilLibUi::GetEffectiveFont(const CVexilCard& aCard, const CVexilControl* aField)
{
    auto font = std::make_shared<CVexilFont>();
    font->Construct(QString(), UndefInt, UndefLong);
    // The stack level is the card's own stack, which is the current one while it is shown.
    if (const CVexilStack* stack = aCard.Stack())
        font->AddFont(stack->Font().get());
    if (const TControlSetRef background = aCard.Background())
        font->AddFont(background->Font().get());
    font->AddFont(aCard.Font().get());
    if (aField != nullptr)
        font->AddFont(aField->Font().get());
    font->SetDefaults();
    return font;
}

int32_t CVexilLibUi::GetEffectiveBackColor(const CVexilCard& aCard)
{
    int32_t color = UndefLong;
    if (const CVexilStack* stack = aCard.Stack(); stack && stack->BackColor() != UndefLong)
        color = stack->BackColor();
    if (const TControlSetRef background = aCard.Background(); background && background->BackColor() != UndefLong)
        color = background->BackColor();
    if (aCard.BackColor() != UndefLong)
        color = aCard.BackColor();
    return color != UndefLong ? color : ButtonFaceColor();
}

int32_t CVexilLibUi::ButtonFaceColor()
{
    return CVexilCtl::FromQColor(TestWindow()->palette().color(QPalette::Button));
}

void CVexilLibUi::ApplyControlFont(CVexilCtl& aCtl, const CVexilCard& aCard, const CVexilControl* aField,
                                   float& aLineHeight, float& aWidth)
{
    const std::shared_ptr<CVexilFont> font = GetEffectiveFont(aCard, aField);
    QWidget* widget = aCtl.Widget();
    widget->setFont(MakeStdFont(*font, true));
    aCtl.SetForeColor(font->ForeColor());
    // A wiki text field renders its rich text in the same font.
    if (aField != nullptr && aField->Flag(EConWikiText) && aField->WikiTextBox() != nullptr)
        aField->WikiTextBox()->SetFont(font);

    QWidget* window = TestWindow();
    window->setFont(widget->font());
    aLineHeight = CtlTextHeight(window, QStringLiteral("A"));
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        aWidth = CtlTextWidth(window, label->text());
    else
        aWidth = CtlTextWidth(window, WidthSample()) / float(WidthSample().size());
}

void CVexilLibUi::SetCtlBackColor(CVexilCtl& aCtl, int32_t aColor)
{
    if (aColor != UndefLong)
        aCtl.SetBackColor(aColor);
    else if (qobject_cast<const QPushButton*>(aCtl.Widget()) != nullptr)
        aCtl.SetBackColor(ButtonFaceColor());
    else
        aCtl.SetBackColor(KWhite);
}

QFont CVexilLibUi::MakeStdFont(const CVexilFont& aFont, bool aTrueSize)
{
    QFont font;
    font.setFamily(aFont.FaceName());
    font.setBold((aFont.Flags() & EFontBold) != 0);
    font.setItalic((aFont.Flags() & EFontItalic) != 0);
    font.setUnderline((aFont.Flags() & EFontUnderline) != 0);
    font.setPointSizeF(double(aFont.DisplayPointSize(aTrueSize)));
    return font;
}

int16_t CVexilLibUi::PointsToTwipsInt(float aPoints)
{
    const int32_t twips = CVexilNumText::RoundToInt32(double(aPoints * 20.0F));
    if (twips < std::numeric_limits<int16_t>::min() || twips > std::numeric_limits<int16_t>::max())
        CVexilError::RaiseRunError(ERunOverflow);
    return int16_t(twips);
}

float CVexilLibUi::TwipsToPoints(int16_t aSize)
{
    return float(aSize) / 20.0F;
}
