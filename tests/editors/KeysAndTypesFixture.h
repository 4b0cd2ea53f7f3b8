#pragma once

// The sort key and value type editors on a stack opened as the program opens a stack file,
// beside the field editor of ControlEditFixture (whose helpers for the user's picks, keys and
// clicks and for the stored values it keeps). Each test opens its own stack. A window that
// records the broadcasts it receives stands for the other windows of the program.

#include "ControlEditFixture.h"
#include "editors/VexilSortKeyEdit1.h"
#include "editors/VexilValueEdit.h"
#include "foundation/VexilLib.h"
#include "model/VexilSortKey.h"
#include "model/VexilWinManLink.h"

#include <QStringList>

#include <functional>

// Records every broadcast as "<event>" or "<event> <name of the first object>".
class RecordingWindow final : public CVexilForm
{
public:
    // A managed name of a window that the tests do not show otherwise.
    static inline const QString KClassName = QStringLiteral("CVexilStackEdit");

    static void Load()
    {
        Heard().clear();
        During() = nullptr;
        CVexilFormRegistry::Register(KClassName, [] { return new RecordingWindow; });
        CVexilWinMan::NameToForm(KClassName);
    }
    static QStringList& Heard()
    {
        static QStringList heard;
        return heard;
    }

    // Runs in each broadcast after it was recorded: what the user does while a window waits
    // for the others to hear its change.
    static std::function<void(int32_t aEvent)>& During()
    {
        static std::function<void(int32_t)> during;
        return during;
    }

    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& /*aObj1*/) override
    {
        QString line = QString::number(aEvent);
        if (const auto* named = dynamic_cast<const IVexilBaseObj*>(aObj0.get()))
            line += QLatin1Char(' ') + named->Name();
        Heard() += line;
        if (During())
            During()(aEvent);
    }
};

class KeysAndTypesFixture : public ControlEditFixture
{
protected:
    static void SetUpTestSuite()
    {
        ControlEditFixture::SetUpTestSuite();
        CVexilSortKeyEdit1::Register();
        CVexilValueEdit::Register();
    }

    // Each test opens its stack itself.
    void SetUp() override {}

    void TearDown() override
    {
        for (const QString& name : {CVexilSortKeyEdit1::KClassName, CVexilValueEdit::KClassName,
                                    RecordingWindow::KClassName})
            CVexilFormRegistry::Unload(name);
        ControlEditFixture::TearDown();
    }

    // A sort key of the background with parts (field, way) of their fields' widths.
    static TSortKeyRef AddKey(CVexilStack& aStack, const CVexilControlSet& aBackground, const QString& aName,
                              const std::vector<std::pair<TControlRef, int32_t>>& aParts)
    {
        auto key = std::make_shared<CVexilSortKey>();
        key->Contruct(aStack.IdGen().NextId(), aName, aBackground.Id());
        for (const auto& [field, way] : aParts)
            key->AddKeyPart(field->ConType(), field->Id(), way, CVexilLib::SortKeyLen(*field));
        aStack.AddSortKey(key);
        return key;
    }

    // A window of the program, shown and active.
    template <class T>
    static T* Window(const QString& aClassName)
    {
        auto* window = static_cast<T*>(CVexilWinMan::NameToForm(aClassName));
        if (!window->isVisible())
        {
            CVexilWinMan::ShowForm(*window);
            EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        }
        return window;
    }
    static CVexilSortKeyEdit1* KeyEditor() { return Window<CVexilSortKeyEdit1>(CVexilSortKeyEdit1::KClassName); }
    static CVexilValueEdit* ValueEditor() { return Window<CVexilValueEdit>(CVexilValueEdit::KClassName); }

    // The background's key of that name in the current stack, or none.
    static TSortKeyRef Key(const QString& aName, const TControlSetRef& aBackground = Item())
    {
        TSortKeyRef key;
        return gStack->GetSortKeyByName(aBackground->Id(), aName, key) ? key : nullptr;
    }
    // The key's parts as "field way len@pos", the field by its name ("?" for none).
    static QStringList Parts(const CVexilSortKey& aKey, const TControlSetRef& aBackground = Item())
    {
        QStringList parts;
        TKeyPart part;
        int32_t cursor = 0;
        for (bool more = aKey.GetFirstKeyPart(part, cursor); more; more = aKey.GetNextKeyPart(part, cursor))
        {
            TControlRef field;
            const QString name = aBackground->GetControl(part.ControlId, field) ? field->Name() : QStringLiteral("?");
            parts += QStringLiteral("%1 %2 %3@%4").arg(name).arg(part.Way).arg(part.Len).arg(part.Pos);
        }
        return parts;
    }

    // The names of all cards in stack order.
    static QStringList StackOrder()
    {
        QStringList names;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = gStack->GetFirstCard(card, cursor); more; more = gStack->GetNextCard(card, cursor))
            names += card->Name();
        return names;
    }

    // The focused control of the window, by name.
    static QString FocusName()
    {
        const QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }
};
