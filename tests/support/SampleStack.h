#pragma once

// A stack that shows every kind of field, for tests and pictures of the windows: the
// background "Person" with a card name, an Integer, a Real, a Date, a Time, a Boolean, a wiki
// text, a picture and a "Go Next" button (standard command Next Card), and three cards.

#include "PictureBytes.h"
#include "StackBuild.h"
#include "ValueBuild.h"

#include <QDate>
#include <QTime>

namespace SampleStack
{
inline TControlRef AddField(CVexilStack& aStack, CVexilControlSet& aBackground, const QString& aName, int32_t aType,
                            int32_t aFlags = 0, int16_t aVisChar = 20, int16_t aVisLines = 1)
{
    const TControlRef field = NewField(aStack, aBackground, aName, aType);
    field->SetFlags(EConInCardView | aFlags);
    field->SetLabel(aName);
    field->SetVisLines(aVisLines);
    field->SetVisChar(aVisChar);
    return field;
}

// Saves the stack as aPath (binary form) and returns the path in native separators.
inline QString Save(const QString& aPath)
{
    auto stack = std::make_shared<CVexilStack>();
    stack->Construct(QStringLiteral("Sample"));
    const TControlSetRef person = stack->Background(0);
    person->SetName(QStringLiteral("Person"));
    person->SetFlags(person->Flags() | ECseShowCardName);
    const TControlRef name = AddField(*stack, *person, QStringLiteral("Name"), EConTypeText, EConCardName);
    const TControlRef age = AddField(*stack, *person, QStringLiteral("Age"), EConTypeInteger, 0, 6);
    const TControlRef height = AddField(*stack, *person, QStringLiteral("Height"), EConTypeReal, 0, 8);
    height->SetDigits(2);
    const TControlRef born = AddField(*stack, *person, QStringLiteral("Born"), EConTypeDate, 0, 10);
    const TControlRef wakes = AddField(*stack, *person, QStringLiteral("Wakes"), EConTypeTime, 0, 8);
    const TControlRef member = AddField(*stack, *person, QStringLiteral("Member"), EConTypeBoolean);
    const TControlRef notes = AddField(*stack, *person, QStringLiteral("Notes"), EConTypeText, EConWikiText, 30, 3);
    const TControlRef photo = AddField(*stack, *person, QStringLiteral("Photo"), EConTypePicture, 0, 12, 4);
    const TControlRef next = AddField(*stack, *person, QStringLiteral("Go Next"), EConTypeCommand,
                                      EConAsButton | EConStdCmd | EConInMenu, UndefInt);
    next->SetStdCmd(2);
    const TBlobRef picture = NewBlob(*stack, QtPictureBytes(QuarterImage(120, 90), "PNG"));
    picture->SetWidth(120);
    picture->SetHeight(90);
    picture->SetMimeType(QStringLiteral("image/png"));

    struct TPerson
    {
        const char* Name;
        int32_t Age;
        double Height;
        QDate Born;
        QTime Wakes;
        bool Member;
        const char* Notes;
    };
    for (const TPerson& one : {TPerson{"Anna", 34, 1.68, {1990, 5, 12}, {6, 30, 0}, true, "**Anna** likes //maps//."},
                               TPerson{"Bert", 61, 1.82, {1963, 12, 28}, {7, 45, 15}, false, "Bert's notes"},
                               TPerson{"Cleo", 8, 1.21, {2016, 9, 3}, {7, 0, 0}, true, ""}})
    {
        const TCardRef card = NewCard(*stack, QLatin1String(one.Name), person);
        card->SetControlVal(name->Id(), Val::Str(QLatin1String(one.Name)));
        card->SetControlVal(age->Id(), Val::Int(one.Age));
        card->SetControlVal(height->Id(), Val::Real(one.Height));
        card->SetControlVal(born->Id(), Val::Date(one.Born));
        card->SetControlVal(wakes->Id(), Val::Time(one.Wakes));
        card->SetControlVal(member->Id(), Val::Bool(one.Member));
        card->SetControlVal(notes->Id(), Val::Str(QLatin1String(one.Notes)));
        if (card->Name() == QLatin1String("Anna"))
            card->SetControlVal(photo->Id(), Val::Blob(picture->Id()));
    }
    stack->SetFlags(stack->Flags() | EStkBinary);
    return SaveStackFile(stack, aPath);
}
}  // namespace SampleStack
