#include "presentation/VexilPickerCallers.h"

#include "platform/VexilForm.h"
#include "platform/VexilFormRegistry.h"

bool IsLoadedForm(const CVexilForm* aForm)
{
    if (!aForm)
        return false;
    for (const QString& name : CVexilFormRegistry::LoadOrder())
        if (CVexilFormRegistry::Loaded(name) == aForm)
            return true;
    return false;
}
