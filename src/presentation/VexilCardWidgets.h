#pragma once

#include "model/VexilControlWidgets.h"

// What fields make for showing themselves once the presentation runs: list boxes on the card
// window's widgets (CVexilListBox), the renderer of wiki text fields (CVexilWikiTextBox) and
// the average character width measured at start-up.
class CVexilCardWidgets final : public IVexilControlWidgets
{
public:
    // Start-up of the presentation: measures the layout metrics (CVexilLibUi::InitLib) and
    // installs these widgets for the fields. Runs before any stack is built or read, since
    // fields make their list boxes when they are made.
    static void Start();

    std::unique_ptr<IVexilListBoxLink> NewListBox(int32_t aLisType) override;
    std::unique_ptr<IVexilWikiTextLink> NewWikiTextBox() override;
    float AvgCharWidth() const override;
};
