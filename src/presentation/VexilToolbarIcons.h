#pragma once

#include "platform/VexilImageList.h"

// The toolbar image list of the main window (fToolbarIcons): one 16 x 16 picture for each of
// the keys "NewStack", "OpenStack", "SaveStack", "FirstCard", "PrevCard", "NextCard",
// "LastCard", "BackInHistory", "ForwInHistory", "EditStack", "EditBackgrounds", "EditCards",
// "EditControls", "ShowCardList" and "SelectCard", in this order. Picture buttons of the card
// window show the pictures of the card commands.
class CVexilToolbarIcons
{
public:
    static constexpr int KSide = 16;

    static CVexilImageList Make();
};
