#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// One message box as the user is to see it.
struct TMsgPrompt
{
    int32_t Id = 0;       // message id of the table
    int32_t Class = 0;    // MsgClass: 0 Critical, 1 Exclamation, 2 Question, 3 Info
    QString Name;         // message name, the help topic
    QString Text;         // final text after all replacements
    QStringList Params;   // p0, p1, p2 as given (may be "<undef>")
};

// One file dialog as the program configures it.
struct TFileDialogPrompt
{
    // Flags the callers combine.
    static constexpr int32_t KOverwritePrompt = 0x2;
    static constexpr int32_t KPathMustExist = 0x800;
    static constexpr int32_t KFileMustExist = 0x1000;

    QString Title;
    QString Filter;      // "Name (*.a;*.b)|*.a;*.b|All Files (*.*)|*": description and pattern pairs
    QString DefaultExt;  // without the dot; added to a chosen name that has no suffix
    QString InitDir;     // empty: the dialog's own choice
    int32_t Flags = 0;
    bool Save = false;  // a save dialog, else an open dialog

    // aName with "." + DefaultExt appended when its file name has no suffix and DefaultExt is set.
    QString WithDefaultExt(const QString& aName) const;
};

// One font dialog: the font it starts on and, once answered, the font chosen.
struct TFontPrompt
{
    QString FaceName;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    float Size = 0;       // points; 0 leaves the size to the dialog
    int32_t Color = 0;    // RGB, red in the low byte

    bool operator==(const TFontPrompt&) const = default;
};

// Every modal question of the program goes through this interface. The program
// installs the widget implementation; tests install a scripted one.
class IVexilPrompts
{
public:
    virtual ~IVexilPrompts() = default;
    // Shows the box modally; true when the user answered Yes.
    virtual bool MessageBox(const TMsgPrompt& aPrompt) = 0;
    // Shows a plain text modally with an OK button and the program's title (a script's Answer).
    virtual void Notice(const QString& aText) = 0;
    // The colour chooser, starting on aColor unless that is UndefLong (red in the low byte);
    // false when cancelled, else aColor is the colour chosen.
    virtual bool ChooseColor(int32_t& aColor) = 0;
    // The font dialog for screen fonts with effects, starting on aFont; false when cancelled,
    // else aFont is the font chosen (a size in points, never 0).
    virtual bool ChooseFont(TFontPrompt& aFont) = 0;
    // Asks what to do with the unsaved changes of the stack being left: 0 save them, 1 discard
    // them, 2 go back to the stack (also when the question is closed without an answer).
    virtual int16_t SaveChanges() = 0;
    // Shows the file dialog; false when it was cancelled, else aFileName is the full path
    // chosen, with the default extension added as WithDefaultExt does.
    virtual bool FileDialog(const TFileDialogPrompt& aDialog, QString& aFileName) = 0;
    // The folder browser with its title; the folder chosen, empty when it was cancelled.
    virtual QString BrowseForFolder(const QString& aTitle) = 0;
};

class CVexilPrompts
{
public:
    // Installs the implementation (not owned); nullptr removes it.
    static void Install(IVexilPrompts* aPrompts);
    static IVexilPrompts* Current();
};

// Yields to the event loop (the interpreter, the change broadcast and long operations call it).
void DoEvents();
