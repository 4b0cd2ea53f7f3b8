#pragma once

// The program running on a stack of three "Person" cards Anna, Bert and Cleo: a Name (the card
// name), a Note and two command fields shown as buttons, "Go Next" (Next Card) and "Go Home"
// (Go to Card by Name, to Anna). The main window is active; the card window shows Anna.

#include "CardWindowUser.h"
#include "ProgramFixture.h"

class CommandsProgram : public ProgramFixture
{
protected:
    void SetUp() override
    {
        Start({SaveStack()});
        ASSERT_NE(gStack, nullptr);
        CardWindowUser::Activate(Frame());
        ASSERT_EQ(CurCardName(), QStringLiteral("Anna"));
    }

    QString SaveStack() const
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Club"));
        const TControlSetRef person = stack->Background(0);
        person->SetName(QStringLiteral("Person"));
        auto add = [&](const QString& aName, int32_t aType, int32_t aFlags) {
            return ShownField(*stack, *person, aName, aType, aFlags);
        };
        const TControlRef name = add(QStringLiteral("Name"), EConTypeText, EConCardName);
        add(QStringLiteral("Note"), EConTypeText, 0);
        add(QStringLiteral("Go Next"), EConTypeCommand, EConAsButton | EConStdCmd)->SetStdCmd(EStdCmdNextCard);
        const TControlRef home = add(QStringLiteral("Go Home"), EConTypeCommand, EConAsButton | EConStdCmd);
        home->SetStdCmd(EStdCmdGoToCard);
        for (const char* card : {"Anna", "Bert", "Cleo"})
            NewCard(*stack, QLatin1String(card), person)->SetControlVal(name->Id(), Val::Str(QLatin1String(card)));
        TCardRef anna;
        stack->GetCard(QStringLiteral("Anna"), anna);
        home->SetDestCardId(anna->Id());

        return SaveInFolder(stack, QStringLiteral("Club.Quorvan"));
    }

    static TControlRef Field(const QString& aName)
    {
        TControlRef field;
        EXPECT_TRUE(gStack->Background(0)->GetControlByName(aName, field)) << aName.toStdString();
        return field;
    }
    static QAbstractButton* Button(const QString& aName)
    {
        return qobject_cast<QAbstractButton*>(Field(aName)->BaseControl());
    }
    static QString CurCardName()
    {
        const TCardRef card = gStackView ? gStackView->CurCard() : nullptr;
        return card ? card->Name() : QString();
    }
    // The card window's widgets the user sees: every visible pool widget.
    static int VisibleWidgets()
    {
        int visible = 0;
        for (const QWidget* widget : CardWindow()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (widget->isVisible())
                ++visible;
        return visible;
    }
};
