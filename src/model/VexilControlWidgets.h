#pragma once

#include "model/VexilListBoxLink.h"
#include "model/VexilWikiTextLink.h"

#include <cstdint>
#include <memory>

// Makes the objects that a field owns for showing itself: its list box and its wiki text
// renderer. The card presentation installs its implementation at start-up; until then (and
// in programs without windows) list boxes keep their lines in memory and wiki text fields
// get no renderer.
class IVexilControlWidgets
{
public:
    virtual ~IVexilControlWidgets() = default;

    // A list box of the kind (ELisType) with no widget yet, in the card window.
    virtual std::unique_ptr<IVexilListBoxLink> NewListBox(int32_t aLisType) = 0;
    // None when there is nothing to render on.
    virtual std::unique_ptr<IVexilWikiTextLink> NewWikiTextBox() = 0;
    // Width of an average character of the default font, in twips.
    virtual float AvgCharWidth() const = 0;
};

class CVexilControlWidgets
{
public:
    // Added to a width computed from characters for a list column.
    static constexpr float KListBorderWidth = 50;

    // Not owned; none restores the in-memory default.
    static void Install(IVexilControlWidgets* aWidgets);
    static IVexilControlWidgets& Current();
    // The in-memory default.
    static IVexilControlWidgets& InMemory();
};
