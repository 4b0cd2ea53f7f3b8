#pragma once

// A stack that uses every part of both stack file forms: every field type, two backgrounds,
// a kept-sorted key, a card-list field, pictures with a sample, scripts and fonts. With
// helpers to save, load and compare stacks.

#include "StackFixture.h"
#include "StoredForms.h"
#include "foundation/VexilFont.h"
#include "model/VexilBlob.h"
#include "model/VexilBlobStore.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackViewRec.h"

#include <QDir>

class RichStackFixture : public StackFixture
{
protected:
    void SetUp() override
    {
        StackFixture::SetUp();
        iChecksBefore = CVexilBlobStore::ConsistencyChecks();
        CVexilBlobStore::SetConsistencyChecks(true);
        iView = std::make_shared<CVexilStackViewRec>();
        iView->Contruct(QStringLiteral("View"));
    }

    void TearDown() override
    {
        CVexilFileBuffer::FailWriteAfter(0);
        CVexilBlobStore::SetConsistencyChecks(iChecksBefore);
        StackFixture::TearDown();
    }

    static std::shared_ptr<CVexilArray> Script(const QString& aHandler, const QString& aCode)
    {
        auto script = std::make_shared<CVexilArray>();
        script->Construct(EArrStrKey, EValStr);
        TArrayElem elem;
        script->InitElem(elem);
        elem.StrKey = aHandler;
        elem.iVal.iStr = aCode;
        script->CreateStrKey(elem);
        return script;
    }

    static std::shared_ptr<CVexilFont> Font(const QString& aFace, int16_t aSize)
    {
        auto font = std::make_shared<CVexilFont>();
        font->Construct(aFace, aSize, 0x102030);
        return font;
    }

    static QByteArray PictureBytes(int aSize, char aSeed)
    {
        QByteArray bytes(aSize, Qt::Uninitialized);
        for (int i = 0; i < aSize; ++i)
            bytes[i] = char(aSeed + i * 7);
        return bytes;
    }

    // A picture in the stack's store, not yet used by anything.
    TBlobRef AddPicture(int aSize, char aSeed)
    {
        auto blob = std::make_shared<CVexilBlob>();
        blob->Construct(iStack->IdGen().NextId());
        blob->SetName(QStringLiteral("pic%1").arg(blob->Id()));
        blob->SetMimeType(QStringLiteral("image/png"));
        blob->SetBytes(PictureBytes(aSize, aSeed));
        blob->SetChanged(true);
        iStack->BlobStore()->AddBlob(blob);
        return blob;
    }

    // The stack of the fixture filled with everything the files hold.
    void BuildRichStack()
    {
        iStack->SetName(QStringLiteral("Rich"));
        iStack->SetDescr(QStringLiteral("All parts \"quoted\" & <marked>"));
        iStack->SetBackColor(0xC0C0C0);
        iStack->SetScriptSource(QStringLiteral("on openStack\r\n  answer \"hi\"\r\nend openStack"));
        iStack->SetScript(Script(QStringLiteral("openStack"), QStringLiteral("0A0B0C")));
        iStack->SetFont(Font(QStringLiteral("Arial"), 200));
        iStack->SetListFont(Font(QStringLiteral("Courier"), 180));

        iBg->SetName(QStringLiteral("People"));
        iBg->SetScriptSource(QStringLiteral("on openCard\r\nend openCard"));
        iBg->SetScript(Script(QStringLiteral("openCard"), QStringLiteral("0102")));
        iName = AddField(QStringLiteral("Name"), EConTypeText);
        iName->SetFlag(EConCardName, true);
        iName->SetFont(Font(QStringLiteral("Verdana"), 240));
        iAge = AddField(QStringLiteral("Age"), EConTypeInteger);
        iScore = AddField(QStringLiteral("Score"), EConTypeReal);
        iScore->SetDigits(2);
        iBorn = AddField(QStringLiteral("Born"), EConTypeDate);
        iAlarm = AddField(QStringLiteral("Alarm"), EConTypeTime);
        iMember = AddField(QStringLiteral("Member"), EConTypeBoolean);
        iHobbies = AddField(QStringLiteral("Hobbies"), EConTypeList);
        iNext = AddField(QStringLiteral("Next"), EConTypeCommand);
        iNext->SetStdCmd(EStdCmdNextCard);
        iNext->SetScriptSource(QStringLiteral("on select\r\nend select"));
        iNext->SetScript(Script(QStringLiteral("select"), QStringLiteral("0304")));
        iPhoto = AddField(QStringLiteral("Photo"), EConTypePicture);
        iTown = AddField(QStringLiteral("Town"), EConTypeText);
        KeepSorted(iBg, {{EConTypeText, iName->Id(), 0, 8, 0}, {EConTypeInteger, iAge->Id(), 1, 4, 0}});

        iTowns = AddBackground(QStringLiteral("Towns"));
        iTowns->SetFont(Font(QStringLiteral("Georgia"), 220));
        iTownName = AddField(QStringLiteral("TownName"), EConTypeText, iTowns);
        iResidents = AddCardList(QStringLiteral("Residents"), iTowns, iTown, iTownName);
        iStack->SetControlDynFlags();

        iPicture = AddPicture(300, 'p');
        iSample = AddPicture(40, 's');
        iSample->SetOriginalId(iPicture->Id());
        iPicture->SetSampleId(iSample->Id());
        iPicture->IncRefCount();  // the sample's link
        iTowns->SetWallPaperId(iSample->Id());
        iSample->IncRefCount();

        Person(QStringLiteral("Cy"), 50, QStringLiteral("Bern"));
        const TCardRef ann = Person(QStringLiteral("Ann"), 30, QStringLiteral("Bern"));
        ann->SetControlVal(iPhoto->Id(), Val::Blob(iPicture->Id()));
        ann->SetScriptSource(QStringLiteral("on select\r\nend select"));
        ann->SetScript(Script(QStringLiteral("select"), QStringLiteral("FF00")));
        ann->SetFont(Font(QStringLiteral("Tahoma"), 160));
        ann->SetBackColor(0xFF);
        Person(QStringLiteral("Bob"), 40, QStringLiteral("Basel"));
        Town(QStringLiteral("Bern"));
        TCardRef doomed = AddCard(QStringLiteral("Gone"), nullptr, iTowns);
        Town(QStringLiteral("Basel"));
        iStack->DeleteCard(doomed);  // leaves a free slot among the cards
        iStack->SetFlags(EStkBinary | EStkOpenLandscape);
        iStack->SetId(5);
    }

    TCardRef Person(const QString& aName, int32_t aAge, const QString& aTown)
    {
        const TCardRef card = AddCard(aName);
        card->SetControlVal(iName->Id(), Val::Str(aName));
        card->SetControlVal(iAge->Id(), Val::Int(aAge));
        card->SetControlVal(iScore->Id(), Val::Real(aAge / 8.0));
        card->SetControlVal(iBorn->Id(), Val::Date(QDate(2000 - aAge, 2, 29 - aAge / 10)));
        card->SetControlVal(iAlarm->Id(), Val::Time(QTime(7, aAge, 5)));
        card->SetControlVal(iMember->Id(), Val::Bool(aAge > 35));
        card->SetControlVal(iHobbies->Id(), Val::Str(QStringLiteral("Chess\r\nTennis")));
        card->SetControlVal(iTown->Id(), Val::Str(aTown));
        return card;
    }

    TCardRef Town(const QString& aName)
    {
        const TCardRef card = AddCard(aName, nullptr, iTowns);
        card->SetControlVal(iTownName->Id(), Val::Str(aName));
        return card;
    }

    // ---- files

    QString Path(const QString& aName) const { return iDir.File(aName); }

    // Saves the stack as the caller's save commands do: the save-as part sets the file name.
    static void Save(const TStackRef& aStack, const TStackViewRecRef& aView, const QString& aFileName)
    {
        CVexilStackFile file;
        file.Construct(aFileName);
        file.SaveStack(aStack, aView);
        aStack->SetFilename(aFileName);
        aStack->SetChanged(false);
    }

    struct TLoaded
    {
        TStackRef Stack;
        TStackViewRecRef View;
    };

    static TLoaded Load(const QString& aFileName)
    {
        TLoaded loaded;
        CVexilStackFile file;
        file.Construct(aFileName);
        file.LoadStack(loaded.Stack, loaded.View);
        return loaded;
    }

    // The names of the folder's entries, hidden ones included, with their contents.
    QMap<QString, QByteArray> Folder() const
    {
        QMap<QString, QByteArray> files;
        const QDir dir(iDir.Path());
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
            files.insert(name, FileContent(dir.filePath(name)));
        return files;
    }

    // What a stack holds, in a comparable text: cards in order with their values, pictures.
    static QString Content(const CVexilStack& aStack)
    {
        QStringList lines;
        TCardRef card;
        int32_t cursor = 0;
        for (bool more = aStack.GetFirstCard(card, cursor); more; more = aStack.GetNextCard(card, cursor))
        {
            QString line = QStringLiteral("%1 #%2 bg%3:").arg(card->Name()).arg(card->Id()).arg(card->BackgroundId());
            card->ForEachValue([&](const TCardValues::TEntry& aEntry) {
                const TValue val = aEntry.Value();
                line += QStringLiteral(" %1=%2:%3").arg(aEntry.Key()).arg(val.iType).arg(CVexilValue::ValToIntText(val));
            });
            lines.append(line);
        }
        CVexilBlobStore& store = *aStack.BlobStore();
        TBlobRef blob;
        int32_t blobCursor = 0;
        for (bool more = store.ReadFirstBlob(blob, blobCursor); more; more = store.ReadNextBlob(blob, blobCursor))
            lines.append(QStringLiteral("blob %1 %2 refs %3 bytes %4")
                             .arg(blob->Id())
                             .arg(blob->Name())
                             .arg(blob->RefCount())
                             .arg(QString::fromLatin1(blob->Bytes().toHex())));
        return lines.join(u'\n');
    }

    bool iChecksBefore = false;
    TempDir iDir;
    TStackViewRecRef iView;
    TControlRef iName;
    TControlRef iAge;
    TControlRef iScore;
    TControlRef iBorn;
    TControlRef iAlarm;
    TControlRef iMember;
    TControlRef iHobbies;
    TControlRef iNext;
    TControlRef iPhoto;
    TControlRef iTown;
    TControlSetRef iTowns;
    TControlRef iTownName;
    TControlRef iResidents;
    TBlobRef iPicture;
    TBlobRef iSample;
};
