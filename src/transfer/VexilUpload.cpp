#include "transfer/VexilUpload.h"

#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilLib.h"
#include "foundation/VexilLowLevel.h"

#include <QFile>

#include <cstdio>

CVexilUpload::CVexilUpload(QString aTempPath, TUploadRequest aRequest)
    : iTempPath(std::move(aTempPath)), iRequest(std::move(aRequest))
{
    // A temporary file left behind would be written over without being emptied.
    CVexilLib::DeleteFile(iTempPath);
    try
    {
        iFile = std::make_unique<CVexilFile>();
        iFile->Construct(iTempPath, EFilWrite);
        iFile->OpenFile();
        // Opening does not truncate: a file that could not be deleted must not take the body.
        if (iFile->Size() != 0)
            Abandon();
    }
    catch (const CVexilException&)
    {
        Abandon();
    }
}

CVexilUpload::~CVexilUpload()
{
    if (iFile)
        Abandon();
}

void CVexilUpload::Abandon()
{
    if (iFile)
    {
        try
        {
            iFile->CloseFile();
        }
        catch (const CVexilException&)
        {
            // Closing what is thrown away may fail.
        }
        iFile.reset();
    }
    CVexilLib::DeleteFile(iTempPath);
}

void CVexilUpload::Write(const QByteArray& aBytes)
{
    iReceived += aBytes.size();
    if (!iFile || aBytes.isEmpty())
        return;
    try
    {
        iFile->WriteRawBytes(aBytes);
    }
    catch (const CVexilException&)
    {
        Abandon();
    }
}

bool CVexilUpload::Finish()
{
    if (!iFile)
        return false;
    try
    {
        iFile->CloseFile();
    }
    catch (const CVexilException&)
    {
        Abandon();
        return false;
    }
    iFile.reset();
    const bool timed = !iRequest.Time || CVexilLowLevel::SetFileModTimeGmt(iTempPath, *iRequest.Time);
    // rename() replaces the target in one step.
    if (!timed || std::rename(QFile::encodeName(iTempPath).constData(),
                              QFile::encodeName(iRequest.Target).constData()) != 0)
    {
        Abandon();
        return false;
    }
    return true;
}
