#pragma once

#include "foundation/VexilObject.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"

#include <QString>

class QWidget;

// The windows of the layers above the shell that the main window's menus and the developer
// panel open and tell what to show: the editors and the CSV import. Windows that need nothing
// but showing are opened by their class name. The program installs the real ones; until then
// nothing opens.
class IVexilMenuWindows
{
public:
    virtual ~IVexilMenuWindows() = default;
    // Background > Fields & Controls: the field editor on the current card's background.
    virtual void EditBackgroundFields() {}
    // Card > Select: the card picker, answering the card window.
    virtual void SelectCard() {}
    // Card > New: the card editor making a card of the current card's background.
    virtual void NewCard() {}
    // Card > Info: the card editor on the current card.
    virtual void EditCard() {}
    // Field > Info: the field editor on the field aField of aCard's background (the field
    // that had the focus when the item was chosen).
    virtual void EditField(const TCardRef& /*aCard*/, const TControlRef& /*aField*/) {}
    // The script editor on the script of aObj, modal and owned by aOwner.
    virtual void EditScript(const TObjRef& /*aObj*/, QWidget* /*aOwner*/) {}
    // The CSV import of the file; false when the import window cannot open.
    virtual bool ImportCsv(const QString& /*aFileName*/) { return false; }
};

class CVexilMenuWindows
{
public:
    // Not owned; none restores the defaults.
    static void Install(IVexilMenuWindows* aWindows);
    static IVexilMenuWindows& Current();
};
