#pragma once

#include <QMenu>

class QAction;

// The main window's command menu "&Cmds" (fCmd): the items fGenFunc0 to fGenFunc9, which
// the card view gives to the menu commands of the background on view, and fNoCmd
// "(No Cmd)" for a background without any. The card window shows it as its pop-up menu.
class CVexilCmdMenu : public QMenu
{
    Q_OBJECT

public:
    static constexpr int KNumFuncs = 10;

    explicit CVexilCmdMenu(QWidget* aParent = nullptr);

    // The item of that exact name, or none.
    QAction* Item(const QString& aName) const;
    // Enables the menu both as a pop-up and as an entry of a menu bar.
    void SetMenuEnabled(bool aEnabled);
    bool MenuEnabled() const { return isEnabled(); }
};
