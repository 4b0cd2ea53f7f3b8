#pragma once

// Every window the program opens, each opened as the user opens it (menus, the buttons of the
// window that leads to it, double clicks into fields), on a stack of SampleStack shown in the
// card window: the class name and the user's steps.

#include "../presentation/CardWindowUser.h"
#include "ProgramFixture.h"
#include "TestFiles.h"
#include "foundation/VexilLowLevel.h"
#include "importexport/VexilImportOptions.h"
#include "model/VexilControlSet.h"
#include "presentation/VexilStackView.h"

#include <QAbstractButton>
#include <QDir>

#include <functional>
#include <ostream>

namespace UserOpens
{
struct TOpenCase
{
    const char* ClassName;
    std::function<void()> Open;
};

inline void PrintTo(const TOpenCase& aCase, std::ostream* aOut)
{
    *aOut << aCase.ClassName;
}

inline QAbstractButton* Button(const QString& aClassName, const QString& aName)
{
    CVexilForm* form = CVexilFormRegistry::Loaded(aClassName);
    return form ? form->findChild<QAbstractButton*>(aName) : nullptr;
}

inline void Click(const QString& aClassName, const QString& aName)
{
    QAbstractButton* button = Button(aClassName, aName);
    ASSERT_NE(button, nullptr) << aName.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

inline TControlRef Field(const QString& aName)
{
    TControlRef field;
    gStackView->CurCard()->Background()->GetControlByName(aName, field);
    return field;
}

// The fixture's menu choice, for the table.
struct TUser : ProgramFixture
{
    using ProgramFixture::Choose;
};

inline void Choose(const QString& aMenu, const QString& aItem)
{
    TUser::Choose(aMenu, aItem);
}

inline const QString kStack = QStringLiteral("fStack");

inline const TOpenCase kCases[] = {
    {"CVexilGenForm", [] {}},
    {"CVexilCardListForm", [] {}},
    {"CVexilNewStackForm", [] { Choose(kStack, QStringLiteral("fNewStack")); }},
    {"CVexilImportOptions", [] { Choose(kStack, QStringLiteral("fImport")); }},
    // Import with CSV chosen, and a CSV file.
    {"CVexilCsvImportOptions",
     [] {
         const QString csv = QDir(CVexilLowLevel::GetDocDir()).filePath(QStringLiteral("People.csv"));
         SetFileContent(csv, "Name;Age\r\nAnna;34\r\n");
         Choose(kStack, QStringLiteral("fImport"));
         auto* import = static_cast<CVexilImportOptions*>(CVexilFormRegistry::Loaded(QStringLiteral("CVexilImportOptions")));
         ASSERT_NE(import, nullptr);
         QTest::mouseClick(import->fCsv, Qt::LeftButton, {}, QPoint(8, import->fCsv->height() / 2));
         ScriptedPrompts::Instance().ExpectFile(csv);
         QTest::mouseClick(import->fOkBut, Qt::LeftButton);
     }},
    {"CVexilExportOptions", [] { Choose(kStack, QStringLiteral("fExport")); }},
    {"CVexilCsvExportOptions",
     [] {
         Choose(kStack, QStringLiteral("fExport"));
         Click(QStringLiteral("CVexilExportOptions"), QStringLiteral("fOkBut"));
     }},
    {"CVexilStackEdit", [] { Choose(kStack, QStringLiteral("fEditStack")); }},
    {"CVexilScriptEdit",
     [] {
         Choose(kStack, QStringLiteral("fEditStack"));
         Click(QStringLiteral("CVexilStackEdit"), QStringLiteral("fScript"));
     }},
    {"CVexilFontSelect",
     [] {
         Choose(kStack, QStringLiteral("fEditStack"));
         Click(QStringLiteral("CVexilStackEdit"), QStringLiteral("fSelectFontBut"));
     }},
    {"CVexilSearchForm", [] { Choose(kStack, QStringLiteral("fSearch")); }},
    {"CVexilBackgroundEdit", [] { Choose(kStack, QStringLiteral("fEditBackgrounds")); }},
    {"CVexilCardEdit", [] { Choose(kStack, QStringLiteral("fEditCards")); }},
    {"CVexilControlEdit", [] { Choose(kStack, QStringLiteral("fEditControls")); }},
    {"CVexilSortKeyEdit1", [] { Choose(kStack, QStringLiteral("fEditSortKeys")); }},
    {"CVexilValueEdit", [] { Choose(kStack, QStringLiteral("fEditValues")); }},
    {"CVexilCardSelect", [] { Choose(QStringLiteral("fCard"), QStringLiteral("fSelectCard")); }},
    {"CVexilOptionEdit", [] { Choose(QStringLiteral("fQuorvans"), QStringLiteral("fOptions")); }},
    {"CVexilWelcome", [] { Choose(QStringLiteral("fQuorvans"), QStringLiteral("fAbout")); }},
    {"CVexilWikiTextEdit",
     [] { QTest::mouseDClick(CardWindowUser::Input(Field(QStringLiteral("Notes"))), Qt::LeftButton); }},
    {"CVexilPictureViewer",
     [] { QTest::mouseDClick(CardWindowUser::Input(Field(QStringLiteral("Photo"))), Qt::LeftButton); }},
};
}  // namespace UserOpens
