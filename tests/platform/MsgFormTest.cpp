#include "ModalBox.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "foundation/VexilMsg.h"
#include "platform/VexilDivImages.h"
#include "platform/VexilMsgForm.h"
#include "platform/VexilWidgetPrompts.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace
{
QStringList VisibleButtons(QDialog& aBox)
{
    QStringList names;
    for (const char* name : {"fYes", "fNo", "fHelp0", "fOk", "fHelp1"})
        if (Button(aBox, name)->isVisible())
            names << QLatin1String(name);
    return names;
}

TMsgPrompt Prompt(int32_t aClass, const QString& aText = QStringLiteral("Delete card 'Anna'?"))
{
    return TMsgPrompt{EMsgDeleteCardOk, aClass, QStringLiteral("EMsgDeleteCardOk"), aText, {}};
}
}  // namespace

TEST(MsgForm, ButtonsAndAnswerPerClass)
{
    struct TCase
    {
        int32_t Class;
        QStringList Visible;
        const char* Designated;
        const char* Clicked;
        bool Answer;
    };
    const QStringList question{"fYes", "fNo", "fHelp0"};
    const QStringList other{"fOk", "fHelp1"};
    const TCase cases[] = {
        {EMsgClsQuestion, question, "fNo", "fYes", true},
        {EMsgClsQuestion, question, "fNo", "fNo", false},
        {EMsgClsCritical, other, "fOk", "fOk", false},
        {EMsgClsExclamation, other, "fOk", "fOk", false},
        {EMsgClsInfo, other, "fOk", "fOk", false},
    };
    // The class pictures come from the main window's image list of message icons.
    const CVexilImageList& icons = CVexilDivImages::Images();
    ASSERT_EQ(icons.Count(), 4);
    EXPECT_EQ(QStringList({icons.Key(0), icons.Key(1), icons.Key(2), icons.Key(3)}),
              QStringList({"Critical", "Exclamation", "Question", "Info"}));
    constexpr QImage::Format kArgb = QImage::Format_ARGB32;
    // One box for all cases, as in the program: it is hidden after each answer and shown again.
    CVexilMsgForm form;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Class);
        WhenShown([&](QDialog& aBox) {
            EXPECT_EQ(&aBox, &form);
            EXPECT_EQ(aBox.windowTitle(), QStringLiteral("Quorvans"));
            EXPECT_EQ(VisibleButtons(aBox), c.Visible);
            EXPECT_TRUE(Button(aBox, c.Designated)->isDefault());
            EXPECT_FALSE(aBox.findChild<QLabel*>(QStringLiteral("fClass"))->pixmap().isNull());
            EXPECT_EQ(aBox.findChild<QLabel*>(QStringLiteral("fClass"))->pixmap().toImage().convertToFormat(kArgb),
                      CVexilDivImages::Images().Picture(CVexilMsg::ClassKey(c.Class)).convertToFormat(kArgb));
            EXPECT_EQ(aBox.findChild<QTextEdit*>(QStringLiteral("fText"))->toPlainText(),
                      QStringLiteral("Delete card 'Anna'?"));
            Click(c.Clicked)(aBox);
        });
        EXPECT_EQ(form.Present(Prompt(c.Class)), c.Answer);
        EXPECT_FALSE(form.isVisible());
    }
}

TEST(MsgForm, EnterPressesTheDesignatedButtonAndHelpKeepsTheBoxOpen)
{
    CVexilMsgForm form;
    // Enter answers No even when Yes has the focus.
    WhenShown([](QDialog& aBox) {
        Button(aBox, "fYes")->setFocus();
        QTest::keyClick(Button(aBox, "fYes"), Qt::Key_Return);
    });
    EXPECT_FALSE(form.Present(Prompt(EMsgClsQuestion)));

    // No help collection lies beside the test program: Help says so, and the box stays.
    ScriptedPrompts::Instance().ExpectNotice();
    WhenShown([](QDialog& aBox) {
        Click("fHelp0")(aBox);
        EXPECT_TRUE(aBox.isVisible());
        Click("fYes")(aBox);
    });
    EXPECT_TRUE(form.Present(Prompt(EMsgClsQuestion)));
    EXPECT_EQ(ScriptedPrompts::Instance().Notices().size(), 1);
}

TEST(MsgForm, ClosingByTheTitleBarOrEscapeAnswersNo)
{
    CVexilMsgForm form;
    // A Yes of an earlier showing does not carry over.
    WhenShown(Click("fYes"));
    EXPECT_TRUE(form.Present(Prompt(EMsgClsQuestion)));
    for (const TAction& dismiss : {TAction([](QDialog& aBox) { aBox.close(); }),
                                   TAction([](QDialog& aBox) { QTest::keyClick(&aBox, Qt::Key_Escape); })})
    {
        WhenShown(dismiss);
        EXPECT_FALSE(form.Present(Prompt(EMsgClsQuestion)));
        EXPECT_FALSE(form.Answer());
    }
}

TEST(MsgForm, TextIsShownPlainWithItsLineBreaks)
{
    CVexilMsgForm form;
    WhenShown([](QDialog& aBox) {
        auto* text = aBox.findChild<QTextEdit*>(QStringLiteral("fText"));
        EXPECT_EQ(text->toPlainText(), QStringLiteral("<b>a</b>\nb.qvn"));
        EXPECT_TRUE(text->isReadOnly());
        Click("fOk")(aBox);
    });
    form.Present(Prompt(EMsgClsCritical, QStringLiteral("<b>a</b>\r\nb.qvn")));
}

TEST(MsgForm, ShowReachesTheBoxThroughTheWidgetPrompts)
{
    WidgetPromptsScope scope;
    QWidget main;
    main.setGeometry(100, 80, 800, 600);
    main.show();
    scope.Prompts().SetMainWindow(&main);

    QPoint firstPos;
    WhenShown([&](QDialog& aBox) {
        EXPECT_EQ(aBox.parentWidget(), &main);
        EXPECT_EQ(aBox.findChild<QTextEdit*>(QStringLiteral("fText"))->toPlainText(),
                  QStringLiteral("Delete card 'Anna'?"));
        // Centred over the main window when loaded.
        EXPECT_EQ(aBox.frameGeometry().center(), main.frameGeometry().center());
        firstPos = aBox.pos();
        aBox.move(firstPos + QPoint(30, 20));
        Click("fYes")(aBox);
    });
    EXPECT_TRUE(CVexilMsg::Ask(EMsgDeleteCardOk, EMsgClsQuestion, QStringLiteral("Anna"), CVexilMsg::Undef));

    // Hidden after an answer, it shows again where it stood; closed, it is centred again.
    WhenShown([&](QDialog& aBox) {
        EXPECT_EQ(aBox.pos(), firstPos + QPoint(30, 20));
        aBox.close();
    });
    EXPECT_FALSE(CVexilMsg::Ask(EMsgDeleteCardOk, EMsgClsQuestion, QStringLiteral("Anna"), CVexilMsg::Undef));
    WhenShown([&](QDialog& aBox) {
        EXPECT_EQ(aBox.pos(), firstPos);
        Click("fOk")(aBox);
    });
    CVexilMsg::Show(EMsgEmptyFile, EMsgClsExclamation);
    EXPECT_EQ(CVexilMsg::LastMsgName(), QStringLiteral("EMsgEmptyFile"));
}

TEST(MsgForm, AMessageRaisedWhileTheBoxShowsGetsABoxOfItsOwn)
{
    WidgetPromptsScope scope;
    QDialog* inner = nullptr;
    WhenShown([&](QDialog& aOuter) {
        WhenShown([&](QDialog& aInner) {
            inner = &aInner;
            EXPECT_EQ(aInner.findChild<QTextEdit*>(QStringLiteral("fText"))->toPlainText(),
                      QStringLiteral("The file is empty."));
            Click("fOk")(aInner);
        });
        CVexilMsg::Show(EMsgEmptyFile, EMsgClsExclamation);
        EXPECT_NE(inner, &aOuter);
        EXPECT_TRUE(aOuter.isVisible());
        EXPECT_TRUE(Button(aOuter, "fYes")->isVisible());
        Click("fYes")(aOuter);
    });
    EXPECT_TRUE(CVexilMsg::Ask(EMsgDeleteCardOk, EMsgClsQuestion, QStringLiteral("Anna"), CVexilMsg::Undef));
    EXPECT_NE(inner, nullptr);
}
