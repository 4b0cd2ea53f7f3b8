#pragma once

#include "platform/VexilImageList.h"

// The pictures of the message classes (fDivImages): one KSide x KSide icon for each of the
// keys "Critical", "Exclamation", "Question" and "Info" (CVexilMsg::ClassKey), in this order,
// drawn from the style's message box icons. Made on first use, once an application runs.
class CVexilDivImages
{
public:
    static constexpr int KSide = 32;

    static const CVexilImageList& Images();
};
