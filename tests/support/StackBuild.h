#pragma once

#include "foundation/VexilObject.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"

#include <memory>

// Builds the parts of a test stack the way the editors do: a new id from the stack's generator.
inline TControlSetRef NewBackground(CVexilStack& aStack, const QString& aName)
{
    auto background = std::make_shared<CVexilControlSet>();
    background->Construct(aName, aStack.IdGen().NextId());
    aStack.AddBackground(background);
    return background;
}

inline TControlRef NewField(CVexilStack& aStack, CVexilControlSet& aBackground, const QString& aName, int32_t aType)
{
    auto control = std::make_shared<CVexilControl>();
    control->Construct(aStack.IdGen().NextId(), aName, aType);
    aBackground.AddControl(control, UndefLong);
    return control;
}
