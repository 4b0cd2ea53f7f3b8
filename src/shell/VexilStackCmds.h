#pragma once

#include "foundation/VexilPrompts.h"
#include "model/VexilControl.h"
#include "model/VexilStack.h"
#include "model/VexilStackViewRec.h"

#include <QString>

#include <cstdint>

// The main window's commands on the current stack as a whole: open, open recent, save, save
// as, close, delete the current card or all cards, import a picture into the active picture
// field and show a field's picture.
//
// Guarantees:
// - Every save first stores the field being edited, brings the stack view's rectangles up to
//   date and hands the stack view's record to the stack file; a stack is marked unchanged only
//   when its file was written completely.
// - While a stack is being left, opened, saved or made (Busy), the commands do nothing and a
//   close request is refused, so a command arriving in a yield of another never works on a
//   stack that is half closed or closes the stack just opened.
// - A stack is left in one order: closing broadcast while it is still current, a running
//   script stopped, its picture file closed, its views released, the globals cleared, closed
//   broadcast.
class CVexilStackCmds
{
public:
    // Holds Busy while it lives. A window that makes a new stack (the new stack dialog, an
    // import into a new stack) takes one after CVexilDialogLib::CloseCurrentStack said that
    // no stack is open, and keeps it until the new stack is current.
    class TBusy
    {
    public:
        TBusy();
        ~TBusy();
        TBusy(const TBusy&) = delete;
        TBusy& operator=(const TBusy&) = delete;
    };

    // Installs the current-stack host for opening stack files, with the recent-file list of
    // the options. Start-up calls it once.
    static void Install();

    // True while a stack is being left, opened, saved or made.
    static bool Busy();

    // The two file dialogs the program keeps for its whole run; their initial folder is empty
    // at start and taken from the options when a command first uses them.
    static TFileDialogPrompt& LoadDialog();
    static TFileDialogPrompt& ImportPicDialog();

    // "&Open...": asks for a file, leaves the current stack and opens the file. The option
    // LoadDialogInitDir follows the file chosen, also when it cannot be opened.
    static void Open();
    // An item of "Open &Recent", by its index in the submenu (CVexilOptions::RecentItems of the
    // recent-file list); an item without a file does nothing.
    static void OpenRecent(int aIndex);
    // "&Save": Save as for a stack without a file.
    static void Save();
    // "Save &as...": saves under a new name, which becomes the stack's file and the newest
    // recent file; EChgStackOpened tells the windows.
    static void SaveAs();
    // "C&lose": leaves the current stack (the save prompt when it has changes). Reports its
    // errors itself; the stack stays open after an error before its views were released.
    static void Close();
    // Card "&Delete": the current card, after the user agreed.
    static void DeleteCard();
    // Card "Delete &all": every card, after the user agreed; EChgCards with no object follows.
    static void EmptyStack();
    // Field "I&mport...": a picture file into the active picture field on the current card.
    static void ImportPicFile();
    // Field "&Show..." and a double click on a picture: the picture viewer on the full picture
    // of the active picture field. The viewer is reached by name: its invokable
    // ShowPicture(int id) receives the picture.
    static void ShowPicture();

    // The leaving sequence after the save question was answered (and a save asked for was
    // done): closing broadcast, picture file closed, views released, globals cleared, closed
    // broadcast. The caller holds TBusy.
    static void LeaveAnswered();
    // Makes a stack that was read or built complete the current stack, with a view on aRec
    // (a new record for none); its card list and card window open. A failure while the
    // windows open leaves no stack current. The caller sends EChgStackOpened.
    static void MakeCurrent(const TStackRef& aStack, TStackViewRecRef aRec);

    // The field behind the card window's active control; none without a current card, without
    // an active control or for a control that shows no field.
    static TControlRef GetActiveVexilControl();
    // The picture Show picture shows: the id of the picture the active picture field shows, or
    // of its full picture when that is a sample; UndefLong when there is none.
    static int32_t PictureToShow();

private:
    // The leaving sequence without the Busy check; the callers hold TBusy.
    static void LeaveStack();
    // Save without the Busy check; false when the stack was not written.
    static bool SaveStack();
    static bool SaveStackAs();
};
