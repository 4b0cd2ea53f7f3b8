#include "editors/VexilWikiTextEdit.h"

#include "foundation/VexilPrompts.h"
#include "platform/VexilFormRegistry.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilStackView.h"

#include <QTextCursor>

namespace
{
// The design in twips.
constexpr float KClientWidth = 7200;
constexpr float KClientHeight = 5400;
constexpr float KMargin = 120;
constexpr float KButtonWidth = 1200;
constexpr float KLinkButtonWidth = 1800;
constexpr float KButtonHeight = 375;
constexpr float KButtonTop = KClientHeight - KMargin - KButtonHeight;
}  // namespace

CVexilWikiTextEdit::CVexilWikiTextEdit() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Edit Wiki Text"));
    setFixedSize(CVexilCtl::TwipsToPixels(KClientWidth), CVexilCtl::TwipsToPixels(KClientHeight));

    fWikiText = Add<CVexilRichTextBox>(QStringLiteral("fWikiText"));
    fWikiText->Move(KMargin, KMargin, KClientWidth - 2 * KMargin, KButtonTop - 2 * KMargin);
    const auto addButton = [this](const QString& aName, const QString& aCaption, float aLeft, float aWidth) {
        auto* button = Add<CVexilCommandButton>(aName);
        button->setText(aCaption);
        button->Move(aLeft, KButtonTop, aWidth, KButtonHeight);
        return button;
    };
    fSelToLinkBut =
        addButton(QStringLiteral("fSelToLinkBut"), QStringLiteral("Selection to Link"), KMargin, KLinkButtonWidth);
    fSaveBut = addButton(QStringLiteral("fSaveBut"), QStringLiteral("Save"),
                         KClientWidth - 2 * KMargin - 2 * KButtonWidth, KButtonWidth);
    fCancelBut = addButton(QStringLiteral("fCancelBut"), QStringLiteral("Cancel"), KClientWidth - KMargin - KButtonWidth,
                           KButtonWidth);

    connect(fSelToLinkBut, &QPushButton::clicked, this, [this] { Guarded([this] { SelToLinkClicked(); }); });
    connect(fSaveBut, &QPushButton::clicked, this, [this] { Guarded([this] { SaveClicked(); }); });
    connect(fCancelBut, &QPushButton::clicked, this, [this] { Guarded([this] { UnloadForm(); }); });
}

void CVexilWikiTextEdit::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilWikiTextEdit; });
}

void CVexilWikiTextEdit::Load()
{
    CVexilFormPlacement::Restore(*this);
}

void CVexilWikiTextEdit::SetObj(const TCardRef& aCard, const TControlRef& aControl)
{
    iTarget = CVexilWikiTextTarget(aCard, aControl);
    fWikiText->setPlainText(iTarget.EditText());
}

QString CVexilWikiTextEdit::EditText() const
{
    // The raw text keeps no-break spaces; the box holds plain text in one block per line.
    QString text = fWikiText->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

std::optional<QString> CVexilWikiTextEdit::SelectionToLink(const QString& aText, int aStart, int aLength)
{
    if (aLength > 0 && aText.at(aStart + aLength - 1) == QLatin1Char(' '))
        --aLength;
    if (aLength <= 0)
        return std::nullopt;
    return aText.left(aStart) + QStringLiteral("[[") + aText.mid(aStart, aLength) + QStringLiteral("]]") +
           aText.mid(aStart + aLength);
}

void CVexilWikiTextEdit::SelToLinkClicked()
{
    const QTextCursor selection = fWikiText->textCursor();
    const int start = selection.selectionStart();
    const std::optional<QString> text = SelectionToLink(EditText(), start, selection.selectionEnd() - start);
    if (!text)
        return;
    fWikiText->setPlainText(*text);
}

void CVexilWikiTextEdit::SaveClicked()
{
    if (!iTarget.InStack())
    {
        UnloadForm();
        return;
    }
    const TControlRef& field = iTarget.Control();
    if (field->Flag(EConReadOnly))
    {
        if (IVexilPrompts* prompts = CVexilPrompts::Current())
            prompts->Notice(QStringLiteral("Read-only!"));
        return;
    }
    gStackView->SetValue(iTarget.Card(), field->Id(), iTarget.Value(EditText()));
    UnloadForm();
}

void CVexilWikiTextEdit::ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& /*aObj1*/)
{
    Guarded([&] {
        if (iTarget.LostBy(aEvent, aObj0))
            UnloadForm();
    });
}
