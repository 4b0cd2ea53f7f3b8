#pragma once

// What the import tests share: a stack described as text, its XML form, a clock and a
// recorder of the change broadcast.

#include "../model/StackFixture.h"
#include "StoredForms.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackViewRec.h"

// The fields of the first background ("name:type") and every card with its values in the
// neutral text form, "~" for none, one line each.
inline QString Describe(CVexilStack& aStack)
{
    QStringList lines;
    TControlSetRef background;
    int32_t cursor = 0;
    for (bool more = aStack.GetFirstBackground(background, cursor); more; more = aStack.GetNextBackground(background, cursor))
    {
        QStringList fields;
        TControlRef field;
        int32_t fieldCursor = 0;
        for (bool f = background->GetFirstControl(field, fieldCursor); f; f = background->GetNextControl(field, fieldCursor))
            fields.append(field->Name() + u':' + field->TypeStr());
        lines.append(background->Name() + QStringLiteral(": ") + fields.join(u' '));
    }
    TCardRef card;
    for (bool more = aStack.GetFirstCard(card, cursor); more; more = aStack.GetNextCard(card, cursor))
    {
        QStringList values;
        TControlRef field;
        int32_t fieldCursor = 0;
        const TControlSetRef cardBackground = card->Background();
        for (bool f = cardBackground->GetFirstControl(field, fieldCursor); f;
             f = cardBackground->GetNextControl(field, fieldCursor))
        {
            TValue value;
            card->GetControlVal(field->Id(), value, false);
            values.append(value.iType == EValUndef ? QStringLiteral("~") : CVexilValue::ValToIntText(value));
        }
        lines.append(card->Name() + QStringLiteral(": ") + values.join(u'|'));
    }
    return lines.join(u'\n');
}

// The stack's XML stack form written to aFileName, to show that a failed import left the
// stack as it was; the stack keeps its flags, file name and Changed.
inline QByteArray StackXmlForm(const TStackRef& aStack, const QString& aFileName)
{
    const int32_t flags = aStack->Flags();
    const bool changed = aStack->Changed();
    const QString fileName = aStack->Filename();
    aStack->SetFlags(flags & ~EStkBinary);
    auto view = std::make_shared<CVexilStackViewRec>();
    view->Contruct(QStringLiteral("View"));
    CVexilStackFile file;
    file.Construct(aFileName);
    file.SaveStack(aStack, view);
    aStack->SetFlags(flags);
    aStack->SetFilename(fileName);
    aStack->SetChanged(changed);
    return FileContent(aFileName);
}

class InterchangeFixture : public StackFixture
{
protected:
    QByteArray XmlForm(const TStackRef& aStack)
    {
        return StackXmlForm(aStack, iDir.File(QStringLiteral("form%1.xml").arg(++iForms)));
    }

    static TStackRef Load(const QString& aFileName)
    {
        TStackRef stack;
        TStackViewRecRef view;
        CVexilStackFile file;
        file.Construct(aFileName);
        file.LoadStack(stack, view);
        return stack;
    }

    QString Write(const QString& aName, const QByteArray& aBytes) { return SetFileContent(iDir.File(aName), aBytes); }

    TempDir iDir;
    int iForms = 0;
};
