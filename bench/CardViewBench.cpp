// The card window against plain Qt widgets.
//
// Browsing must feel instant, so showing a card through the card view must cost little more
// than setting the widgets directly. One background of 30 fields of every type (ten one-line
// text fields of all five types, three multi-line ones, two combo pairs, three Boolean, three
// list and three picture fields, four commands) and 1,000 cards with values of their own, each
// picture its own 200 x 133 JPEG sample. On the offscreen platform, with the card window shown:
//   layout: the background is laid out once;
//   cards:  ShowValues for the 1,000 cards in turn;
//   again:  the layout repeated on widgets that were shown before (for information);
// and, as the anchor, the same values set directly into plain widgets of the same kinds
// (QLineEdit, QTextEdit, QComboBox, QCheckBox, QTreeWidget, a QLabel with a pixmap decoded
// from the same bytes). Both windows repaint between the cards, outside the times.
// Goal: a card's values at most 3 times the plain widgets and under 2 ms; the layout under
// 20 ms. The summary prints the layout time, both per-card times and their ratio.
//
//   bench_CardViewBench               all figures
//   bench_CardViewBench --cards=100   fewer cards

#include "BenchSupport.h"
#include "foundation/VexilValue.h"
#include "model/VexilBlob.h"
#include "model/VexilBlobStore.h"
#include "model/VexilCard.h"
#include "model/VexilControl.h"
#include "model/VexilControlSet.h"
#include "model/VexilIdGen.h"
#include "model/VexilStack.h"
#include "presentation/VexilCardView.h"
#include "presentation/VexilCardWidgets.h"
#include "presentation/VexilFrameParts.h"
#include "presentation/VexilGenForm.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QTextEdit>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
int gCardCount = 1000;

struct TFigures
{
    double LayoutMs = 0;
    double CardViewMs = 0;  // per card
    double PlainMs = 0;     // per card
    double RelayoutMs = 0;  // a later layout of the same background, on warm widgets
} gFigures;
constexpr int KRelayouts = 20;

// A field as the benchmark makes it.
struct TFieldDef
{
    const char* Name;
    int32_t Type;
    int32_t Flags;
    int16_t VisLines;
};

const TFieldDef KFields[] = {
    {"Title", EConTypeText, 0, 1},         {"Author", EConTypeText, 0, 1},
    {"Place", EConTypeText, 0, 1},         {"Code", EConTypeText, 0, 1},
    {"Shelf", EConTypeText, 0, 1},         {"Pages", EConTypeInteger, 0, 1},
    {"Copies", EConTypeInteger, 0, 1},     {"Price", EConTypeReal, 0, 1},
    {"Bought", EConTypeDate, 0, 1},        {"Opened", EConTypeTime, 0, 1},
    {"Notes", EConTypeText, 0, 3},         {"Counts", EConTypeInteger, 0, 2},
    {"Remarks", EConTypeText, EConMaxHeight, 1},
    {"Colour", EConTypeText, EConComboText, 1}, {"Colours", EConTypeList, EConComboList, 1},
    {"Size", EConTypeInteger, EConComboText, 1}, {"Sizes", EConTypeList, EConComboList, 1},
    {"Read", EConTypeBoolean, 0, 1},       {"Lent", EConTypeBoolean, 0, 1},
    {"Signed", EConTypeBoolean, 0, 1},     {"Chapters", EConTypeList, 0, 3},
    {"Keywords", EConTypeList, 0, 3},      {"Editions", EConTypeList, 0, 3},
    {"Cover", EConTypePicture, 0, 3},      {"Back", EConTypePicture, 0, 3},
    {"Spine", EConTypePicture, 0, 3},      {"Next", EConTypeCommand, EConAsButton, 1},
    {"Prev", EConTypeCommand, EConAsButton | EConPictButton | EConStdCmd, 1},
    {"Print", EConTypeCommand, EConAsButton, 1}, {"Export", EConTypeCommand, EConInMenu, 1},
};

QByteArray Jpeg(int aSeed)
{
    QImage image(200, 133, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(aSeed % 360, 160, 220));
    QPainter painter(&image);
    painter.drawText(image.rect(), Qt::AlignCenter, QString::number(aSeed));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

// The stack of the benchmark and, for each card, the texts a user sees of each field.
struct TData
{
    TStackRef Stack;
    TControlSetRef Background;
    std::vector<TControlRef> Fields;
    std::vector<TCardRef> Cards;
    std::vector<std::vector<QString>> Shown;       // per card, per field (display text or lines)
    std::vector<std::vector<QByteArray>> Pictures;  // per card, per picture field
};

TValue ValueOf(const CVexilControl& aField, int aCard, int aIndex)
{
    TValue value;
    switch (aField.ConType())
    {
    case EConTypeText:
        value = CVexilValue::StrToVal(aField.Flag(EConComboText) ? QStringLiteral("colour %1").arg(aCard % 5)
                                      : aField.VisLines() > 1
                                          ? QStringLiteral("Card %1 line one\r\nline two\r\nline three").arg(aCard)
                                          : QStringLiteral("%1 of card %2").arg(aField.Name()).arg(aCard));
        break;
    case EConTypeInteger:
        value.iType = EValInt;
        value.iInt = aField.Flag(EConComboText) ? (aCard % 4 + 1) * 10 : aCard * 7 + aIndex;
        break;
    case EConTypeReal:
        value.iType = EValReal;
        value.iReal = aCard * 1.25;
        break;
    case EConTypeDate:
        value.iType = EValDate;
        value.iDate = CVexilValue::FromQDate(QDate(2020, 1, 1).addDays(aCard));
        break;
    case EConTypeTime:
        value.iType = EValTime;
        value.iTime = CVexilValue::FromQTime(QTime(0, 0).addSecs(aCard * 61));
        break;
    case EConTypeBoolean:
        value.iType = EValBool;
        value.iBool = (aCard + aIndex) % 2 == 0;
        break;
    case EConTypeList:
        if (aField.Flag(EConComboList))
            value = CVexilValue::StrToVal(aField.Name() == QLatin1String("Colours")
                                              ? QStringLiteral("colour 0\r\ncolour 1\r\ncolour 2\r\ncolour 3\r\ncolour 4")
                                              : QStringLiteral("10\r\n20\r\n30\r\n40"));
        else
            value = CVexilValue::StrToVal(
                QStringLiteral("%1 a %2\r\n%1 b %2\r\n%1 c %2\r\n%1 d %2").arg(aField.Name()).arg(aCard));
        break;
    default:
        break;
    }
    return value;
}

TData MakeData()
{
    TData data;
    data.Stack = std::make_shared<CVexilStack>();
    data.Stack->Construct(QStringLiteral("Bench"));
    data.Background = data.Stack->Background(0);
    for (const TFieldDef& def : KFields)
    {
        auto field = std::make_shared<CVexilControl>();
        field->Construct(data.Stack->IdGen().NextId(), QString::fromLatin1(def.Name), def.Type);
        field->SetFlags(EConInCardView | def.Flags);
        field->SetLabel(field->Name());
        field->SetVisLines(def.VisLines);
        field->SetVisChar(def.Type == EConTypeCommand ? UndefInt : 24);
        field->SetDigits(2);
        if (def.Flags & EConStdCmd)
            field->SetStdCmd(EStdCmdPrevCard);
        if (def.Flags & EConComboList)
        {
            const TControlRef text = data.Fields.back();
            field->SetPartnerId(text->Id());
            text->SetPartnerId(field->Id());
        }
        data.Background->AddControl(field, UndefLong);
        data.Fields.push_back(field);
    }

    CVexilBlobStore& store = *data.Stack->BlobStore();
    for (int c = 0; c < gCardCount; ++c)
    {
        auto card = std::make_shared<CVexilCard>();
        card->Construct(QStringLiteral("Card %1").arg(c), data.Background);
        TCardRef before;
        data.Stack->AddCard(card, before, false);
        std::vector<QString> shown;
        std::vector<QByteArray> pictures;
        for (size_t f = 0; f < data.Fields.size(); ++f)
        {
            const CVexilControl& field = *data.Fields[f];
            TValue value = ValueOf(field, c, int(f));
            if (field.ConType() == EConTypePicture)
            {
                auto blob = std::make_shared<CVexilBlob>();
                blob->Construct(data.Stack->IdGen().NextId());
                blob->SetBytes(Jpeg(c * 3 + int(pictures.size())));
                blob->SetMimeType(QStringLiteral("picture/jpeg"));
                store.AddBlob(blob);
                pictures.push_back(blob->Bytes());
                value.iType = EValBlobId;
                value.iInt = blob->Id();
            }
            if (value.iType != EValUndef)
                card->SetControlVal(field.Id(), value);
            shown.push_back(value.iType == EValBlobId ? QString() : CVexilValue::ValToExtText(value, field));
        }
        data.Cards.push_back(card);
        data.Shown.push_back(std::move(shown));
        data.Pictures.push_back(std::move(pictures));
    }
    return data;
}

// The anchor: plain widgets of the same kinds on a window of their own, one per field that
// shows a value, set directly.
class CPlainCard
{
public:
    explicit CPlainCard(const TData& aData) : iData(aData)
    {
        iWindow.resize(600, 700);
        int y = 4;
        for (const TControlRef& field : aData.Fields)
        {
            QWidget* widget = nullptr;
            if (field->Flag(EConComboText))
                widget = new QComboBox(&iWindow);
            else if (field->ConType() <= EConTypeTime)
                widget = field->VisLines() > 1 || field->Flag(EConMaxHeight) ? static_cast<QWidget*>(new QTextEdit(&iWindow))
                                                                            : new QLineEdit(&iWindow);
            else if (field->ConType() == EConTypeBoolean)
                widget = new QCheckBox(&iWindow);
            else if (field->ConType() == EConTypeList && !field->Flag(EConComboList))
                widget = new QTreeWidget(&iWindow);
            else if (field->ConType() == EConTypePicture)
                widget = new QLabel(&iWindow);
            iWidgets.push_back(widget);
            if (widget)
            {
                widget->setGeometry(100, y, 300, 22);
                y += 24;
            }
        }
        iWindow.show();
    }

    void Show(size_t aCard)
    {
        const std::vector<QString>& shown = iData.Shown[aCard];
        size_t picture = 0;
        for (size_t f = 0; f < iWidgets.size(); ++f)
        {
            QWidget* widget = iWidgets[f];
            if (auto* edit = qobject_cast<QLineEdit*>(widget))
                edit->setText(shown[f]);
            else if (auto* text = qobject_cast<QTextEdit*>(widget))
                text->setPlainText(QString(shown[f]).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            else if (auto* combo = qobject_cast<QComboBox*>(widget))
            {
                combo->clear();
                combo->addItems(shown[f + 1].split(QStringLiteral("\r\n")));
                combo->setCurrentIndex(combo->findText(shown[f]));
            }
            else if (auto* check = qobject_cast<QCheckBox*>(widget))
                check->setChecked(shown[f] == QLatin1String("T"));
            else if (auto* tree = qobject_cast<QTreeWidget*>(widget))
            {
                tree->clear();
                for (const QString& line : shown[f].split(QStringLiteral("\r\n")))
                    tree->addTopLevelItem(new QTreeWidgetItem(QStringList{line}));
                tree->setCurrentItem(tree->topLevelItem(0));
            }
            else if (auto* label = qobject_cast<QLabel*>(widget))
                label->setPixmap(QPixmap::fromImage(QImage::fromData(iData.Pictures[aCard][picture++])));
        }
    }

private:
    const TData& iData;
    QWidget iWindow;
    std::vector<QWidget*> iWidgets;
};

double Ms(const QElapsedTimer& aTimer)
{
    return double(aTimer.nsecsElapsed()) / 1e6;
}

void BM_CardViewAgainstPlainWidgets(benchmark::State& aState)
{
    const TData data = MakeData();
    CVexilGenForm* form = CVexilGenForm::Instance();
    form->resize(600, 900);
    form->show();
    QCoreApplication::processEvents();
    auto view = std::make_shared<CVexilCardView>();
    view->Construct(data.Stack, CVexilGenForm::KClassName);
    CPlainCard plain(data);
    // The main window makes its toolbar images at start-up, before any card is shown.
    CVexilFrameParts::ToolbarIcons();
    QCoreApplication::processEvents();

    for (auto _ : aState)
    {
        QElapsedTimer timer;
        timer.start();
        view->AssignControlSet(data.Cards[0], data.Background);
        gFigures.LayoutMs = Ms(timer);

        // The windows repaint between the cards, outside the times: both sides are timed for
        // setting the values only.
        double total = 0;
        for (const TCardRef& card : data.Cards)
        {
            timer.restart();
            view->ShowValues(card);
            total += Ms(timer);
            QCoreApplication::processEvents();
        }
        gFigures.CardViewMs = total / double(data.Cards.size());

        total = 0;
        for (size_t c = 0; c < data.Cards.size(); ++c)
        {
            timer.restart();
            plain.Show(c);
            total += Ms(timer);
            QCoreApplication::processEvents();
        }
        gFigures.PlainMs = total / double(data.Cards.size());

        timer.restart();
        for (int i = 0; i < KRelayouts; ++i)
        {
            view->ResetCurSet();
            view->AssignControlSet(data.Cards[0], data.Background);
        }
        gFigures.RelayoutMs = Ms(timer) / KRelayouts;
        aState.SetIterationTime((gFigures.LayoutMs + (gFigures.CardViewMs + gFigures.PlainMs) * double(gCardCount)) / 1e3);
    }
    view->PrepareClose(data.Cards.back());
    aState.counters["layout_ms"] = gFigures.LayoutMs;
    aState.counters["relayout_ms"] = gFigures.RelayoutMs;
    aState.counters["cardview_ms_per_card"] = gFigures.CardViewMs;
    aState.counters["plain_ms_per_card"] = gFigures.PlainMs;
    aState.counters["ratio"] = gFigures.CardViewMs / gFigures.PlainMs;
}
BENCHMARK(BM_CardViewAgainstPlainWidgets)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintSummary()
{
    if (gFigures.PlainMs <= 0)
        return;
    std::printf("\n%d cards of a background of 30 fields, offscreen (wall-clock):\n", gCardCount);
    std::printf("  layout once:          %.2f ms (goal under 20 ms)\n", gFigures.LayoutMs);
    std::printf("  layout again:         %.2f ms (mean of %d, widgets already shown once)\n", gFigures.RelayoutMs,
                KRelayouts);
    std::printf("  ShowValues per card:  %.3f ms (goal under 2 ms)\n", gFigures.CardViewMs);
    std::printf("  plain Qt per card:    %.3f ms\n", gFigures.PlainMs);
    std::printf("  ratio:                %.2f (goal at most 3.00)\n", gFigures.CardViewMs / gFigures.PlainMs);
}
}  // namespace

int main(int argc, char** argv)
{
    PrepareOffscreenRun();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ReadIntFlags(argc, argv, {{"--cards=", &gCardCount, 1}});
    CVexilCardWidgets::Start();
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}
