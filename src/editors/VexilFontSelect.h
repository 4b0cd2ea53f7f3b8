#pragma once

#include "editors/VexilFontChain.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "platform/VexilCtls.h"
#include "presentation/VexilManagedForm.h"
#include "presentation/VexilPickerCallers.h"

#include <array>
#include <cstdint>
#include <memory>

class CVexilFont;

// The font picker "Select Font": edits the font of one level of the chain stack > background >
// card > field for the caller of the last SelectFont. It shows the font of every level up to
// the edited one, the resulting font and a sample in it; "Save" hands a new font of the inputs
// to the caller (then no caller is attached and the picker hides), "Cancel" unloads it.
//
// A point size is refused with a message, the focus kept in the box and nothing saved, unless
// it is empty or a positive number of 1 to 32767 twentieths of a point. A caller whose window
// is gone or closed is never called. The face-name warning shows once, then the option
// SuppressFontInfo is on and stored.
class CVexilFontSelect final : public CVexilManagedForm, public IVexilCardSelectCaller
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilFontSelect");
    static inline const QString KSampleText = QStringLiteral("The quick brown fox jumps over the lazy dog");

    CVexilFontSelect();

    // Registers the class with the form registry (again is harmless).
    static void Register();
    // The one instance, made now when it does not exist.
    static CVexilFontSelect* Instance();

    // The card picker's answer: the sample card (case 0 only).
    void SetCard(const TCardRef& aCard, int16_t aCase) override;
    // Shows the chain, the resulting font and the sample again.
    void ShowFonts();
    // Starts editing the font of aLevel (an EFontLevel) for aCaller, filling the inputs from
    // aFont (none: empty). At the field level without a card the sample card is the first card
    // of the background.
    void SelectFont(IVexilFontSelectCaller* aCaller, int16_t aCase, int32_t aLevel, const TControlSetRef& aBackground,
                    const TCardRef& aCard, const TControlRef& aControl, const CVexilFont* aFont);
    // Closing the stack unloads the window.
    void ChangeNotify(int32_t aEvent, const TObjRef& aObj0, const TObjRef& aObj1) override;
    bool Sizable() const override { return false; }

    // The resulting font last shown.
    const std::shared_ptr<CVexilFont>& ResultFont() const { return iResult; }

    CVexilTextBox* fFontName = nullptr;
    CVexilTextBox* fFontSize = nullptr;
    CVexilCheckBox* fBold = nullptr;
    CVexilCheckBox* fItalic = nullptr;
    CVexilCheckBox* fUnderline = nullptr;
    CVexilLabel* fFontColor = nullptr;
    CVexilCommandButton* fSelectColorBut = nullptr;
    CVexilCommandButton* fClearColorBut = nullptr;
    CVexilCommandButton* fShowFontBut = nullptr;
    CVexilCommandButton* fFontDialogBut = nullptr;
    CVexilTextBox* fDefaultFontName = nullptr;
    CVexilTextBox* fDefaultFontSize = nullptr;
    // One row per level: stack, background, card, control.
    struct TLevelRow
    {
        CVexilLabel* Label = nullptr;
        CVexilTextBox* Name = nullptr;
        CVexilTextBox* Size = nullptr;
        CVexilLabel* Color = nullptr;
    };
    std::array<TLevelRow, 4> fLevels;
    CVexilCommandButton* fSelectCardBut = nullptr;
    CVexilTextBox* fResultFontName = nullptr;
    CVexilTextBox* fResultFontSize = nullptr;
    CVexilLabel* fResultFontColor = nullptr;
    CVexilLabel* fFontSample = nullptr;
    CVexilCommandButton* fSelectFontBut = nullptr;
    CVexilCommandButton* fCancelBut = nullptr;

protected:
    void Load() override;
    void Activated() override;

private:
    void SetUp();
    void ShowInputFont(const CVexilFont* aFont);
    TFontInput Input() const;
    void EnableButtons();
    void CheckFaceName();
    void FontDialog();
    void SelectCard();
    void Save();

    TVexilPickerCaller<IVexilFontSelectCaller> iCaller;
    int16_t iCase = UndefInt;
    int32_t iLevel = ELevelStack;
    TControlSetRef iBackground;
    TCardRef iCard;
    TControlRef iControl;
    int32_t iColor = UndefLong;
    bool iLoading = false;
    bool iLoaded = false;
    std::shared_ptr<CVexilFont> iResult;
};
