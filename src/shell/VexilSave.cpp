#include "shell/VexilSave.h"

#include "platform/VexilLowLevelUi.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace
{
// Layout in twips; a pixel is 15 twips.
constexpr int kTwipsPerPixel = 15;
constexpr int Px(int aTwips)
{
    return (aTwips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}
constexpr int kIconSide = 480;
constexpr int kButtonTop = 960;
constexpr int kButtonWidth = 1455;
constexpr int kButtonHeight = 375;
}  // namespace

CVexilSave::CVexilSave(QWidget* aOwner) : QDialog(aOwner)
{
    setObjectName(QStringLiteral("CVexilSave"));
    setWindowTitle(QStringLiteral("Save Changes?"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(Px(5400), Px(1500));
    setModal(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Px(240), Px(120), Px(kIconSide), Px(kIconSide));
    Image1->setPixmap(style()
                          ->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this)
                          .pixmap(Px(kIconSide), Px(kIconSide)));

    Label1 = new QLabel(
        QStringLiteral("The current stack has unsaved changes. What do you want to do with the changes?"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Px(960), Px(120), Px(4200), Px(600));
    Label1->setWordWrap(true);

    // Created left to right, which is also their tab order.
    fSaveBut = AddButton(QStringLiteral("fSaveBut"), QStringLiteral("Save"), 390, EAnswerSave);
    fDiscardBut = AddButton(QStringLiteral("fDiscardBut"), QStringLiteral("Discard"), 1965, EAnswerDiscard);
    fBackBut = AddButton(QStringLiteral("fBackBut"), QStringLiteral("Back to Stack"), 3540, EAnswerBack);
}

QPushButton* CVexilSave::AddButton(const QString& aName, const QString& aCaption, int aLeftTwips, int16_t aAnswer)
{
    auto* button = new QPushButton(aCaption, this);
    button->setObjectName(aName);
    button->setGeometry(Px(aLeftTwips), Px(kButtonTop), Px(kButtonWidth), Px(kButtonHeight));
    // Enter must not answer for the user: no button is the default, not even the focused one.
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, aAnswer] {
        iDialogRes = aAnswer;
        accept();
    });
    return button;
}

int16_t CVexilSave::Present()
{
    // The close box and Escape reject without touching the answer: they must not repeat the
    // answer of an earlier showing.
    iDialogRes = EAnswerBack;
    CVexilLowLevelUi::CentreOnOwner(*this);
    exec();
    return iDialogRes;
}

int16_t CVexilSave::Ask(QWidget* aOwner)
{
    CVexilSave prompt(aOwner);
    return prompt.Present();
}
