#include "platform/VexilMsgForm.h"

#include "foundation/VexilMsg.h"
#include "platform/VexilDivImages.h"
#include "platform/VexilLowLevelUi.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

namespace
{
// Layout in twips; a pixel is 15 twips.
constexpr int kTwipsPerPixel = 15;
constexpr int Px(int aTwips)
{
    return (aTwips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}
constexpr int kButtonTop = 1020;
constexpr int kButtonWidth = 1275;
constexpr int kButtonHeight = 375;

}  // namespace

CVexilMsgForm::CVexilMsgForm(QWidget* aOwner) : QDialog(aOwner)
{
    setObjectName(QStringLiteral("CVexilMsgForm"));
    setWindowTitle(QStringLiteral("Quorvans"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(Px(6300), Px(1512));
    setModal(true);

    fClass = new QLabel(this);
    fClass->setObjectName(QStringLiteral("fClass"));
    fClass->setGeometry(Px(60), Px(120), Px(615), Px(615));
    fClass->setAlignment(Qt::AlignCenter);

    fText = new QTextEdit(this);
    fText->setObjectName(QStringLiteral("fText"));
    fText->setGeometry(Px(780), Px(120), Px(5412), Px(672));
    fText->setReadOnly(true);
    fText->setAcceptRichText(false);
    fText->setFocusPolicy(Qt::ClickFocus);

    fYes = AddButton(QStringLiteral("fYes"), QStringLiteral("Yes"), 900);
    fNo = AddButton(QStringLiteral("fNo"), QStringLiteral("No"), 2280);
    fHelp0 = AddButton(QStringLiteral("fHelp0"), QStringLiteral("Help"), 3660);
    fOk = AddButton(QStringLiteral("fOk"), QStringLiteral("OK"), 1680);
    fHelp1 = AddButton(QStringLiteral("fHelp1"), QStringLiteral("Help"), 3060);

    connect(fYes, &QPushButton::clicked, this, [this] { Answered(true); });
    connect(fNo, &QPushButton::clicked, this, [this] { Answered(false); });
    connect(fOk, &QPushButton::clicked, this, [this] { Answered(false); });
    for (QPushButton* help : {fHelp0, fHelp1})
        connect(help, &QPushButton::clicked, this, [this] { CVexilLowLevelUi::ShowHelp(objectName()); });
}

QPushButton* CVexilMsgForm::AddButton(const QString& aName, const QString& aCaption, int aLeftTwips)
{
    auto* button = new QPushButton(aCaption, this);
    button->setObjectName(aName);
    button->setGeometry(Px(aLeftTwips), Px(kButtonTop), Px(kButtonWidth), Px(kButtonHeight));
    // Only the designated button answers Enter, whichever button has the focus.
    button->setAutoDefault(false);
    return button;
}

bool CVexilMsgForm::Present(const TMsgPrompt& aPrompt)
{
    SetClass(aPrompt.Class);
    SetText(aPrompt.Text);
    iAnswer = false;
    if (!iPlaced)
        CVexilLowLevelUi::CentreOnOwner(*this);
    iPlaced = true;
    exec();
    return iAnswer;
}

void CVexilMsgForm::SetClass(int32_t aClass)
{
    // A class without a picture of its own shows the one of Info.
    const QString key = CVexilMsg::ClassKey(aClass);
    const QImage& picture = CVexilDivImages::Images().Picture(key.isEmpty() ? CVexilMsg::ClassKey(EMsgClsInfo) : key);
    fClass->setPixmap(QPixmap::fromImage(picture));
    const bool question = aClass == EMsgClsQuestion;
    fYes->setVisible(question);
    fNo->setVisible(question);
    fHelp0->setVisible(question);
    fOk->setVisible(!question);
    fHelp1->setVisible(!question);
    // The negative or the only answer is the designated button.
    QPushButton* designated = question ? fNo : fOk;
    fNo->setDefault(question);
    fOk->setDefault(!question);
    designated->setFocus();
}

void CVexilMsgForm::SetText(const QString& aText)
{
    QString text = aText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    fText->setPlainText(text);
}

void CVexilMsgForm::Answered(bool aAnswer)
{
    iAnswer = aAnswer;
    accept();
}

void CVexilMsgForm::closeEvent(QCloseEvent* aEvent)
{
    // Closed through the title bar: the answer stays False and the next showing is placed anew.
    iAnswer = false;
    iPlaced = false;
    QDialog::closeEvent(aEvent);
}
