#include "importexport/VexilTargetBackground.h"

#include "foundation/VexilMsg.h"
#include "model/VexilStack.h"
#include "presentation/VexilStackView.h"

TControlSetRef CVexilTargetBackground::Find(int32_t aId, const QString& aName)
{
    TControlSetRef background = gStack && aId != UndefLong ? gStack->Background(aId) : nullptr;
    if (!background)
        CVexilMsg::Show(EMsgBackgroundNotFound, EMsgClsExclamation, aName);
    return background;
}
