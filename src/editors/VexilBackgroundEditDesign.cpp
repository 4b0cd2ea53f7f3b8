#include "editors/VexilBackgroundEdit.h"

#include "platform/VexilFormRegistry.h"

#include <QGroupBox>

// The window's design in twips: backgrounds and their cards on the left, the background's
// inputs on the right, the buttons below them; and the wiring of the events to the handlers.

namespace
{
constexpr float kMargin = 120;
constexpr float kFrameTop = 300;
constexpr float kBoxHeight = 315;
constexpr float kCaptionHeight = 255;
constexpr float kCheckHeight = 270;
constexpr float kButtonHeight = 375;
constexpr float kRow = 390;
constexpr float kGap = 60;

constexpr float kLeftWidth = 2760;
constexpr float kRightLeft = kMargin + kLeftWidth + kMargin;
constexpr float kRightWidth = 6480;
constexpr float kClientWidth = kRightLeft + kRightWidth + kMargin;
constexpr float kCaptionWidth = 1140;

constexpr float kFlagsTop = 1290;
constexpr float kFlagRow = 300;
constexpr float kFlagRows = 4;
constexpr float kSmallFrameHeight = kFrameTop + kBoxHeight + kMargin;
constexpr float kSortKeyTop = kFlagsTop + kFlagRows * kFlagRow + kGap;
constexpr float kHalfWidth = (kRightWidth - kGap) / 2;
constexpr float kFontTop = kSortKeyTop + kSmallFrameHeight + kGap;
constexpr float kFontHeight = kFrameTop + 2 * kRow;
constexpr float kColorTop = kFontTop + kFontHeight + kGap;
constexpr float kButtonTop = kColorTop + kSmallFrameHeight + kMargin;
constexpr float kClientHeight = kButtonTop + kButtonHeight + kMargin;

constexpr float kBackgroundFrameHeight = 2160;
constexpr float kCardFrameTop = kMargin + kBackgroundFrameHeight + kGap;
constexpr float kCardFrameHeight = kClientHeight - kMargin - kCardFrameTop;
constexpr float kInnerWidth = kLeftWidth - 2 * kMargin;
constexpr float kSmallButton = 1080;

// The seven flag boxes in the order of the background's flags, placed in two columns.
struct TFlagBox
{
    const char* Name;
    const char* Caption;
    int32_t Bit;
    int Column;
    int Row;
};
constexpr TFlagBox kFlagBoxes[] = {
    {"fCardNameInList", "Card name in list?", ECseCardNameInList, 0, 0},
    {"fKeepCardsSorted", "Keep cards sorted?", ECseKeepCardsSorted, 1, 0},
    {"fShowWallPaper", "Show wallpaper?", ECseShowWallPaper, 1, 1},
    {"fTileWallPaper", "Tile wallpaper?", ECseTileWallPaper, 1, 2},
    {"fShowCardName", "Show card name?", ECseShowCardName, 0, 1},
    {"fScrollable", "Scrollable?", ECseScrollable, 0, 2},
    {"fDenseLayout", "Dense layout?", ECseDenseLayout, 0, 3},
};

}  // namespace

CVexilBackgroundEdit::CVexilBackgroundEdit() : CVexilManagedForm(KClassName)
{
    SetCaption(QStringLiteral("Edit Backgrounds"));
    setFixedSize(CVexilCtl::TwipsToPixels(kClientWidth), CVexilCtl::TwipsToPixels(kClientHeight));
    BuildDesign();
    ConnectEvents();
    iBackgroundList.Construct(ELisSingle);
    iCardList.Construct(ELisSingle);
    iSortKeyList.Construct(ELisCombo);
}

CVexilBackgroundEdit::~CVexilBackgroundEdit()
{
    // The lists point at widgets that go with the window.
    iBackgroundList.SetBaseObj(nullptr);
    iCardList.SetBaseObj(nullptr);
    iSortKeyList.SetBaseObj(nullptr);
}

void CVexilBackgroundEdit::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilBackgroundEdit; });
}

void CVexilBackgroundEdit::BuildDesign()
{
    auto caption = [this](const QString& aName, const QString& aText, QWidget* aParent, float aLeft, float aTop,
                          float aWidth) {
        auto* label = Add<CVexilLabel>(aName, aParent);
        label->setText(aText);
        label->Move(aLeft, aTop + (kBoxHeight - kCaptionHeight) / 2, aWidth, kCaptionHeight);
    };
    auto textBox = [this](const QString& aName, QWidget* aParent, float aLeft, float aTop, float aWidth) {
        auto* box = Add<CVexilTextBox>(aName, aParent);
        box->Move(aLeft, aTop, aWidth, kBoxHeight);
        return box;
    };
    auto button = [this](const QString& aName, const QString& aText, QWidget* aParent, float aLeft, float aTop,
                         float aWidth) {
        auto* made = Add<CVexilCommandButton>(aName, aParent);
        made->setText(aText);
        made->Move(aLeft, aTop, aWidth, kButtonHeight);
        // A click leaves the focus where it is: the button's handler checks the input itself.
        made->setFocusPolicy(Qt::TabFocus);
        made->setAutoDefault(false);
        return made;
    };
    auto sample = [this](const QString& aName, QWidget* aParent, float aLeft, float aTop) {
        auto* label = Add<CVexilLabel>(aName, aParent);
        label->Move(aLeft, aTop, 600, kBoxHeight);
        label->setFrameShape(QFrame::Box);
        return label;
    };

    // Left: the backgrounds and the cards of the one shown.
    QGroupBox* frame = TwipsFrame(this, QStringLiteral("fBackgroundFrame"), QStringLiteral("Backgrounds"), kMargin,
                             kMargin, kLeftWidth, kBackgroundFrameHeight);
    fBackgroundBox = Add<CVexilListView>(QStringLiteral("fBackgroundBox"), frame);
    fBackgroundBox->Move(kMargin, kFrameTop, kInnerWidth, kBackgroundFrameHeight - kFrameTop - kMargin);
    frame = TwipsFrame(this, QStringLiteral("fCardFrame"), QStringLiteral("Cards of background"), kMargin, kCardFrameTop,
                  kLeftWidth, kCardFrameHeight);
    const float cardButtonsTop = kCardFrameHeight - kMargin - 2 * kButtonHeight - kGap;
    fCardBox = Add<CVexilListView>(QStringLiteral("fCardBox"), frame);
    fCardBox->Move(kMargin, kFrameTop, kInnerWidth, cardButtonsTop - kGap - kFrameTop);
    const float halfInner = (kInnerWidth - kGap) / 2;
    fEditCardBut = button(QStringLiteral("fEditCardBut"), QStringLiteral("Edit Card..."), frame, kMargin,
                          cardButtonsTop, halfInner);
    fShowCardBut = button(QStringLiteral("fShowCardBut"), QStringLiteral("Show Card"), frame,
                          kMargin + halfInner + kGap, cardButtonsTop, halfInner);
    fDeleteCardsBut = button(QStringLiteral("fDeleteCardsBut"), QStringLiteral("Delete Cards..."), frame, kMargin,
                             cardButtonsTop + kButtonHeight + kGap, kInnerWidth);

    // Right: the background shown.
    fModeText = Add<CVexilLabel>(QStringLiteral("fModeText"));
    fModeText->Move(kRightLeft, kMargin, kRightWidth, kCaptionHeight);
    QFont bold = fModeText->font();
    bold.setBold(true);
    fModeText->setFont(bold);
    caption(QStringLiteral("fNameLabel"), QStringLiteral("Name:"), this, kRightLeft, 480, kCaptionWidth);
    fName = textBox(QStringLiteral("fName"), this, kRightLeft + kCaptionWidth, 480, kRightWidth - kCaptionWidth);
    caption(QStringLiteral("fDescrLabel"), QStringLiteral("Description:"), this, kRightLeft, 870, kCaptionWidth);
    fDescr = textBox(QStringLiteral("fDescr"), this, kRightLeft + kCaptionWidth, 870, kRightWidth - kCaptionWidth);

    for (const TFlagBox& flag : kFlagBoxes)
    {
        auto* box = Add<CVexilCheckBox>(QLatin1String(flag.Name));
        box->setText(QLatin1String(flag.Caption));
        box->Move(kRightLeft + float(flag.Column) * kHalfWidth + float(flag.Column) * kGap,
                  kFlagsTop + float(flag.Row) * kFlagRow, kHalfWidth, kCheckHeight);
        iFlagChecks.emplace_back(box, flag.Bit);
    }
    fCardNameInList = iFlagChecks[0].first;
    fKeepCardsSorted = iFlagChecks[1].first;
    fShowWallPaper = iFlagChecks[2].first;
    fTileWallPaper = iFlagChecks[3].first;
    fShowCardName = iFlagChecks[4].first;
    fScrollable = iFlagChecks[5].first;
    fDenseLayout = iFlagChecks[6].first;

    frame = TwipsFrame(this, QStringLiteral("fSortKeyFrame"), QStringLiteral("Sort key"), kRightLeft, kSortKeyTop,
                  kHalfWidth, kSmallFrameHeight);
    fSortKeyCombo = Add<CVexilComboBox>(QStringLiteral("fSortKeyCombo"), frame);
    fSortKeyCombo->Move(kMargin, kFrameTop, kHalfWidth - 2 * kMargin, kBoxHeight);
    frame = TwipsFrame(this, QStringLiteral("fWallPaperFrame"), QStringLiteral("Wallpaper"), kRightLeft + kHalfWidth + kGap,
                  kSortKeyTop, kHalfWidth, kSmallFrameHeight);
    constexpr float kWallButton = 900;
    const float idWidth = kHalfWidth - 2 * kMargin - 2 * (kWallButton + kGap);
    fWallPaperId = textBox(QStringLiteral("fWallPaperId"), frame, kMargin, kFrameTop, idWidth);
    fWallPaperBut = button(QStringLiteral("fWallPaperBut"), QStringLiteral("Select..."), frame,
                           kMargin + idWidth + kGap, kFrameTop - 30, kWallButton);
    fClearWallPaperBut = button(QStringLiteral("fClearWallPaperBut"), QStringLiteral("Clear"), frame,
                                kMargin + idWidth + kGap + kWallButton + kGap, kFrameTop - 30, kWallButton);

    frame = TwipsFrame(this, QStringLiteral("fFontFrame"), QStringLiteral("Font"), kRightLeft, kFontTop, kRightWidth,
                  kFontHeight);
    constexpr float kFontCaption = 720;
    // The size box keeps its width at the right edge; the name box takes the rest.
    constexpr float kSizeWidth = 780;
    constexpr float kSizeCaption = 540;
    constexpr float kSizeLeft = kRightWidth - kMargin - kSizeWidth;
    caption(QStringLiteral("fFontNameLabel"), QStringLiteral("Name:"), frame, kMargin, kFrameTop, kFontCaption);
    fFontName = textBox(QStringLiteral("fFontName"), frame, kMargin + kFontCaption, kFrameTop,
                        kSizeLeft - kSizeCaption - 3 * kGap - kMargin - kFontCaption);
    caption(QStringLiteral("fFontSizeLabel"), QStringLiteral("Size:"), frame, kSizeLeft - kSizeCaption, kFrameTop,
            kSizeCaption);
    fFontSize = textBox(QStringLiteral("fFontSize"), frame, kSizeLeft, kFrameTop, kSizeWidth);
    caption(QStringLiteral("fFontColorLabel"), QStringLiteral("Color:"), frame, kMargin, kFrameTop + kRow,
            kFontCaption);
    fFontColor = sample(QStringLiteral("fFontColor"), frame, kMargin + kFontCaption, kFrameTop + kRow);
    fSelectFontBut = button(QStringLiteral("fSelectFontBut"), QStringLiteral("Select..."), frame,
                            kRightWidth - kMargin - kSmallButton, kFrameTop + kRow - 30, kSmallButton);

    frame = TwipsFrame(this, QStringLiteral("fColorFrame"), QStringLiteral("Color"), kRightLeft, kColorTop, kRightWidth,
                  kSmallFrameHeight);
    fColorSample = sample(QStringLiteral("fColorSample"), frame, kMargin, kFrameTop);
    fSelectColorBut = button(QStringLiteral("fSelectColorBut"), QStringLiteral("Select..."), frame,
                             kRightWidth - 2 * kMargin - 2 * kSmallButton + kGap, kFrameTop - 30, kSmallButton);
    fClearColorBut = button(QStringLiteral("fClearColorBut"), QStringLiteral("Clear"), frame,
                            kRightWidth - kMargin - kSmallButton, kFrameTop - 30, kSmallButton);

    // Below the inputs: the background's own commands.
    constexpr int kButtons = 7;
    const float width = (kRightWidth - (kButtons - 1) * kGap) / kButtons;
    float left = kRightLeft;
    auto rowButton = [&](const QString& aName, const QString& aText) {
        CVexilCommandButton* made = button(aName, aText, this, left, kButtonTop, width);
        left += width + kGap;
        return made;
    };
    fNewBut = rowButton(QStringLiteral("fNewBut"), QStringLiteral("New"));
    fCreateBut = rowButton(QStringLiteral("fCreateBut"), QStringLiteral("Create"));
    fModifyBut = rowButton(QStringLiteral("fModifyBut"), QStringLiteral("Modify"));
    fDeleteBut = rowButton(QStringLiteral("fDeleteBut"), QStringLiteral("Delete"));
    fScriptBut = rowButton(QStringLiteral("fScriptBut"), QStringLiteral("Script..."));
    fShowControlsBut = rowButton(QStringLiteral("fShowControlsBut"), QStringLiteral("Fields..."));
    fHelpBut = rowButton(QStringLiteral("fHelpBut"), QStringLiteral("Help"));
}

void CVexilBackgroundEdit::ConnectEvents()
{
    auto on = [this](void (CVexilBackgroundEdit::*aHandler)()) {
        return [this, aHandler] { Guarded([this, aHandler] { (this->*aHandler)(); }); };
    };
    connect(fBackgroundBox, &QTreeWidget::itemClicked, this, on(&CVexilBackgroundEdit::BackgroundClicked));
    connect(fCardBox, &QTreeWidget::itemDoubleClicked, this, on(&CVexilBackgroundEdit::EditCardClicked));
    // Also when the window sets the box: the combo box follows it.
    connect(fKeepCardsSorted, &QCheckBox::toggled, this, on(&CVexilBackgroundEdit::KeepSortedToggled));
    const std::pair<QPushButton*, void (CVexilBackgroundEdit::*)()> clicks[] = {
        {fNewBut, &CVexilBackgroundEdit::NewClicked},
        {fCreateBut, &CVexilBackgroundEdit::CreateClicked},
        {fModifyBut, &CVexilBackgroundEdit::ModifyClicked},
        {fDeleteBut, &CVexilBackgroundEdit::DeleteClicked},
        {fDeleteCardsBut, &CVexilBackgroundEdit::DeleteCardsClicked},
        {fWallPaperBut, &CVexilBackgroundEdit::WallPaperClicked},
        {fClearWallPaperBut, &CVexilBackgroundEdit::ClearWallPaperClicked},
        {fSelectFontBut, &CVexilBackgroundEdit::SelectFontClicked},
        {fSelectColorBut, &CVexilBackgroundEdit::SelectColorClicked},
        {fClearColorBut, &CVexilBackgroundEdit::ClearColorClicked},
        {fScriptBut, &CVexilBackgroundEdit::ScriptClicked},
        {fShowControlsBut, &CVexilBackgroundEdit::ShowControlsClicked},
        {fEditCardBut, &CVexilBackgroundEdit::EditCardClicked},
        {fShowCardBut, &CVexilBackgroundEdit::ShowCardClicked},
        {fHelpBut, &CVexilBackgroundEdit::HelpClicked},
    };
    for (const auto& [clicked, handler] : clicks)
        connect(clicked, &QPushButton::clicked, this, on(handler));
    CheckOnLeave(fName, [this] { NameLeft(); });
}
