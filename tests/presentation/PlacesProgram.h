#pragma once

// The program running on a stack of places: "City" cards with a name, a country, a population
// (a Real with one digit), a founding date and a photo, and one "Note" card. Zurich's photo is
// a 300 x 150 PNG with the data of its file; Bern's has no size stored; Geneva's bytes are no
// picture. The search window and the picture viewer are opened as the user opens them.

#include "ProgramFixture.h"
#include "CardWindowUser.h"
#include "PictureBytes.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlobStore.h"
#include "platform/VexilFormRegistry.h"

#include <QDate>
#include <QTime>

class PlacesProgram : public ProgramFixture
{
protected:
    static inline const QString kZurichFile = QStringLiteral("/home/anna/pictures/zurich.png");
    static inline const QDate kZurichDate{2024, 3, 7};
    static inline const QTime kZurichTime{14, 5, 9};

    void SetUp() override
    {
        Start({SaveStack()});
        ASSERT_NE(gStack, nullptr);
        CardWindowUser::Activate(Frame());
    }

    static TControlRef AddField(CVexilStack& aStack, CVexilControlSet& aBackground, const QString& aName,
                                int32_t aType, int32_t aFlags = 0)
    {
        const TControlRef field = NewField(aStack, aBackground, aName, aType);
        field->SetFlags(EConInCardView | aFlags);
        field->SetLabel(aName);
        field->SetVisLines(aType == EConTypePicture ? 4 : 1);
        field->SetVisChar(20);
        return field;
    }

    static TBlobRef AddPicture(CVexilStack& aStack, const QByteArray& aBytes, int16_t aWidth, int16_t aHeight)
    {
        const TBlobRef blob = NewBlob(aStack, aBytes);
        blob->SetWidth(aWidth);
        blob->SetHeight(aHeight);
        blob->SetMimeType(QStringLiteral("image/png"));
        return blob;
    }

    QString SaveStack() const
    {
        auto stack = std::make_shared<CVexilStack>();
        stack->Construct(QStringLiteral("Places"));
        const TControlSetRef city = stack->Background(0);
        city->SetName(QStringLiteral("City"));
        const TControlRef name = AddField(*stack, *city, QStringLiteral("Name"), EConTypeText, EConCardName);
        const TControlRef country = AddField(*stack, *city, QStringLiteral("Country"), EConTypeText);
        const TControlRef population = AddField(*stack, *city, QStringLiteral("Population"), EConTypeReal);
        population->SetDigits(1);
        const TControlRef founded = AddField(*stack, *city, QStringLiteral("Founded"), EConTypeDate);
        const TControlRef photo = AddField(*stack, *city, QStringLiteral("Photo"), EConTypePicture);
        const TControlSetRef noteBackground = NewBackground(*stack, QStringLiteral("Note"));
        const TControlRef text = AddField(*stack, *noteBackground, QStringLiteral("Text"), EConTypeText);

        const TBlobRef zurichPhoto = AddPicture(*stack, QtPictureBytes(QuarterImage(300, 150), "PNG"), 300, 150);
        zurichPhoto->SetFilename(kZurichFile);
        zurichPhoto->SetFileDate(CVexilValue::FromQDate(kZurichDate));
        zurichPhoto->SetFileTime(CVexilValue::FromQTime(kZurichTime));
        const TBlobRef bernPhoto = AddPicture(*stack, QtPictureBytes(QuarterImage(40, 40), "PNG"), UndefInt, UndefInt);
        const TBlobRef genevaPhoto = AddPicture(*stack, QByteArray("no picture at all"), 10, 10);

        struct TCity
        {
            const char* Name;
            const char* Country;
            double Population;
            QDate Founded;
            int32_t Photo;
        };
        for (const TCity& place : {TCity{"Zurich", "Switzerland", 415367.5, {1218, 1, 1}, zurichPhoto->Id()},
                                   TCity{"Bern", "Switzerland", 134591, {1191, 4, 1}, bernPhoto->Id()},
                                   TCity{"Geneva", "Switzerland (Genève)", 203856, {1536, 5, 21}, genevaPhoto->Id()},
                                   TCity{"Oslo", "Norway", 709037, {1048, 6, 1}, UndefLong}})
        {
            const TCardRef card = NewCard(*stack, QLatin1String(place.Name), city);
            card->SetControlVal(name->Id(), Val::Str(QLatin1String(place.Name)));
            card->SetControlVal(country->Id(), Val::Str(QString::fromUtf8(place.Country)));
            card->SetControlVal(population->Id(), Val::Real(place.Population));
            card->SetControlVal(founded->Id(), Val::Date(place.Founded));
            if (place.Photo != UndefLong)
                card->SetControlVal(photo->Id(), Val::Blob(place.Photo));
        }
        const TCardRef memo = NewCard(*stack, QStringLiteral("Memo"), noteBackground);
        memo->SetControlVal(text->Id(), Val::Str(QStringLiteral("Trip to Zurich")));

        return SaveInFolder(stack, QStringLiteral("Places.Quorvan"));
    }

    static TCardRef Card(const QString& aName)
    {
        TCardRef card;
        gStack->GetCard(aName, card);
        return card;
    }
    static TControlSetRef Background(const QString& aName)
    {
        TControlSetRef background;
        gStack->GetBackgroundByName(aName, background);
        return background;
    }
    static QString CurCardName()
    {
        const TCardRef card = gStackView ? gStackView->CurCard() : nullptr;
        return card ? card->Name() : QString();
    }
};
