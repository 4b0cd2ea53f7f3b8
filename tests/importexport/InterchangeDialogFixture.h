#pragma once

// The CSV and export dialogs on real widgets: a temporary registry, the program's window
// classes, a current stack with windows, and an import dialog stand-in that names the target.

#include "../shell/DialogUser.h"
#include "QStringPrinter.h"
#include "ScriptedPrompts.h"
#include "StackBuild.h"
#include "TestEnv.h"
#include "TestFiles.h"

#include "app/VexilWindowClasses.h"
#include "foundation/VexilMsg.h"
#include "importexport/VexilImportTarget.h"
#include "model/VexilStackFile.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilStackView.h"
#include "shell/VexilNewStackForm.h"
#include "shell/VexilStackCmds.h"

#include <vector>

// Stands in for the import dialog: into the current stack or not, and the chosen background.
class TargetForm : public CVexilForm, public IVexilImportTarget
{
public:
    static inline const QString KClassName = QStringLiteral("CVexilImportOptions");
    bool IntoCurStack() const override { return Into(); }
    TControlSetRef TargetBackground() const override { return Chosen(); }
    static bool& Into()
    {
        static bool into = false;
        return into;
    }
    static TControlSetRef& Chosen()
    {
        static TControlSetRef chosen;
        return chosen;
    }
};

class InterchangeDialogTest : public DialogTest
{
protected:
    static void SetUpTestSuite()
    {
        DialogTest::SetUpTestSuite();
        CVexilCardWidgets::Start();
        CVexilStackCmds::Install();
        RegisterWindowClasses();
        CVexilProgramWindows::Install();
        CVexilFormRegistry::Register(TargetForm::KClassName, [] { return new TargetForm; });
    }
    void TearDown() override
    {
        TargetForm::Chosen().reset();
        TargetForm::Into() = false;
        CVexilNewStack::DropCurrent();
        DialogTest::TearDown();
    }

    // A current stack with its windows: the background "People" with the fields Name and Age
    // and the cards Start (made with the stack), Ann and Bob; it saves in the XML form.
    static TControlSetRef OpenPeople()
    {
        CVexilNewStack::MakeCurrent({QString(), QStringLiteral("People"), QStringLiteral("Start")});
        gStack->SetFlags(0);
        TControlSetRef people;
        int32_t cursor = 0;
        gStack->GetFirstBackground(people, cursor);
        const TControlRef name = NewField(*gStack, *people, QStringLiteral("Name"), EConTypeText);
        const TControlRef age = NewField(*gStack, *people, QStringLiteral("Age"), EConTypeInteger);
        for (const auto& [who, years] : {std::pair{"Ann", 31}, std::pair{"Bob", 42}})
        {
            const TCardRef card = NewCard(*gStack, QLatin1String(who), people);
            TValue text;
            text.iType = EValStr;
            text.iStr = QLatin1String(who);
            card->SetControlVal(name->Id(), text);
            TValue number;
            number.iType = EValInt;
            number.iInt = years;
            card->SetControlVal(age->Id(), number);
        }
        return people;
    }

    // The current stack's XML form.
    QByteArray StackXml()
    {
        const QString file = iDir.File(QStringLiteral("snapshot.Quorvan"));
        CVexilStackFile stackFile;
        stackFile.Construct(file);
        stackFile.SaveStack(gStack, gStackView->Rec());
        return FileContent(file);
    }

    static std::vector<int32_t> MessageIds()
    {
        std::vector<int32_t> ids;
        for (const TMsgPrompt& prompt : ScriptedPrompts::Instance().Messages())
            ids.push_back(prompt.Id);
        return ids;
    }

    TempDir iDir;
};
