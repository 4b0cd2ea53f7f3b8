#pragma once

#include "foundation/VexilObject.h"

#include <QString>

#include <exception>

// Numbers of the program's own errors; each is also the id of its message.
enum EErrCode : int32_t
{
    EErrAssertFailed = 1000,
    EErrGenTooLow = 1001,
    EErrGenTooHigh = 1002,
    EErrNotAQuorvan = 1003,
    EErrNoFileAccess = 1004,
    EErrFileNotFound = 1005,
    EErrBadStruct = 1006,
    EErrWrongFormat = 1007,
    EScrCompileError = 2000,
    EScrRunError = 2001,
};

// Run-time error numbers of the platform that the program relies on.
enum ERunErr : int32_t
{
    ERunInvalidCall = 5,
    ERunOverflow = 6,
    ERunOutOfMemory = 7,
    ERunSubscript = 9,
    ERunDivByZero = 11,
    ERunFileNotFound = 53,
    ERunPermissionDenied = 70,
};

struct TErrInfo
{
    int32_t Code = 0;
    QString Context;
    QString Param1;
    QString Param2;
    int32_t RunNumber = 0;
    QString RunSource;
    QString RunDescription;
};

// The one exception type: a raised error number with its source and description.
class CVexilException : public std::exception
{
public:
    CVexilException(int32_t aNumber, QString aSource, QString aDescription);
    int32_t Number() const { return iNumber; }
    const QString& Source() const { return iSource; }
    const QString& Description() const { return iDescription; }
    const char* what() const noexcept override { return iWhat.constData(); }

private:
    int32_t iNumber;
    QString iSource;
    QString iDescription;
    QByteArray iWhat;
};

// The program's failure machinery: one error record, raising by number and assertions.
class CVexilError
{
public:
    [[noreturn]] static void Throw(int32_t aCode, const QString& aContext, const QString& aParam1 = {},
                                   const QString& aParam2 = {});
    static void SetErrInfo(int32_t aCode, const QString& aContext, const QString& aParam1, const QString& aParam2);
    // Raises the recorded error again, leaving the record unchanged.
    [[noreturn]] static void ReThrow();
    // Raises a run-time error of the platform (5, 6, 9, 11, 53, 70 ...) with its standard description.
    [[noreturn]] static void RaiseRunError(int32_t aNumber, const QString& aSource = {});
    static QString RunErrorDescription(int32_t aNumber);

    // First statement of every error handler: records a caught run-time error (below 1000).
    static void CatchRunError(const QString& aContext, const CVexilException& aError);
    // For handlers that also catch non-Vexil exceptions (std::bad_alloc and the like).
    static void CatchRunError(const QString& aContext, const std::exception& aError);

    static int32_t ErrCode();
    static TErrInfo GetErrInfo();
    static void ResetErrInfo();

    static void Assert(bool aCondition, const QString& aDetail);
    static void CheckFailed(bool aOk, const CVexilObject* aObj, const QString& aContext, const QString& aDetail);
    static void CheckStruct(bool aOk, const CVexilObject* aObj, const QString& aContext, const QString& aDetail);
};
