#include "editors/VexilControlEdit.h"

#include "foundation/VexilDialogLib.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilLowLevelUi.h"
#include "presentation/VexilFormPlacement.h"
#include "presentation/VexilListBox.h"
#include "presentation/VexilStackView.h"

#include <QGroupBox>
#include <QKeySequence>
#include <QShortcut>

#include <array>

// The window's design: its frames, pages and controls in twips, and the wiring of their
// events to the handlers.

namespace
{
constexpr int kMargin = 120;
constexpr int kBoxHeight = 315;
constexpr int kCheckHeight = 270;
constexpr int kButtonHeight = 375;
constexpr int kCaptionHeight = 255;
constexpr int kRow = 390;
// Inside a frame the first row starts below its title.
constexpr int kFrameTop = 300;

constexpr int kLeftColumn = kMargin;
constexpr int kLeftWidth = 2760;
constexpr int kMiddleColumn = kLeftColumn + kLeftWidth + kMargin;
constexpr int kMiddleWidth = 4260;
constexpr int kRightColumn = kMiddleColumn + kMiddleWidth + kMargin;
constexpr int kRightWidth = 4800;
constexpr int kFormWidth = kRightColumn + kRightWidth + kMargin;
constexpr int kButtonTop = 8160;
constexpr int kFormHeight = kButtonTop + kButtonHeight + kMargin;

// Colours of the lists: backgrounds dark blue, fields green, cards brown.
constexpr int32_t kBackgroundColor = 0 | (0 << 8) | (204 << 16);
constexpr int32_t kControlColor = 0 | (176 << 8) | (0 << 16);
constexpr int32_t kCardColor = 204 | (102 << 8) | (0 << 16);

int Px(int aTwips)
{
    return CVexilCtl::TwipsToPixels(float(aTwips));
}
}  // namespace

CVexilTabCtl::CVexilTabCtl(QWidget* aParent) : QTabWidget(aParent), CVexilCtl(this, QPalette::Window)
{
}

CVexilControlEdit::CVexilControlEdit() : CVexilManagedForm(KClassName)
{
    setWindowTitle(QStringLiteral("Edit Fields and Controls"));
    setFixedSize(Px(kFormWidth), Px(kFormHeight));
    BuildDesign();
    ConnectEvents();
    Guarded([this] { Initialise(); });
}

CVexilControlEdit::~CVexilControlEdit() = default;

void CVexilControlEdit::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilControlEdit; });
}

QGroupBox* CVexilControlEdit::AddFrame(const QString& aName, const QString& aTitle, QWidget* aParent, int aLeft,
                                       int aTop, int aWidth, int aHeight)
{
    auto* frame = new QGroupBox(aTitle, aParent ? aParent : this);
    frame->setObjectName(aName);
    frame->setGeometry(Px(aLeft), Px(aTop), Px(aWidth), Px(aHeight));
    return frame;
}

template <class T>
T* CVexilControlEdit::AddAt(const QString& aName, QWidget* aParent, int aLeft, int aTop, int aWidth, int aHeight)
{
    T* control = Add<T>(aName, aParent);
    control->Move(float(aLeft), float(aTop), float(aWidth), float(aHeight));
    return control;
}

CVexilLabel* CVexilControlEdit::AddCaption(const QString& aName, const QString& aCaption, QWidget* aParent, int aLeft,
                                           int aTop, int aWidth)
{
    auto* label = AddAt<CVexilLabel>(aName, aParent, aLeft, aTop + (kBoxHeight - kCaptionHeight) / 2, aWidth,
                                     kCaptionHeight);
    label->setText(aCaption);
    return label;
}

CVexilCheckBox* CVexilControlEdit::AddFlagBox(const QString& aName, QWidget* aParent, int aLeft, int aTop, int aWidth)
{
    auto* box = AddAt<CVexilCheckBox>(aName, aParent, aLeft, aTop, aWidth, kCheckHeight);
    for (const TFlagCheck& check : CVexilControlTypeRules::FlagChecks())
        if (check.Box == aName)
        {
            box->setText(check.Caption);
            iFlagChecks.emplace_back(box, check.Bit);
        }
    return box;
}

CVexilCommandButton* CVexilControlEdit::AddButton(const QString& aName, const QString& aCaption, QWidget* aParent,
                                                  int aLeft, int aTop, int aWidth)
{
    auto* button = AddAt<CVexilCommandButton>(aName, aParent, aLeft, aTop, aWidth, kButtonHeight);
    button->setText(aCaption);
    // A click leaves the focus where it is, so that the checks of the input being left run
    // once, in the button's handler.
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    return button;
}

void CVexilControlEdit::BuildDesign()
{
    // Left: the backgrounds and their fields.
    QGroupBox* frame = AddFrame(QStringLiteral("fBackgroundFrame"), QStringLiteral("Background"), nullptr, kLeftColumn,
                                kMargin, kLeftWidth, 2100);
    fBackgroundBox = AddAt<CVexilListView>(QStringLiteral("fBackgroundBox"), frame, kMargin, kFrameTop,
                                           kLeftWidth - 2 * kMargin, 2100 - kFrameTop - kMargin);
    frame = AddFrame(QStringLiteral("fControlFrame"), QStringLiteral("Fields of background"), nullptr, kLeftColumn, 2340,
                     kLeftWidth, kButtonTop - 2340 - kMargin);
    fControlBox = AddAt<CVexilListView>(QStringLiteral("fControlBox"), frame, kMargin, kFrameTop,
                                        kLeftWidth - 2 * kMargin, kButtonTop - 2340 - kMargin - kFrameTop - kMargin);

    // Middle: what every field has.
    constexpr int kCaptionWidth = 1500;
    constexpr int kInputLeft = kMargin + kCaptionWidth;
    constexpr int kInputWidth = kMiddleWidth - kInputLeft - kMargin;
    constexpr int kNumberWidth = 600;
    int top = kMargin;
    int height = kFrameTop + 6 * kRow + 60;
    frame = AddFrame(QStringLiteral("fBasicInfoFrame"), QStringLiteral("Basic info"), nullptr, kMiddleColumn, top,
                     kMiddleWidth, height);
    int row = kFrameTop;
    AddCaption(QStringLiteral("fNameLabel"), QStringLiteral("Name:"), frame, kMargin, row, kCaptionWidth);
    fName = AddAt<CVexilTextBox>(QStringLiteral("fName"), frame, kInputLeft, row, kInputWidth, kBoxHeight);
    row += kRow;
    AddCaption(QStringLiteral("fLabelLabel"), QStringLiteral("Label:"), frame, kMargin, row, kCaptionWidth);
    fLabel = AddAt<CVexilTextBox>(QStringLiteral("fLabel"), frame, kInputLeft, row, kInputWidth, kBoxHeight);
    row += kRow;
    AddCaption(QStringLiteral("fDescrLabel"), QStringLiteral("Description:"), frame, kMargin, row, kCaptionWidth);
    fDescr = AddAt<CVexilTextBox>(QStringLiteral("fDescr"), frame, kInputLeft, row, kInputWidth, kBoxHeight);
    row += kRow;
    fTypeComboLabel = AddCaption(QStringLiteral("fTypeComboLabel"), QStringLiteral("Type:"), frame, kMargin, row,
                                 kCaptionWidth);
    fTypeCombo = AddAt<CVexilComboBox>(QStringLiteral("fTypeCombo"), frame, kInputLeft, row, 1800, kBoxHeight);
    row += kRow;
    AddCaption(QStringLiteral("fVisLinesLabel"), QStringLiteral("Visible height:"), frame, kMargin, row, kCaptionWidth);
    fVisLines = AddAt<CVexilTextBox>(QStringLiteral("fVisLines"), frame, kInputLeft, row, kNumberWidth, kBoxHeight);
    AddCaption(QStringLiteral("fVisLinesUnit"), QStringLiteral("lines"), frame, kInputLeft + kNumberWidth + 90, row,
               1000);
    row += kRow;
    AddCaption(QStringLiteral("fVisCharLabel"), QStringLiteral("Visible width:"), frame, kMargin, row, kCaptionWidth);
    fVisChar = AddAt<CVexilTextBox>(QStringLiteral("fVisChar"), frame, kInputLeft, row, kNumberWidth, kBoxHeight);
    AddCaption(QStringLiteral("fVisCharUnit"), QStringLiteral("characters"), frame, kInputLeft + kNumberWidth + 90,
               row, 1000);

    top += height + 60;
    height = kFrameTop + 4 * 300 + 60;
    frame = AddFrame(QStringLiteral("fGeneralFlagsFrame"), QStringLiteral("General flags"), nullptr, kMiddleColumn, top,
                     kMiddleWidth, height);
    row = kFrameTop;
    for (const char* name : {"fMaxHeight", "fFromBottom", "fDisabled", "fInCardView"})
    {
        AddFlagBox(QLatin1String(name), frame, kMargin, row, kMiddleWidth - 2 * kMargin);
        row += 300;
    }

    top += height + 60;
    height = kFrameTop + kRow + 30;
    frame = AddFrame(QStringLiteral("fDefaultValFrame"), QStringLiteral("Default value"), nullptr, kMiddleColumn, top,
                     kMiddleWidth, height);
    fDefaultVal = AddAt<CVexilTextBox>(QStringLiteral("fDefaultVal"), frame, kMargin, kFrameTop,
                                       kMiddleWidth - 2 * kMargin, kBoxHeight);

    top += height + 60;
    const int fontHeight = kFrameTop + 2 * kRow + 30;
    frame = AddFrame(QStringLiteral("fFontFrame"), QStringLiteral("Font"), nullptr, kMiddleColumn, top, kMiddleWidth,
                     fontHeight);
    constexpr int kFontCaption = 720;
    AddCaption(QStringLiteral("fFontNameLabel"), QStringLiteral("Name:"), frame, kMargin, kFrameTop, kFontCaption);
    fFontName = AddAt<CVexilTextBox>(QStringLiteral("fFontName"), frame, kMargin + kFontCaption, kFrameTop, 1980,
                                     kBoxHeight);
    AddCaption(QStringLiteral("fFontSizeLabel"), QStringLiteral("Size:"), frame, 2940, kFrameTop, 540);
    fFontSize = AddAt<CVexilTextBox>(QStringLiteral("fFontSize"), frame, 3480, kFrameTop, 660, kBoxHeight);
    AddCaption(QStringLiteral("fFontForeLabel"), QStringLiteral("Color:"), frame, kMargin, kFrameTop + kRow,
               kFontCaption);
    fFontColor = AddAt<CVexilLabel>(QStringLiteral("fFontColor"), frame, kMargin + kFontCaption, kFrameTop + kRow, 600,
                                    kBoxHeight);
    fFontColor->setFrameShape(QFrame::Box);
    fSelectFontBut = AddButton(QStringLiteral("fSelectFontBut"), QStringLiteral("Select..."), frame, 3060,
                               kFrameTop + kRow - 30, 1080);

    top += fontHeight + 60;
    frame = AddFrame(QStringLiteral("fColorFrame"), QStringLiteral("Color"), nullptr, kMiddleColumn, top, kMiddleWidth,
                     height);
    fBackColor = AddAt<CVexilLabel>(QStringLiteral("fBackColor"), frame, kMargin, kFrameTop, 600, kBoxHeight);
    fBackColor->setFrameShape(QFrame::Box);
    fSelectColorBut = AddButton(QStringLiteral("fSelectColorBut"), QStringLiteral("Select..."), frame, 1860,
                                kFrameTop - 30, 1080);
    fClearColorBut = AddButton(QStringLiteral("fClearColorBut"), QStringLiteral("Clear"), frame, 3060,
                               kFrameTop - 30, 1080);

    top += height + 60;
    frame = AddFrame(QStringLiteral("fInsertPositionFrame"), QStringLiteral("Insert position"), nullptr, kMiddleColumn,
                     top, kMiddleWidth, height);
    AddCaption(QStringLiteral("fBeforeComboLabel"), QStringLiteral("Insert before field:"), frame, kMargin, kFrameTop,
               kCaptionWidth + 420);
    fBeforeCombo = AddAt<CVexilComboBox>(QStringLiteral("fBeforeCombo"), frame, kInputLeft + 420, kFrameTop,
                                         kInputWidth - 420, kBoxHeight);

    // Right: one page of inputs per group of types.
    fTypeDepTab = AddAt<CVexilTabCtl>(QStringLiteral("fTypeDepTab"), nullptr, kRightColumn, kMargin, kRightWidth,
                                      kButtonTop - 2 * kMargin);
    constexpr int kPageWidth = kRightWidth - 2 * kMargin;
    constexpr int kWide = kPageWidth - 2 * kMargin;
    auto addPage = [this](const QString& aName, const QString& aTitle) {
        auto* page = new QWidget;
        page->setObjectName(aName);
        fTypeDepTab->addTab(page, aTitle);
        return page;
    };

    QWidget* page = addPage(QStringLiteral("fTextFrame"), QStringLiteral("Textual"));
    row = kMargin;
    for (const char* name : {"fWikiText", "fComboText", "fInCardList", "fReadOnly", "fCardName", "fPhoneNumber"})
    {
        AddFlagBox(QLatin1String(name), page, kMargin, row, kWide);
        row += 300;
    }
    row += 120;
    constexpr int kPageCaption = 2160;
    constexpr int kPageInput = kMargin + kPageCaption;
    auto numberRow = [&](const QString& aName, const QString& aCaption, const QString& aUnit) {
        AddCaption(aName + QStringLiteral("Label"), aCaption, page, kMargin, row, kPageCaption);
        auto* box = AddAt<CVexilTextBox>(aName, page, kPageInput, row, kNumberWidth, kBoxHeight);
        if (!aUnit.isEmpty())
            AddCaption(aName + QStringLiteral("Unit"), aUnit, page, kPageInput + kNumberWidth + 90, row, 1200);
        row += kRow;
        return box;
    };
    fMaxChar = numberRow(QStringLiteral("fMaxChar"), QStringLiteral("Content length limit:"),
                         QStringLiteral("characters"));
    fListVisChar = numberRow(QStringLiteral("fListVisChar"), QStringLiteral("Column width in list:"),
                             QStringLiteral("characters"));
    AddCaption(QStringLiteral("fListColTitleLabel"), QStringLiteral("Column title:"), page, kMargin, row,
               kPageCaption);
    fListColTitle = AddAt<CVexilTextBox>(QStringLiteral("fListColTitle"), page, kPageInput, row,
                                         kPageWidth - kPageInput - kMargin, kBoxHeight);
    row += kRow;
    fDigits = numberRow(QStringLiteral("fDigits"), QStringLiteral("Decimal places:"), QStringLiteral("digits"));

    // On the narrow pages a caption stands above its combo box.
    page = addPage(QStringLiteral("fListFrame"), QStringLiteral("List"));
    row = kMargin;
    auto comboRow = [&](const QString& aName, const QString& aCaption) {
        AddCaption(aName + QStringLiteral("Label"), aCaption, page, kMargin, row, kWide);
        row += kCaptionHeight + 30;
        auto* combo = AddAt<CVexilComboBox>(aName, page, kMargin, row, kWide, kBoxHeight);
        row += kRow + 60;
        return combo;
    };
    AddFlagBox(QStringLiteral("fComboList"), page, kMargin, row, kWide);
    row += 300;
    fComboInputControlCombo = comboRow(QStringLiteral("fComboInputControlCombo"),
                                       QStringLiteral("Input field for the combo:"));
    row += 120;
    AddFlagBox(QStringLiteral("fCardList"), page, kMargin, row, kWide);
    row += 300;
    fSelBackgroundCombo = comboRow(QStringLiteral("fSelBackgroundCombo"), QStringLiteral("Background of cards to list:"));
    AddCaption(QStringLiteral("fListColLabel"), QStringLiteral("List columns:"), page, kMargin, row, kWide);
    row += kCaptionHeight + 30;
    fListCol = AddAt<CVexilTextBox>(QStringLiteral("fListCol"), page, kMargin, row, kWide - 1200, kBoxHeight);
    fSelectControlBut = AddButton(QStringLiteral("fSelectControlBut"), QStringLiteral("Select..."), page,
                                  kMargin + kWide - 1080, row - 30, 1080);
    row += kRow + 60;
    fSelControlCombo = comboRow(QStringLiteral("fSelControlCombo"), QStringLiteral("Field to check for selecting value:"));
    fRefControlCombo = comboRow(QStringLiteral("fRefControlCombo"), QStringLiteral("Field giving selecting value:"));

    page = addPage(QStringLiteral("fCommandFrame"), QStringLiteral("Command"));
    row = kMargin;
    AddFlagBox(QStringLiteral("fStdCmd"), page, kMargin, row, kWide);
    row += 300;
    fStdCmdCombo = comboRow(QStringLiteral("fStdCmdCombo"), QStringLiteral("Command:"));
    AddCaption(QStringLiteral("fDestCardNameLabel"), QStringLiteral("Destination card:"), page, kMargin, row, kWide);
    row += kCaptionHeight + 30;
    fDestCardName = AddAt<CVexilTextBox>(QStringLiteral("fDestCardName"), page, kMargin, row, kWide - 1320,
                                         kBoxHeight);
    fSelectDestCardBut = AddButton(QStringLiteral("fSelectDestCardBut"), QStringLiteral("Select Card"), page,
                                   kMargin + kWide - 1200, row - 30, 1200);
    row += kRow + 180;
    for (const char* name : {"fInMenu", "fAsButton", "fPictButton"})
    {
        AddFlagBox(QLatin1String(name), page, kMargin, row, kWide);
        row += 300;
    }

    // Bottom: the mode and the buttons.
    fModeText = AddAt<CVexilLabel>(QStringLiteral("fModeText"), nullptr, kLeftColumn, kButtonTop + 60, kLeftWidth,
                                   kCaptionHeight);
    QFont bold = fModeText->font();
    bold.setBold(true);
    fModeText->setFont(bold);
    int left = kMiddleColumn;
    auto button = [&](const QString& aName, const QString& aCaption, int aWidth) {
        CVexilCommandButton* made = AddButton(aName, aCaption, nullptr, left, kButtonTop, aWidth);
        left += aWidth + 60;
        return made;
    };
    fNewBut = button(QStringLiteral("fNewBut"), QStringLiteral("New"), 720);
    fNewTextBut = button(QStringLiteral("fNewTextBut"), QStringLiteral("New Text"), 1020);
    fNewIntegerBut = button(QStringLiteral("fNewIntegerBut"), QStringLiteral("New Integer"), 1260);
    fNewCommandBut = button(QStringLiteral("fNewCommandBut"), QStringLiteral("New Command"), 1440);
    left += 120;
    fCreateBut = button(QStringLiteral("fCreateBut"), QStringLiteral("Create"), 780);
    fModifyBut = button(QStringLiteral("fModifyBut"), QStringLiteral("Modify"), 780);
    fDeleteBut = button(QStringLiteral("fDeleteBut"), QStringLiteral("Delete"), 780);
    fScriptBut = button(QStringLiteral("fScriptBut"), QStringLiteral("Script..."), 840);
    fHelpBut = button(QStringLiteral("fHelpBut"), QStringLiteral("Help"), kFormWidth - kMargin - left);
}

void CVexilControlEdit::ConnectEvents()
{
    connect(fBackgroundBox, &QTreeWidget::itemClicked, this, [this] { Guarded([this] { BackgroundClicked(); }); });
    connect(fBackgroundBox, &QTreeWidget::itemDoubleClicked, this,
            [this] { Guarded([this] { BackgroundDoubleClicked(); }); });
    connect(fControlBox, &QTreeWidget::itemClicked, this, [this] { Guarded([this] { ControlClicked(); }); });
    connect(fTypeCombo, &QComboBox::currentIndexChanged, this, [this] { Guarded([this] { TypeComboPicked(); }); });
    connect(fSelBackgroundCombo, &QComboBox::currentIndexChanged, this,
            [this] { Guarded([this] { SelBackgroundPicked(); }); });
    for (const auto& [box, bit] : iFlagChecks)
    {
        CVexilCheckBox* clicked = box;
        connect(box, &QCheckBox::toggled, this, [this, clicked] { Guarded([this, clicked] { FlagBoxClicked(clicked); }); });
    }
    auto onClick = [this](QPushButton* aButton, void (CVexilControlEdit::*aHandler)()) {
        connect(aButton, &QPushButton::clicked, this, [this, aHandler] { Guarded([this, aHandler] { (this->*aHandler)(); }); });
    };
    onClick(fCreateBut, &CVexilControlEdit::CreateClicked);
    onClick(fModifyBut, &CVexilControlEdit::ModifyClicked);
    onClick(fDeleteBut, &CVexilControlEdit::DeleteClicked);
    onClick(fScriptBut, &CVexilControlEdit::ScriptClicked);
    onClick(fSelectFontBut, &CVexilControlEdit::SelectFontClicked);
    onClick(fSelectColorBut, &CVexilControlEdit::SelectColorClicked);
    onClick(fClearColorBut, &CVexilControlEdit::ClearColorClicked);
    onClick(fSelectDestCardBut, &CVexilControlEdit::SelectDestCardClicked);
    onClick(fSelectControlBut, &CVexilControlEdit::SelectControlsClicked);
    connect(fNewBut, &QPushButton::clicked, this, [this] { Guarded([this] { NewClicked(QString()); }); });
    connect(fNewTextBut, &QPushButton::clicked, this,
            [this] { Guarded([this] { NewClicked(QStringLiteral("Text")); }); });
    connect(fNewIntegerBut, &QPushButton::clicked, this,
            [this] { Guarded([this] { NewClicked(QStringLiteral("Integer")); }); });
    connect(fNewCommandBut, &QPushButton::clicked, this,
            [this] { Guarded([this] { NewClicked(QStringLiteral("Command")); }); });
    connect(fHelpBut, &QPushButton::clicked, this, [this] { Guarded([this] { HelpRequested(QString()); }); });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this] {
        Guarded([this] {
            const CVexilCtl* focused = ActiveControl();
            HelpRequested(focused ? focused->Name() : QString());
        });
    });
    // The checks as an input is left.
    CheckOnLeave(fName, [this] { NameLeft(); });
    const std::array<CVexilTextBox*, KNumNumberBoxes> numbers = {fVisLines, fVisChar, fMaxChar, fDigits, fListVisChar};
    for (int box = 0; box < KNumNumberBoxes; ++box)
        CheckOnLeave(numbers[size_t(box)], [this, box] { NumberBoxLeft(ENumberBox(box)); });
    CheckOnLeave(fTypeCombo, [this] { TypeComboPicked(); });
    CheckOnLeave(fSelBackgroundCombo, [this] { SelBackgroundPicked(); });
}

void CVexilControlEdit::Initialise()
{
    auto makeList = [](int32_t aType, QObject* aWidget) {
        auto list = std::make_shared<CVexilListBox>();
        list->Construct(aType, aWidget);
        return list;
    };
    iBackgroundList = makeList(ELisSingle, fBackgroundBox);
    iControlList = makeList(ELisSingle, fControlBox);
    iTypeList = makeList(ELisCombo, fTypeCombo);
    iBeforeList = makeList(ELisCombo, fBeforeCombo);
    iStdCmdList = makeList(ELisCombo, fStdCmdCombo);
    iSelBackgroundList = makeList(ELisCombo, fSelBackgroundCombo);
    iRefControlList = makeList(ELisCombo, fRefControlCombo);
    iSelControlList = makeList(ELisCombo, fSelControlCombo);
    iComboInputList = makeList(ELisCombo, fComboInputControlCombo);

    iBackgroundList->Define1Column(QStringLiteral("Name"));
    CVexilDialogLib::FillBackgroundList(*iBackgroundList, gStack.get(), QString(), nullptr);
    iControlList->DefineColumnsFrac({QStringLiteral("Name"), QStringLiteral("Type")}, {0.6F, 0.4F});
    iBusy = true;
    CVexilDialogLib::FillTypeList(*iTypeList);
    CVexilDialogLib::FillStdCmdList(*iStdCmdList);
    iBusy = false;
    for (QComboBox* combo : {static_cast<QComboBox*>(fTypeCombo), static_cast<QComboBox*>(fStdCmdCombo)})
        CVexilLowLevelUi::SizeComboDropDown(combo);
    if (iBackgroundList->NumLines() > 0)
        iBackgroundList->SetSelIndex(0);
    ShowBackgroundControls();
    SetMode(EModeNone);
    FillBeforeCombo();
    fBackgroundBox->SetForeColor(kBackgroundColor);
    fSelBackgroundCombo->SetForeColor(kBackgroundColor);
    for (CVexilCtl* ctl : std::initializer_list<CVexilCtl*>{fControlBox, fBeforeCombo, fRefControlCombo,
                                                            fSelControlCombo, fComboInputControlCombo})
        ctl->SetForeColor(kControlColor);
    fDestCardName->SetForeColor(kCardColor);
    CVexilDialogLib::SetEditable(*fFontColor, false, true);
    CVexilDialogLib::SetEditable(*fBackColor, false, true);
}

void CVexilControlEdit::Load()
{
    CVexilFormPlacement::Restore(*this);
}
