#include "foundation/VexilDialogLib.h"

#include "foundation/VexilFont.h"
#include "foundation/VexilPrompts.h"
#include "platform/VexilCtls.h"

#include <exception>

// Fonts, colours and the read-only look of the dialogs' inputs.

namespace
{
constexpr int32_t kEditableColor = 0xFFFFFF;
constexpr int32_t kReadOnlyColor = 212 | (208 << 8) | (200 << 16);

int32_t ContainerBackColor(const CVexilLabel& aSample)
{
    QWidget* container = aSample.parentWidget();
    if (!container)
        return CVexilCtl::FromQColor(aSample.palette().color(QPalette::Window));
    if (const CVexilCtl* ctl = CVexilCtl::Of(container))
        return ctl->BackColor();
    return CVexilCtl::FromQColor(container->palette().color(QPalette::Window));
}
}  // namespace

void CVexilDialogLib::ShowFont(const CVexilFont* aFont, QLineEdit& aNameBox, QLineEdit& aSizeBox,
                               CVexilLabel& aSample)
{
    aNameBox.setText(aFont ? aFont->FaceNameWithFlags() : QString());
    aSizeBox.setText(aFont ? aFont->PointSizeStr() : QString());
    ShowColor(aSample, aFont ? aFont->ForeColor() : UndefLong);
}

void CVexilDialogLib::ShowColor(CVexilLabel& aSample, int32_t aColor)
{
    aSample.SetBackColor(aColor == UndefLong ? ContainerBackColor(aSample) : aColor);
    aSample.setText(QString());
}

void CVexilDialogLib::SelectColor(CVexilLabel& aSample, int32_t& aColor)
{
    int32_t color = aColor;
    try
    {
        IVexilPrompts* prompts = CVexilPrompts::Current();
        if (!prompts || !prompts->ChooseColor(color))
            return;
    }
    catch (const std::exception&)
    {
        return;  // a failing chooser is a cancel
    }
    aColor = color;
    ShowColor(aSample, aColor);
}

void CVexilDialogLib::SetEditable(CVexilCtl& aCtl, bool aEditable, bool aClear)
{
    QWidget* widget = aCtl.Widget();
    const bool clear = aClear && !aEditable;
    const int32_t backColor = aEditable ? kEditableColor : kReadOnlyColor;
    if (auto* textBox = qobject_cast<QLineEdit*>(widget))
    {
        textBox->setReadOnly(!aEditable);
        aCtl.SetBackColor(backColor);
        if (clear)
            textBox->clear();
    }
    else if (auto* multiLine = qobject_cast<QTextEdit*>(widget))
    {
        multiLine->setReadOnly(!aEditable);
        aCtl.SetBackColor(backColor);
        if (clear)
            multiLine->clear();
    }
    else if (auto* comboBox = dynamic_cast<CVexilComboBox*>(widget))
    {
        comboBox->SetLocked(!aEditable);
        aCtl.SetBackColor(backColor);
    }
    else if (auto* label = qobject_cast<QLabel*>(widget); label && aCtl.Name().contains(QLatin1String("Color")))
    {
        aCtl.SetBackColor(backColor);
        if (clear)
            label->clear();
    }
    else
    {
        aCtl.SetEnabled(aEditable);
    }
}
