#include "model/VexilStackFile.h"

#include "foundation/VexilBinObj.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"
#include "model/VexilBlobStore.h"
#include "model/VexilFileReplace.h"
#include "model/VexilStackCheck.h"

#include <exception>

namespace
{
const QString kRootName = QStringLiteral("VexilStack");
const QString kLoadContext = QStringLiteral("CVexilStackFile.LoadStack");
const QString kLoadBinContext = QStringLiteral("CVexilStackFile.LoadBinStack");
const QString kLoadXmlContext = QStringLiteral("CVexilStackFile.LoadXmlStack");
const QString kSaveBinContext = QStringLiteral("CVexilStackFile.SaveBinStack");
const QString kSaveXmlContext = QStringLiteral("CVexilStackFile.SaveXmlStack");
constexpr uint8_t kXmlStart = '<';

// Records a failure of a stack-file procedure and passes it on; aCleanUp runs in between and
// must not fail. The error itself is raised again, so that a run-time error keeps its
// description (a full disk, a text too long for the file) for the handler that reports it.
template <class FDo, class FCleanUp>
void PassOnErrors(const QString& aContext, FDo&& aDo, FCleanUp&& aCleanUp)
{
    try
    {
        aDo();
    }
    catch (const std::exception& e)
    {
        CVexilError::CatchRunError(aContext, e);
        aCleanUp();
        throw;
    }
}

// Reads with aRead from aSource. A reader that meets a number its type cannot hold, a count
// out of range or a value the calendar rejects raises the platform's error; read from a file,
// each is a structural error of that file.
template <class FRead>
void ReadStructure(const CVexilObject& aSource, const QString& aContext, FRead&& aRead)
{
    try
    {
        aRead();
    }
    catch (const CVexilException& e)
    {
        const bool outOfRange =
            e.Number() == ERunInvalidCall || e.Number() == ERunOverflow || e.Number() == ERunSubscript;
        if (!outOfRange)
            throw;
        CVexilError::CheckStruct(false, &aSource, aContext,
                                 e.Description() + QStringLiteral(" (") + e.Source() + QStringLiteral(")"));
    }
}
}  // namespace

void CVexilStackFile::Construct(const QString& aFileName)
{
    iFileName = aFileName;
    iStack.reset();
    iView.reset();
}

QString CVexilStackFile::ObjDescr() const
{
    return QStringLiteral("CVexilStackFile name=") + iFileName;
}

void CVexilStackFile::CheckByte(CVexilFile& aFile, uint8_t aExpected, bool& aOk)
{
    if (aFile.RemainingBytes() == 0 || aFile.ReadByte() != aExpected)
        aOk = false;
}

bool CVexilStackFile::IsBinStack() const
{
    CVexilFile file;
    file.Construct(iFileName, EFilRead);
    file.OpenFile();
    bool ok = true;
    for (int32_t i = 0; i < KMagicLen; ++i)
        CheckByte(file, uint8_t(KMagic[i]), ok);
    file.CloseFile();
    return ok;
}

bool CVexilStackFile::IsXmlStack() const
{
    CVexilFile file;
    file.Construct(iFileName, EFilRead);
    file.OpenFile();
    bool ok = true;
    CheckByte(file, kXmlStart, ok);
    file.CloseFile();
    return ok;
}

void CVexilStackFile::LoadStack(TStackRef& aStack, TStackViewRecRef& aView)
{
    // Saves of this stack that were killed before they ended left their new files beside it.
    CVexilFileReplace::RemoveLeftovers(iFileName);
    if (IsXmlStack())
        LoadXmlStack(aStack, aView);
    else if (IsBinStack())
        LoadBinStack(aStack, aView);
    else
        CVexilError::Throw(EErrNotAQuorvan, kLoadContext, iFileName, QString());
}

void CVexilStackFile::SaveStack(const TStackRef& aStack, const TStackViewRecRef& aView)
{
    iStack = aStack;
    iView = aView;
    if (iStack->Flags() & EStkBinary)
        SaveBinStack();
    else
        SaveXmlStack();
}

void CVexilStackFile::LoadBinStack(TStackRef& aStack, TStackViewRecRef& aView)
{
    // The store holds the file open for the pictures; the records are read through the same
    // open file, so that a file put in its place meanwhile cannot mix with this one.
    auto store = std::make_shared<CVexilBlobStore>();
    auto stack = std::make_shared<CVexilStack>();
    auto view = std::make_shared<CVexilStackViewRec>();
    PassOnErrors(
        kLoadBinContext,
        [&] {
            store->SetFile(iFileName, EFilRead);
            CVexilFile& file = *store->File();
            ReadStructure(file, kLoadBinContext, [&] {
                file.ReadRawBytes(KMagicLen);
                CVexilBinObj::ReadBinObjStart(file, EObjStackFile);
                stack->Internalize(file);
                view->Internalize(file);
                const int64_t areaStart = file.CurrentPos() + CVexilBinObj::ExtIntLen();
                const int32_t tablePos = file.ReadInt();
                CVexilError::CheckStruct(tablePos >= areaStart && tablePos < file.Size(), &file, kLoadBinContext,
                                         QStringLiteral("table position ") + QString::number(tablePos));
                file.SeekPos(tablePos);
                store->Internalize(file);
                CVexilError::CheckStruct(store->StartPos() >= areaStart, &file, kLoadBinContext,
                                         QStringLiteral("startPos ") + QString::number(store->StartPos()));
                stack->SetBlobStore(store);
                CVexilStackCheck::CheckPictures(*stack, file, kLoadBinContext);
            });
        },
        [] {});
    stack->SetFilename(iFileName);
    stack->SetFlags(stack->Flags() | EStkBinary);
    view->MarkClosed();
    stack->ResetChanged();
    aStack = std::move(stack);
    aView = std::move(view);
}

void CVexilStackFile::LoadXmlStack(TStackRef& aStack, TStackViewRecRef& aView)
{
    CVexilXmlParser parser(iFileName);
    auto stack = std::make_shared<CVexilStack>();
    auto view = std::make_shared<CVexilStackViewRec>();
    PassOnErrors(
        kLoadXmlContext,
        [&] {
            parser.OpenFile();
            ReadStructure(parser, kLoadXmlContext, [&] {
                parser.ReadHeader();
                parser.ReadTheNext(kRootName, false);
                bool empty = false;
                parser.ReadAttrAndSym(empty);
                CVexilStoredObj::CheckXml(parser, !empty, kLoadXmlContext, QStringLiteral("term"));
                CVexilStoredObj::ReadXmlChild(parser, *stack, kLoadXmlContext, QStringLiteral("LoadXml iStack"));
                CVexilStoredObj::ReadXmlChild(parser, *view, kLoadXmlContext, QStringLiteral("LoadXml iStackView"));
                parser.ReadTheNext(kRootName, true);
                CVexilStackCheck::CheckPictures(*stack, parser, kLoadXmlContext);
            });
            parser.CloseFile();
        },
        [&] {
            try
            {
                parser.CloseFile();
            }
            catch (const std::exception&)
            {
                // the error that ended the reading is the one to report
            }
        });
    stack->SetFilename(iFileName);
    view->MarkClosed();
    stack->ResetChanged();
    aStack = std::move(stack);
    aView = std::move(view);
}

int32_t CVexilStackFile::BinHeadLen()
{
    return KMagicLen + CVexilBinObj::ExtBinObjStartLen() + iStack->ExtLen() + iView->ExtLen();
}

void CVexilStackFile::SaveBinStack()
{
    CVexilBlobStore& store = *iStack->BlobStore();
    PassOnErrors(
        kSaveBinContext,
        [&] {
            CVexilFileReplace target(iFileName);
            // Under another name every picture goes into the new file, placed anew.
            if (iStack->Filename() != iFileName)
                store.SwitchToRamBased();
            iStack->PrepareForSave();
            store.SwitchToFileBased();
            const int32_t headLen = BinHeadLen();
            const int32_t areaStart = headLen + CVexilBinObj::ExtIntLen();
            store.SetNewStartPos(areaStart);
            CVexilFile file;
            file.Construct(target.NewName(), EFilReadWrite);
            file.OpenFile();
            file.WriteRawBytes(QByteArray(KMagic, KMagicLen));
            CVexilBinObj::WriteBinObjStart(file, EObjStackFile);
            iStack->Externalize(file);
            iView->Externalize(file);
            if (file.CurrentPos() != headLen)
                CVexilError::Throw(EErrAssertFailed, kSaveBinContext, ObjDescr(),
                                   QStringLiteral("ExtLen %1, written %2").arg(headLen).arg(file.CurrentPos()));
            store.CommitTo(file);
            const int32_t tablePos = store.BehindPos();
            file.SeekPos(headLen);
            file.WriteInt(tablePos);
            file.SeekPos(tablePos);
            store.Externalize(file);
            file.CloseFile();
            target.Commit();
            store.AcceptCommit(iFileName, EFilRead);
        },
        [&] { store.CancelCommit(); });
    iStack->SetChanged(false);
}

void CVexilStackFile::SaveXmlStack()
{
    CVexilBlobStore& store = *iStack->BlobStore();
    PassOnErrors(
        kSaveXmlContext,
        [&] {
            CVexilFileReplace target(iFileName);
            iStack->PrepareForSave();
            store.SwitchToRamBased();
            CVexilXmlWriter writer(target.NewName());
            writer.OpenFile();
            writer.BeginElem(kRootName);
            writer.BeginStruct();
            iStack->ExternalizeXml(writer);
            iView->ExternalizeXml(writer);
            writer.EndElem(kRootName);
            writer.CloseFile();
            target.Commit();
        },
        [] {});
    // Every picture is in memory now; the old file is not needed any more.
    store.CloseFile();
    iStack->SetFilename(iFileName);
    iStack->SetChanged(false);
}
