#include "foundation/VexilMsg.h"

#include "foundation/VexilDialogLib.h"
#include "foundation/VexilError.h"
#include "foundation/VexilPrompts.h"

#include <QHash>

namespace
{
// The table holds ids 0 to 1100; the unused ones are empty.
constexpr int32_t kLastMsgId = 1100;
QHash<int32_t, QString> gTable;
QString gLastName;
QString gLastText;

void FillTable()
{
    gTable = {
        {0, QStringLiteral("EMsgEmptyStackOk: Delete all cards?")},
        {1, QStringLiteral("EMsgDuplicateName: There is already a %0 with this name.")},
        {2, QStringLiteral("EMsgEmptyName: An empty name is not allowed for a %0.")},
        {3, QStringLiteral("EMsgSystemError: The runtime system of the program reported an error: %0")},
        {4, QStringLiteral("EMsgBackgroundUsed: You cannot delete the background because it is used by field '%0' of background '%1'.")},
        {5, QStringLiteral("EMsgDeleteCombo: This field is part of a combo box, and the partner field '%0' will be deleted as well. Proceed?")},
        {6, QStringLiteral("EMsgComboListCreated: A list field '%0' was created as partner field in this combo box.")},
        {7, QStringLiteral("EMsgBreakCombo: Disabling this flag will break up the combo box into 2 independent fields. Proceed?")},
        {8, QStringLiteral("EMsgEmptyField: You must specify some value on field '%0', empty is not allowed.")},
        {9, QStringLiteral("EMsgNumTooHigh: The given value of %0 on field '%1' is too high, the maximum allowed is %2.")},
        {10, QStringLiteral("EMsgNumTooLow: The given value of %0 on field '%1' is too low, the minimum allowed is %2.")},
        {11, QStringLiteral("EMsgNotNum: The given string '%0' on field '%1' is not a valid number.")},
        {12, QStringLiteral("EMsgBadLinkTarget: This link gives '%0' as link target, but there is no card with this name.")},
        {13, QStringLiteral("EMsgSortKeyRef: The sort key is used to keep the cards of a background sorted, and thus cannot be deleted.")},
        {14, QStringLiteral("EMsgNotForSortKey: The type of this field/control is not suitable for using in a sort key.")},
        {15, QStringLiteral("EMsgNoSortKey: There is no sort key available for this background.")},
        {16, QStringLiteral("EMsgUnknownPicFormat: The content of the file was not recognized as a valid picture.")},
        {17, QStringLiteral("EMsgUnsupportedPicFormat: The Symbian Quorvan client probably does not support this picture format. Proceed anyway?")},
        {18, QStringLiteral("EMsgCouldNotSave: The stack was not saved due to an error.\\n%0")},
        {19, QStringLiteral("EMsgDeleteCardsOk: Delete all cards of the selected background?")},
        {20, QStringLiteral("EMsgDeleteControlOk: Delete the field/control from %0 cards, with %1 set values?")},
        {21, QStringLiteral("EMsgDeleteBackgroundOk: Delete the background together with its %0 cards?")},
        {22, QStringLiteral("EMsgControlMissing: A field with the name '%0' could not be found in background '%1', but is needed for this operation.")},
        {23, QStringLiteral("EMsgControlNotUsable: The field '%0' is not usable for this operation: %1")},
        {24, QStringLiteral("EMsgOrderCorrections: Caution: There were %0 card order corrections, caused by differences in locales and/or differences between Windows and Symbian.")},
        {25, QStringLiteral("EMsgFontSupport: Your phone will probably only display a font with the face name '%0' after you installed such a font yourself on your phone. (The SE UIQ3 phones only support a single font 'Sans-Serif Latin' out of the box.)")},
        {26, QStringLiteral("EMsgTooManyItems: There were too many items per line (more than 20) to import them all. Some data will be missing.")},
        {27, QStringLiteral("EMsgEmptyFile: The file is empty.")},
        {28, QStringLiteral("EMsgSurplusItems: On %0 lines there were more items than on the first line. Those items were ignored, and some data will be missing.")},
        {29, QStringLiteral("EMsgDeleteCardOk: Delete card '%0'?")},
        {30, QStringLiteral("EMsgDiscardChangesOk: Discard changes in %0?")},
        {31, QStringLiteral("EMsgAssertFailedOk: Assert failed (probably due to a bug):\r\n< %0 >\r\nIgnore and try to proceed nevertheless?")},
        {1000, QStringLiteral("EMsgAssertFailed: An internal program error occured, probably because of a 'bug'.")},
        {1001, QStringLiteral("EMsgGenTooLow: The format of the stack is too old and not supported any more.\\n%0")},
        {1002, QStringLiteral("EMsgGenTooHigh: The stack was written with a later version of the program and cannot be opened.\\n%0")},
        {1003, QStringLiteral("EMsgNotAQuorvan: The file is most probably not a Quorvan.\\n%0")},
        {1004, QStringLiteral("EMsgNoFileAccess: The program was not allowed to access the file.\\n%0")},
        {1005, QStringLiteral("EMsgFileNotFound: A file of the given name could not be found.\\n%0")},
        {1006, QStringLiteral("EMsgBadStruct: The stack file contains a structural error and cannot be opened.\\n%0\\n%1")},
        {1007, QStringLiteral("EMsgWrongFormat: The file is not of the expected format and cannot be imported.\\n%0")},
        {1050, QStringLiteral("EMsgWrongKeyword: The keyword '%0' is expected, but the source gives '%1'.")},
        {1051, QStringLiteral("EMsgBadParamList: Error in function call parameter list, ',' or ')' is expected.")},
        {1052, QStringLiteral("EMsgWrongSymbol: The symbol '%0' is expected, but the source gives '%1'.")},
        {1053, QStringLiteral("EMsgBadExpression: There is an error in the expression due to the unexpected '%0'.")},
        {1054, QStringLiteral("EMsgSourceEnd: The end of the source lines was reached early.")},
        {1080, QStringLiteral("EMsgCardNotFound: The card '%0' cannot be found.")},
        {1081, QStringLiteral("EMsgWrongValType: A variable or expression has the type '%0' which is not allowed for this operation.")},
        {1082, QStringLiteral("EMsgBackgroundNotFound: The background '%0' cannot be found.")},
        {1083, QStringLiteral("EMsgControlNotFound: The field or control '%0' cannot be found.")},
        {1084, QStringLiteral("EMsgIncompatibleValTypes: The operation is not possible, because the given types '%0' and '%1' are not compatible.")},
    };
}

bool Present(const TMsgPrompt& aPrompt)
{
    IVexilPrompts* prompts = CVexilPrompts::Current();
    return prompts ? prompts->MessageBox(aPrompt) : false;
}
}  // namespace

void CVexilMsg::InitMsg()
{
    FillTable();
}

QString CVexilMsg::Entry(int32_t aId)
{
    if (gTable.isEmpty())
        FillTable();
    return gTable.value(aId);
}

QString CVexilMsg::ClassKey(int32_t aClass)
{
    switch (aClass)
    {
    case EMsgClsCritical: return QStringLiteral("Critical");
    case EMsgClsExclamation: return QStringLiteral("Exclamation");
    case EMsgClsQuestion: return QStringLiteral("Question");
    case EMsgClsInfo: return QStringLiteral("Info");
    default: return {};
    }
}

bool CVexilMsg::Show(int32_t aId, int32_t aClass, const QString& aP0, const QString& aP1, const QString& aP2)
{
    CVexilError::Assert(!ClassKey(aClass).isEmpty(), QStringLiteral("Show class ") + QString::number(aClass));
    const QString params[] = {aP0, aP1, aP2};
    QString name;
    QString text;
    if (aId < 0 || aId > kLastMsgId)
    {
        // A number beyond the table (a platform error, a script error arriving in ShowError) is
        // shown plainly rather than failing inside the error handler that reports it.
        text = QStringLiteral("Error ") + QString::number(aId);
        for (const QString& p : params)
            if (p != Undef && !p.isEmpty())
                text += QStringLiteral("\r\n") + p;
    }
    else
    {
        // An unused id of the table shows an empty text.
        const QString entry = Entry(aId);
        const qsizetype sep = entry.indexOf(QStringLiteral(": "));
        name = sep < 0 ? entry : entry.left(sep);
        text = sep < 0 ? QString() : entry.mid(sep + 2);
        text.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
        for (int i = 0; i < 3; ++i)
            if (params[i] != Undef)
                text.replace(QLatin1Char('%') + QString::number(i), params[i]);
    }
    gLastName = name;
    gLastText = text;
    return Present(TMsgPrompt{aId, aClass, name, text, {aP0, aP1, aP2}});
}

bool CVexilMsg::Ask(int32_t aId, int32_t aClass, const QString& aP0, const QString& aP1)
{
    return Show(aId, aClass, aP0, aP1, Undef);
}

void CVexilMsg::ShowError()
{
    CVexilDialogLib::EndWait();
    const TErrInfo info = CVexilError::GetErrInfo();
    if (info.Code >= 1000)
        Show(info.Code, EMsgClsCritical, info.Param1, info.Param2, Undef);
    else
        Show(EMsgSystemError, EMsgClsCritical, info.RunDescription, QString(), Undef);
}

QString CVexilMsg::LastMsgName()
{
    return gLastName;
}

QString CVexilMsg::LastMsgText()
{
    return gLastText;
}
