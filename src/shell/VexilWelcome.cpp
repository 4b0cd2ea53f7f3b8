#include "shell/VexilWelcome.h"

#include "platform/VexilCtls.h"
#include "platform/VexilFormRegistry.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace
{
int gCloseInterval = CVexilWelcome::KDefaultCloseInterval;

// Layout in twips.
constexpr int kFormWidth = 6600;
constexpr int kFormHeight = 4440;
constexpr int kMargin = 360;
constexpr int kPictureSide = 960;
constexpr int kTextLeft = kMargin + kPictureSide + 240;
constexpr int kLineHeight = 300;
constexpr int kPicturePixels = 64;

QSizeF Twips(const QSize& aPixels)
{
    return {CVexilCtl::PixelsToTwips(aPixels.width()), CVexilCtl::PixelsToTwips(aPixels.height())};
}

// One card of the picture: a rounded sheet with a coloured title strip.
void DrawCard(QPainter& aPainter, const QRectF& aRect, const QColor& aStrip)
{
    QPainterPath sheet;
    sheet.addRoundedRect(aRect, 4, 4);
    aPainter.fillPath(sheet, Qt::white);
    aPainter.save();
    aPainter.setClipPath(sheet);
    aPainter.fillRect(QRectF(aRect.left(), aRect.top(), aRect.width(), aRect.height() / 4), aStrip);
    aPainter.restore();
    aPainter.setPen(QPen(QColor(60, 60, 90), 1.5));
    aPainter.drawPath(sheet);
}
}  // namespace

CVexilWelcome::CVexilWelcome() : CVexilDialogForm(KClassName)
{
    SetCaption(QStringLiteral("Welcome to Quorvans"));
    SetDesignSize(kFormWidth, kFormHeight);
    fWaitTimer.setSingleShot(true);
    connect(&fWaitTimer, &QTimer::timeout, this, [this] { UnloadForm(); });

    const int textWidth = kFormWidth - kTextLeft - kMargin;
    const int fullWidth = kFormWidth - 2 * kMargin;
    auto addLabel = [this](const char* aName, const QString& aText, int aLeft, int aTop, int aWidth, int aHeight) {
        auto* label = Add<CVexilLabel>(QLatin1String(aName));
        label->setText(aText);
        label->setWordWrap(true);
        label->Move(float(aLeft), float(aTop), float(aWidth), float(aHeight));
        return label;
    };
    Label1 = addLabel("Label1", QStringLiteral("Quorvans"), kTextLeft, 300, textWidth, 720);
    QFont large = Label1->font();
    large.setPointSize(26);
    large.setBold(true);
    Label1->setFont(large);
    Label2 = addLabel("Label2", QStringLiteral("Build, browse and script your own stacks of cards."), kTextLeft, 1020,
                      textWidth, kLineHeight);
    Label3 = addLabel("Label3", QStringLiteral("Database - Script Programming - WikiText - Multimedia"), kMargin, 1680,
                      fullWidth, kLineHeight);
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label4 = addLabel("Label4",
                      QStringLiteral("Pictures are read and written with the FreeImage library, "
                                     "used under the FreeImage Public License."),
                      kMargin, 2220, fullWidth, 2 * kLineHeight);
    Label5 = addLabel("Label5", QStringLiteral("Copyright \u00A9 2026 Fennoware. All rights reserved."), kMargin, 2940,
                      fullWidth, kLineHeight);
    Label6 = addLabel("Label6", QStringLiteral("Version 0.9, December 2026"), kMargin, 3240, fullWidth, kLineHeight);

    Image1 = Add<CVexilPictureBox>(QStringLiteral("Image1"));
    Image1->SetBorder(false);
    Image1->Move(kMargin, 300, kPictureSide, kPictureSide);
    Image1->SetPicture(ProductPicture());

    DoOk = Add<CVexilCommandButton>(QStringLiteral("DoOk"));
    DoOk->setText(QStringLiteral("Ok"));
    DoOk->Move(kFormWidth - kMargin - 1215, kFormHeight - 240 - 375, 1215, 375);
    connect(DoOk, &QPushButton::clicked, this, [this] { UnloadForm(); });
}

void CVexilWelcome::Register()
{
    CVexilFormRegistry::Register(KClassName, [] { return new CVexilWelcome; });
}

void CVexilWelcome::SetCloseInterval(int aMilliseconds)
{
    gCloseInterval = aMilliseconds;
}

int CVexilWelcome::CloseInterval()
{
    return gCloseInterval;
}

void CVexilWelcome::Stay()
{
    fWaitTimer.stop();
}

QPointF CVexilWelcome::CentredPos(const QSizeF& aArea, const QSizeF& aWindow, const QPointF& aCurrent)
{
    QPointF at = aCurrent;
    if (aArea.width() > aWindow.width())
        at.setX((aArea.width() - aWindow.width()) / 2);
    if (aArea.height() > aWindow.height())
        at.setY((aArea.height() - aWindow.height()) / 5);
    return at;
}

QImage CVexilWelcome::ProductPicture()
{
    QImage picture(kPicturePixels, kPicturePixels, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    // A stack of three cards, the front one with a few lines of text.
    DrawCard(painter, QRectF(22, 4, 38, 44), QColor(204, 102, 0));
    DrawCard(painter, QRectF(13, 10, 38, 44), QColor(0, 176, 0));
    const QRectF front(4, 16, 38, 44);
    DrawCard(painter, front, QColor(0, 0, 204));
    painter.setPen(QPen(QColor(120, 120, 140), 2));
    for (int line = 0; line < 3; ++line)
    {
        const qreal y = front.top() + 20 + line * 8;
        painter.drawLine(QPointF(front.left() + 6, y), QPointF(front.right() - (line == 2 ? 14 : 6), y));
    }
    return picture;
}

QSizeF CVexilWelcome::AreaSize() const
{
    if (SubWindow())
        if (const QMdiArea* area = SubWindow()->mdiArea())
            return Twips(area->viewport()->size());
    if (const QWidget* parent = parentWidget())
        return Twips(parent->size());
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return screen ? Twips(screen->geometry().size()) : QSizeF();
}

void CVexilWelcome::Load()
{
    const QPointF at = CentredPos(AreaSize(), QSizeF(Width(), Height()), QPointF(Left(), Top()));
    SetLeft(float(at.x()));
    SetTop(float(at.y()));
    fWaitTimer.start(gCloseInterval);
}

void CVexilWelcome::Unload()
{
    fWaitTimer.stop();
}
