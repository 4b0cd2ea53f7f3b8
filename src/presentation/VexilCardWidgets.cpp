#include "presentation/VexilCardWidgets.h"

#include "presentation/VexilLibUi.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilWikiTextBox.h"

void CVexilCardWidgets::Start()
{
    static CVexilCardWidgets widgets;
    CVexilLibUi::InitLib();
    CVexilControlWidgets::Install(&widgets);
}

std::unique_ptr<IVexilListBoxLink> CVexilCardWidgets::NewListBox(int32_t aLisType)
{
    auto box = std::make_unique<CVexilListBox>();
    box->Construct(aLisType);
    return box;
}

std::unique_ptr<IVexilWikiTextLink> CVexilCardWidgets::NewWikiTextBox()
{
    return std::make_unique<CVexilWikiTextBox>();
}

float CVexilCardWidgets::AvgCharWidth() const
{
    return CVexilLibUi::AvgCharWidth();
}
