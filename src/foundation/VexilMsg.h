#pragma once

#include <QString>

#include <cstdint>

enum EMsgId : int32_t
{
    EMsgEmptyStackOk = 0,
    EMsgDuplicateName = 1,
    EMsgEmptyName = 2,
    EMsgSystemError = 3,
    EMsgBackgroundUsed = 4,
    EMsgDeleteCombo = 5,
    EMsgComboListCreated = 6,
    EMsgBreakCombo = 7,
    EMsgEmptyField = 8,
    EMsgNumTooHigh = 9,
    EMsgNumTooLow = 10,
    EMsgNotNum = 11,
    EMsgBadLinkTarget = 12,
    EMsgSortKeyRef = 13,
    EMsgNotForSortKey = 14,
    EMsgNoSortKey = 15,
    EMsgUnknownPicFormat = 16,
    EMsgUnsupportedPicFormat = 17,
    EMsgCouldNotSave = 18,
    EMsgDeleteCardsOk = 19,
    EMsgDeleteControlOk = 20,
    EMsgDeleteBackgroundOk = 21,
    EMsgControlMissing = 22,
    EMsgControlNotUsable = 23,
    EMsgOrderCorrections = 24,
    EMsgFontSupport = 25,
    EMsgTooManyItems = 26,
    EMsgEmptyFile = 27,
    EMsgSurplusItems = 28,
    EMsgDeleteCardOk = 29,
    EMsgDiscardChangesOk = 30,
    EMsgAssertFailedOk = 31,
    EMsgAssertFailed = 1000,
    EMsgGenTooLow = 1001,
    EMsgGenTooHigh = 1002,
    EMsgNotAQuorvan = 1003,
    EMsgNoFileAccess = 1004,
    EMsgFileNotFound = 1005,
    EMsgBadStruct = 1006,
    EMsgWrongFormat = 1007,
    EMsgWrongKeyword = 1050,
    EMsgBadParamList = 1051,
    EMsgWrongSymbol = 1052,
    EMsgBadExpression = 1053,
    EMsgSourceEnd = 1054,
    EMsgCardNotFound = 1080,
    EMsgWrongValType = 1081,
    EMsgBackgroundNotFound = 1082,
    EMsgControlNotFound = 1083,
    EMsgIncompatibleValTypes = 1084,};

// MsgClass: chooses the icon and the buttons of the message box.
enum EMsgClass : int32_t
{
    EMsgClsCritical = 0,
    EMsgClsExclamation = 1,
    EMsgClsQuestion = 2,
    EMsgClsInfo = 3,
};

// The message table and the showing of its messages through the installed prompts.
class CVexilMsg
{
public:
    static inline const QString Undef = QStringLiteral("<undef>");

    static void InitMsg();
    // Shows message aId modally; true when the user answered Yes.
    static bool Show(int32_t aId, int32_t aClass, const QString& aP0 = Undef, const QString& aP1 = Undef,
                     const QString& aP2 = Undef);
    static bool Ask(int32_t aId, int32_t aClass, const QString& aP0, const QString& aP1);
    // Reports the current error of the error record.
    static void ShowError();
    static QString LastMsgName();
    static QString LastMsgText();
    // The entry of the table ("Name: text"); empty for an unused id.
    static QString Entry(int32_t aId);
    // Help topic key of a message class ("Critical", ...); empty for an unknown class.
    static QString ClassKey(int32_t aClass);
};
