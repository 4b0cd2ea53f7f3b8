#pragma once

#include "model/VexilCard.h"
#include "platform/VexilForm.h"

#include <QPointer>

#include <cstdint>
#include <memory>

class CVexilArray;
class CVexilFont;

// The answers of the pickers. A window that opens a picker implements the answer it asks for;
// aCase is the number it gave the picker, handed back unchanged.

// The card picker's answer: the card chosen.
class IVexilCardSelectCaller
{
public:
    virtual void SetCard(const TCardRef& aCard, int16_t aCase) = 0;

protected:
    ~IVexilCardSelectCaller() = default;
};

// The field picker's answer: the ids of the fields chosen, in the background's display order,
// or none when no field was chosen.
class IVexilControlSelectCaller
{
public:
    virtual void SetControls(const std::shared_ptr<CVexilArray>& aIds, int16_t aCase) = 0;

protected:
    ~IVexilControlSelectCaller() = default;
};

// The font picker's answer: a new font that belongs to the caller from then on.
class IVexilFontSelectCaller
{
public:
    virtual void SetFont(const std::shared_ptr<CVexilFont>& aFont, int16_t aCase) = 0;

protected:
    ~IVexilFontSelectCaller() = default;
};

// True while the window is the loaded instance of its class in the form registry: a window
// that was unloaded (and perhaps not yet destroyed) is closed.
bool IsLoadedForm(const CVexilForm* aForm);

// A picker's caller, held without owning it: it gives the caller only while the caller's
// window exists and is loaded, so a picker never calls a window that is gone or closed.
// A caller that is no window of the program is never given back.
template <class TCaller>
class TVexilPickerCaller
{
public:
    // None forgets the caller.
    void Set(TCaller* aCaller)
    {
        iCaller = aCaller;
        iForm = dynamic_cast<CVexilForm*>(aCaller);
    }
    void Clear() { Set(nullptr); }
    TCaller* Get() const { return IsLoadedForm(iForm.data()) ? iCaller : nullptr; }
    // The caller's window, none as for Get.
    CVexilForm* Form() const { return Get() ? iForm.data() : nullptr; }

private:
    TCaller* iCaller = nullptr;
    QPointer<CVexilForm> iForm;
};
