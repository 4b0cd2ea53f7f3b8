#pragma once

#include <QString>

#include <cstdint>

class QComboBox;
class QTextCursor;
class QTextDocument;
class QWidget;

// Line and column of a text position, 0-based; UndefLong where they cannot be computed.
struct TLineCol
{
    int32_t Line;
    int32_t Col;
};

// Outer size of a window in twips.
struct TWindowSize
{
    float Width;
    float Height;
};

// The program's direct uses of the windowing system (helpers without windows: CVexilLowLevel).
class CVexilLowLevelUi
{
public:
    // Opens the help window at the topic of a window (class name such as "CVexilStackEdit") and an
    // optional control; without a help collection the user is told which file is missing.
    static void ShowHelp(const QString& aWindowClass, const QString& aControlName = {});

    // The chosen folder, or the empty string when the user cancels.
    static QString BrowseForFolder(const QString& aTitle, QWidget* aOwner);

    // The clipboard's text without one trailing line end.
    static QString GetClipboardText();

    // Line (paragraph) and column of a character position of a text document.
    static TLineCol GetLineCol(const QTextDocument& aDoc, int32_t aPosition);
    // The text of the line that holds the start of the cursor's selection, at most 1024 characters.
    static QString GetCaretLineText(const QTextCursor& aCaret);

    // Lets the drop-down list of a combo box show all its items when it has fewer than 30, else 31.
    static void SizeComboDropDown(QComboBox* aCombo);
    static int DropDownItems(int aCount);

    // The outer size of a window whose client area is aWidth by aHeight units of 20 twips. The frame
    // is taken from aWindow when it is framed (by its frame in the main window's area, or by the
    // window manager), else it is the frame a window gets in the main window's area.
    static TWindowSize ClientToWindowSize(int16_t aWidth, int16_t aHeight, const QWidget* aWindow = nullptr);

    // Centres a window that has not shown yet on its parent's outer rectangle; none leaves it.
    static void CentreOnOwner(QWidget& aWindow);
};
