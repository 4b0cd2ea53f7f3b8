#include "editors/VexilControlEdit.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilFont.h"
#include "foundation/VexilMsg.h"
#include "presentation/VexilListBox.h"

#include <QSet>

// The type rules applied to the window: the flag boxes, a chosen type, the defaults of a new
// field, the inputs each type opens, the clicks on flag boxes and the checks of typed input.

void CVexilControlEdit::ShowFlags(int32_t aFlags)
{
    for (const auto& [box, bit] : iFlagChecks)
        box->setChecked((aFlags & bit) != 0);
}

int32_t CVexilControlEdit::GetFlags() const
{
    int32_t flags = 0;
    for (const auto& [box, bit] : iFlagChecks)
        if (box->isChecked())
            flags |= bit;
    return flags;
}

void CVexilControlEdit::TypeComboPicked()
{
    // An existing field keeps its inputs: its type is never applied again with the defaults.
    if (iBusy || iMode == EModeModify || iTypeList->SelIndex() < 0)
        return;
    TypeChanged(true);
}

void CVexilControlEdit::TypeChanged(bool aReset)
{
    iCurType = iTypeList->SelIndex();
    // Only the page of the type can be reached.
    const int page = CVexilControlTypeRules::TypePage(iCurType);
    fTypeDepTab->setCurrentIndex(page);
    for (int i = 0; i < fTypeDepTab->count(); ++i)
        fTypeDepTab->setTabEnabled(i, i == page);
    if (aReset)
    {
        ClearTypeDependentInputs();
        SetDefaults();
        EnableButtons();
    }
    HandleDisables();
    const bool isNew = iMode == EModeNew;
    CVexilDialogLib::SetEditable(*fTypeCombo, isNew, false);
    CVexilDialogLib::SetEditable(*fTypeComboLabel, isNew, false);
}

void CVexilControlEdit::ClearTypeDependentInputs()
{
    // What was typed before the type was chosen survives.
    static const QSet<QString> kKept = {QStringLiteral("fName"),     QStringLiteral("fLabel"),
                                        QStringLiteral("fDescr"),    QStringLiteral("fTypeCombo"),
                                        QStringLiteral("fFontName"), QStringLiteral("fFontSize"),
                                        QStringLiteral("fDefaultVal")};
    for (CVexilCtl* ctl : Controls())
    {
        if (kKept.contains(ctl->Name()))
            continue;
        if (auto* box = dynamic_cast<CVexilTextBox*>(ctl))
            box->clear();
        else if (auto* check = dynamic_cast<CVexilCheckBox*>(ctl))
            check->setChecked(false);
        else if (auto* combo = dynamic_cast<CVexilComboBox*>(ctl))
            combo->setCurrentIndex(-1);
    }
    iDestCard.reset();
}

void CVexilControlEdit::SetDefaults()
{
    SelectLine(*iBeforeList, 0);
    fVisLines->setText(QStringLiteral("1"));
    const std::optional<TTypeDefaults> defaults = CVexilControlTypeRules::Defaults(iCurType);
    if (!defaults)
        return;
    // Ticking the boxes runs their click handling.
    ShowFlags(defaults->Flags);
    CVexilDialogLib::SetTextBoxInt(*fVisChar, defaults->VisChar);
    iFont.reset();
    CVexilDialogLib::ShowFont(nullptr, *fFontName, *fFontSize, *fFontColor);
    iBackColor = UndefLong;
    CVexilDialogLib::ShowColor(*fBackColor, iBackColor);
}

void CVexilControlEdit::HandleDisables()
{
    const std::optional<QString> list = CVexilControlTypeRules::DisableList(iCurType);
    if (!list)
        return;
    for (CVexilCtl* input : DataInputs())
        CVexilDialogLib::SetEditable(*input, !CVexilControlTypeRules::InDisableList(*list, input->Name()), false);
    for (int rule = 1; rule <= CVexilControlTypeRules::KNumRules; ++rule)
        ApplyRule(rule);
}

void CVexilControlEdit::ApplyRule(int aRule)
{
    const std::optional<bool> editable = CVexilControlTypeRules::RuleEditable(aRule, iCurType, GetFlags(), iMode);
    if (!editable)
        return;
    for (const QString& input : CVexilControlTypeRules::RuleInputs(aRule))
        SetInputEditable(input, *editable);
}

void CVexilControlEdit::FlagBoxClicked(CVexilCheckBox* aBox)
{
    if (iBusy)
        return;
    const QString name = aBox->objectName();
    const bool breaksPair = name == QLatin1String("fComboList") || name == QLatin1String("fComboText");
    if (breaksPair && iMode == EModeModify && !aBox->isChecked() &&
        !CVexilMsg::Ask(EMsgBreakCombo, EMsgClsQuestion, CVexilMsg::Undef, CVexilMsg::Undef))
    {
        // Ticked again, the box runs its handling once more.
        aBox->setChecked(true);
        return;
    }
    for (const int rule : CVexilControlTypeRules::ClickRules(name))
        ApplyRule(rule);
}

void CVexilControlEdit::Refocus(QWidget* aInput)
{
    iRefocusing = true;
    aInput->setFocus(Qt::OtherFocusReason);
    iRefocusing = false;
}

void CVexilControlEdit::NameLeft()
{
    // A read-only box is not examined: the user can always leave it.
    if (iRefocusing || fName->isReadOnly())
        return;
    const QString name = fName->text();
    bool bad = false;
    CVexilDialogLib::CheckEmptyName(QStringLiteral("Name"), name, bad);
    if (bad)
    {
        Refocus(fName);
        return;
    }
    if (iMode == EModeModify)
        fModeText->setText(name);
    TControlRef other;
    if (iBackground && iBackground->GetControlByName(name, other) &&
        (iMode == EModeNew || (iMode == EModeModify && other != iCurControl)))
    {
        CVexilMsg::Show(EMsgDuplicateName, EMsgClsCritical, QStringLiteral("control"));
        Refocus(fName);
        return;
    }
    if (iMode == EModeNew && !name.isEmpty() && fLabel->text().isEmpty())
        fLabel->setText(name);
}

void CVexilControlEdit::NumberBoxLeft(ENumberBox aBox)
{
    auto* box = static_cast<CVexilTextBox*>(Control(CVexilControlTypeRules::NumberCheck(aBox).Box));
    if (iRefocusing || !box || box->isReadOnly())
        return;
    bool bad = false;
    CVexilControlTypeRules::CheckNumber(aBox, iCurType, box->text(), bad);
    if (bad)
        Refocus(box);
}
