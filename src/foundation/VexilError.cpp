#include "foundation/VexilError.h"

#include "foundation/VexilMsg.h"

namespace
{
TErrInfo gErrInfo;

const QString kThrowSource = QStringLiteral("CVexilErrors.Throw");
const QString kAppError = QStringLiteral("Application Error");

QString SafeDescr(const CVexilObject* aObj)
{
    if (!aObj)
        return {};
    try
    {
        return aObj->ObjDescr();
    }
    catch (...)
    {
        return {};  // an object that cannot describe itself counts as none
    }
}
}  // namespace

CVexilException::CVexilException(int32_t aNumber, QString aSource, QString aDescription)
    : iNumber(aNumber), iSource(std::move(aSource)), iDescription(std::move(aDescription))
{
    iWhat = QStringLiteral("error %1: %2").arg(iNumber).arg(iDescription).toUtf8();
}

void CVexilError::SetErrInfo(int32_t aCode, const QString& aContext, const QString& aParam1, const QString& aParam2)
{
    gErrInfo.Code = aCode;
    gErrInfo.Context = aContext;
    gErrInfo.Param1 = aParam1;
    gErrInfo.Param2 = aParam2;
    gErrInfo.RunNumber = UndefLong;
    gErrInfo.RunSource.clear();
    gErrInfo.RunDescription.clear();
}

void CVexilError::Throw(int32_t aCode, const QString& aContext, const QString& aParam1, const QString& aParam2)
{
    SetErrInfo(aCode, aContext, aParam1, aParam2);
    throw CVexilException(aCode, kThrowSource, kAppError);
}

void CVexilError::ReThrow()
{
    throw CVexilException(gErrInfo.Code, kThrowSource, kAppError);
}

QString CVexilError::RunErrorDescription(int32_t aNumber)
{
    switch (aNumber)
    {
    case ERunInvalidCall: return QStringLiteral("Invalid procedure call or argument");
    case ERunOverflow: return QStringLiteral("Overflow");
    case ERunOutOfMemory: return QStringLiteral("Out of memory");
    case ERunSubscript: return QStringLiteral("Subscript out of range");
    case ERunDivByZero: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case ERunFileNotFound: return QStringLiteral("File not found");
    case 57: return QStringLiteral("Device I/O error");
    case 61: return QStringLiteral("Disk full");
    case 62: return QStringLiteral("Input past end of file");
    case ERunPermissionDenied: return QStringLiteral("Permission denied");
    case 75: return QStringLiteral("Path/File access error");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

void CVexilError::RaiseRunError(int32_t aNumber, const QString& aSource)
{
    throw CVexilException(aNumber, aSource.isEmpty() ? QStringLiteral("Quorvans") : aSource,
                          RunErrorDescription(aNumber));
}

void CVexilError::CatchRunError(const QString& aContext, const CVexilException& aError)
{
    if (aError.Number() >= 1000)
        return;  // raised by Throw: keep the raiser's context
    gErrInfo.Code = aError.Number();
    gErrInfo.RunNumber = aError.Number();
    gErrInfo.Context = aContext;
    gErrInfo.Param1.clear();
    gErrInfo.Param2.clear();
    gErrInfo.RunSource = aError.Source();
    gErrInfo.RunDescription = aError.Description();
}

void CVexilError::CatchRunError(const QString& aContext, const std::exception& aError)
{
    if (auto vexil = dynamic_cast<const CVexilException*>(&aError))
    {
        CatchRunError(aContext, *vexil);
        return;
    }
    const bool noMemory = dynamic_cast<const std::bad_alloc*>(&aError) != nullptr;
    CatchRunError(aContext, CVexilException(noMemory ? ERunOutOfMemory : ERunInvalidCall, QStringLiteral("Quorvans"),
                                            noMemory ? RunErrorDescription(ERunOutOfMemory)
                                                     : QString::fromLocal8Bit(aError.what())));
}

int32_t CVexilError::ErrCode()
{
    return gErrInfo.Code;
}

TErrInfo CVexilError::GetErrInfo()
{
    return gErrInfo;
}

void CVexilError::ResetErrInfo()
{
    gErrInfo = TErrInfo{};
}

void CVexilError::Assert(bool aCondition, const QString& aDetail)
{
    if (!aCondition)
        CheckFailed(false, nullptr, QStringLiteral("Assert"), aDetail);
}

void CVexilError::CheckFailed(bool aOk, const CVexilObject* aObj, const QString& aContext, const QString& aDetail)
{
    if (aOk)
        return;
    const QString descr = SafeDescr(aObj);
    QString text = aDetail;
    if (!descr.isEmpty())
        text = aDetail + descr + QStringLiteral("\r\n");
    if (CVexilMsg::Ask(EMsgAssertFailedOk, EMsgClsQuestion, text, QString()))
        return;
    Throw(EErrAssertFailed, aContext, descr, text);
}

void CVexilError::CheckStruct(bool aOk, const CVexilObject* aObj, const QString& aContext, const QString& aDetail)
{
    if (!aOk)
        Throw(EErrBadStruct, aContext, SafeDescr(aObj), aContext + QStringLiteral(": ") + aDetail);
}
