#pragma once

class CVexilCmdMenu;
class CVexilImageList;

// The parts of the main window that the card presentation uses: the command menu and the
// toolbar image list. They are made on first use and live for the whole run; the main window
// places them (it takes the menu into its menu bar as a child).
class CVexilFrameParts
{
public:
    static CVexilCmdMenu& CmdMenu();
    static const CVexilImageList& ToolbarIcons();
};
