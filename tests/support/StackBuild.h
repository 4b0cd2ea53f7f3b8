#pragma once

#include "foundation/VexilObject.h"
#include "model/VexilBlob.h"
#include "model/VexilBlobStore.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackViewRec.h"

#include <QDir>
#include <functional>

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

// A card of aBackground, last in the stack's order.
inline TCardRef NewCard(CVexilStack& aStack, const QString& aName, const TControlSetRef& aBackground)
{
    auto card = std::make_shared<CVexilCard>();
    card->Construct(aName, aBackground);
    TCardRef before;
    aStack.AddCard(card, before, false);
    return card;
}

// A blob holding aBytes in the stack's store; aId 0 takes a new id.
inline TBlobRef NewBlob(CVexilStack& aStack, const QByteArray& aBytes, int32_t aId = 0)
{
    auto blob = std::make_shared<CVexilBlob>();
    blob->Construct(aId != 0 ? aId : aStack.IdGen().NextId());
    blob->SetBytes(aBytes);
    aStack.BlobStore()->AddBlob(blob);
    return blob;
}

// Saves aStack as aPath with a plain stack view record that aView may set; the path in native
// separators.
inline QString SaveStackFile(const TStackRef& aStack, const QString& aPath,
                             const std::function<void(CVexilStackViewRec&)>& aView = {})
{
    auto rec = std::make_shared<CVexilStackViewRec>();
    rec->Contruct(QStringLiteral("View"));
    if (aView)
        aView(*rec);
    CVexilStackFile file;
    file.Construct(aPath);
    file.SaveStack(aStack, rec);
    return QDir::toNativeSeparators(aPath);
}
