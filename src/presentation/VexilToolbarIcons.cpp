#include "presentation/VexilToolbarIcons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <functional>

namespace
{
using TDraw = std::function<void(QPainter&)>;

// A triangle pointing left (aDir -1) or right (+1) with its tip at x = aTip.
void Triangle(QPainter& aPainter, double aTip, int aDir)
{
    QPainterPath path;
    path.moveTo(aTip, 8);
    path.lineTo(aTip - 6 * aDir, 3);
    path.lineTo(aTip - 6 * aDir, 13);
    path.closeSubpath();
    aPainter.fillPath(path, Qt::darkBlue);
}

// An arrow with a shaft, pointing left (-1) or right (+1).
void Arrow(QPainter& aPainter, int aDir)
{
    const double tip = aDir > 0 ? 14 : 2;
    Triangle(aPainter, tip, aDir);
    aPainter.fillRect(aDir > 0 ? QRectF(2, 6.5, 7, 3) : QRectF(7, 6.5, 7, 3), Qt::darkGreen);
}

// A card with a letter on it, for the editors.
void Card(QPainter& aPainter, const QString& aLetter)
{
    aPainter.setPen(Qt::black);
    aPainter.setBrush(QColor(255, 255, 224));
    aPainter.drawRect(1, 2, 13, 11);
    QFont font = aPainter.font();
    font.setPixelSize(10);
    font.setBold(true);
    aPainter.setFont(font);
    aPainter.drawText(QRect(1, 2, 14, 12), Qt::AlignCenter, aLetter);
}

QImage Icon(const TDraw& aDraw)
{
    QImage image(CVexilToolbarIcons::KSide, CVexilToolbarIcons::KSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    aDraw(painter);
    return image;
}

QImage StyleIcon(QStyle::StandardPixmap aPixmap)
{
    const int side = CVexilToolbarIcons::KSide;
    return QApplication::style()->standardIcon(aPixmap).pixmap(side, side).toImage();
}
}  // namespace

CVexilImageList CVexilToolbarIcons::Make()
{
    CVexilImageList icons;
    icons.Add(QStringLiteral("NewStack"), StyleIcon(QStyle::SP_FileIcon));
    icons.Add(QStringLiteral("OpenStack"), StyleIcon(QStyle::SP_DirOpenIcon));
    icons.Add(QStringLiteral("SaveStack"), StyleIcon(QStyle::SP_DialogSaveButton));
    icons.Add(QStringLiteral("FirstCard"), Icon([](QPainter& p) {
                  p.fillRect(QRectF(2, 3, 2, 10), Qt::darkBlue);
                  Triangle(p, 5, -1);
              }));
    icons.Add(QStringLiteral("PrevCard"), Icon([](QPainter& p) { Triangle(p, 5, -1); }));
    icons.Add(QStringLiteral("NextCard"), Icon([](QPainter& p) { Triangle(p, 11, 1); }));
    icons.Add(QStringLiteral("LastCard"), Icon([](QPainter& p) {
                  Triangle(p, 11, 1);
                  p.fillRect(QRectF(12, 3, 2, 10), Qt::darkBlue);
              }));
    icons.Add(QStringLiteral("BackInHistory"), Icon([](QPainter& p) { Arrow(p, -1); }));
    icons.Add(QStringLiteral("ForwInHistory"), Icon([](QPainter& p) { Arrow(p, 1); }));
    icons.Add(QStringLiteral("EditStack"), Icon([](QPainter& p) { Card(p, QStringLiteral("S")); }));
    icons.Add(QStringLiteral("EditBackgrounds"), Icon([](QPainter& p) { Card(p, QStringLiteral("B")); }));
    icons.Add(QStringLiteral("EditCards"), Icon([](QPainter& p) { Card(p, QStringLiteral("C")); }));
    icons.Add(QStringLiteral("EditControls"), Icon([](QPainter& p) { Card(p, QStringLiteral("F")); }));
    icons.Add(QStringLiteral("ShowCardList"), Icon([](QPainter& p) {
                  for (int y = 3; y <= 12; y += 3)
                      p.fillRect(QRectF(2, y, 12, 1.5), Qt::black);
              }));
    icons.Add(QStringLiteral("SelectCard"), Icon([](QPainter& p) {
                  p.setPen(QPen(Qt::black, 1.5));
                  p.drawEllipse(QPointF(6.5, 6.5), 4, 4);
                  p.setPen(QPen(Qt::black, 2.5));
                  p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
              }));
    return icons;
}
