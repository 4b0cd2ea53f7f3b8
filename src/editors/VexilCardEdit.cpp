#include "editors/VexilCardEdit.h"

#include "foundation/VexilFont.h"
#include "platform/VexilFormRegistry.h"

CVexilCardEdit::CVexilCardEdit() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Edit Cards"));
}

CVexilCardEdit::~CVexilCardEdit() = default;

void CVexilCardEdit::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilCardEdit; });
}

void CVexilCardEdit::SetFont(const std::shared_ptr<CVexilFont>& /*aFont*/, int16_t /*aCase*/) {}
void CVexilCardEdit::SetCard(const TCardRef& /*aCard*/, int16_t /*aCase*/) {}
void CVexilCardEdit::SetAndShowCard(const TCardRef& /*aCard*/) {}
void CVexilCardEdit::NewCard(const TControlSetRef& /*aBackground*/) {}
void CVexilCardEdit::ChangeNotify(int32_t /*aEvent*/, const TObjRef& /*aObj0*/, const TObjRef& /*aObj1*/) {}
void CVexilCardEdit::Load() {}
