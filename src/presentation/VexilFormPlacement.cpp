#include "presentation/VexilFormPlacement.h"

#include "platform/VexilAreaFit.h"
#include "platform/VexilCtl.h"
#include "platform/VexilForm.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilReg.h"
#include "platform/VexilTextFit.h"
#include "presentation/VexilPlacement.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace
{
bool IsFrame(const QString& aClassName)
{
    return aClassName == QLatin1String(CVexilFormPlacement::KMainWindow);
}

// The longest leading decimal number after blanks (0 when there is none); consumes the field
// and its comma. False when no field is left.
bool ParseNextNum(QStringView& aText, double& aValue)
{
    if (aText.isNull())
        return false;
    const qsizetype comma = aText.indexOf(u',');
    const QStringView field = comma < 0 ? aText : aText.left(comma);
    aText = comma < 0 ? QStringView() : aText.mid(comma + 1);
    qsizetype i = 0;
    while (i < field.size() && (field[i] == u' ' || field[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    auto digits = [&] {
        const qsizetype from = i;
        while (i < field.size() && field[i].isDigit() && field[i].unicode() < 128)
            ++i;
        return i > from;
    };
    if (i < field.size() && (field[i] == u'+' || field[i] == u'-'))
        ++i;
    bool any = digits();
    if (i < field.size() && field[i] == u'.')
    {
        ++i;
        any = digits() || any;
    }
    qsizetype end = i;
    if (any && i < field.size() && (field[i] == u'e' || field[i] == u'E'))
    {
        ++i;
        if (i < field.size() && (field[i] == u'+' || field[i] == u'-'))
            ++i;
        if (digits())
            end = i;
    }
    aValue = any ? field.mid(start, end - start).toString().toDouble() : 0.0;
    return true;
}

QRectF ScreenArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect pixels = screen ? screen->geometry() : QRect();
    return {0, 0, CVexilCtl::PixelsToTwips(pixels.width()), CVexilCtl::PixelsToTwips(pixels.height())};
}

// The area a window is placed in: the screen for the main window, else the main window's
// document area (its client area while it has none, the screen while there is no main window).
QRectF AreaFor(const QString& aClassName)
{
    if (IsFrame(aClassName))
        return ScreenArea();
    if (const QMdiArea* area = CVexilForm::MdiArea())
    {
        const QSize size = area->viewport()->size();
        return {0, 0, CVexilCtl::PixelsToTwips(size.width()), CVexilCtl::PixelsToTwips(size.height())};
    }
    const CVexilForm* frame = CVexilFormRegistry::Loaded(CVexilFormPlacement::KMainWindow);
    if (!frame)
        return ScreenArea();
    return {0, 0, frame->InnerWidth(), frame->InnerHeight()};
}

TWinRect GetFormRect(const CVexilForm& aForm)
{
    const QRect rect = aForm.PlacementRect();
    return {CVexilCtl::PixelsToTwips(rect.left()), CVexilCtl::PixelsToTwips(rect.top()),
            CVexilCtl::PixelsToTwips(rect.width()), CVexilCtl::PixelsToTwips(rect.height())};
}

void Place(CVexilForm& aForm, const TWinRect& aRect)
{
    aForm.SetPlacementRect(QRect(CVexilCtl::TwipsToPixels(aRect.Left), CVexilCtl::TwipsToPixels(aRect.Top),
                                 CVexilCtl::TwipsToPixels(aRect.Width), CVexilCtl::TwipsToPixels(aRect.Height)));
}
}  // namespace

QString CVexilFormPlacement::NameOf(const CVexilForm& aForm)
{
    for (const QString& name : CVexilFormRegistry::LoadOrder())
        if (CVexilFormRegistry::Loaded(name) == &aForm)
            return name;
    return {};
}

void CVexilFormPlacement::Save(CVexilForm& aForm)
{
    const QString name = NameOf(aForm);
    if (!name.isEmpty())
        CVexilReg::PutVal(CVexilReg::KWindows, name, RectToStr(GetFormRect(aForm)));
}

void CVexilFormPlacement::Restore(CVexilForm& aForm)
{
    const QString name = NameOf(aForm);
    if (name.isEmpty())
        return;
    // Captions get their room first; the window's own size is read in the frame it opens in.
    CVexilTextFit::Apply(aForm);
    aForm.HostInArea();
    QString text;
    bool found = false;
    CVexilReg::GetVal(CVexilReg::KWindows, name, text, found);
    const QRectF area = AreaFor(name);
    TWinRect stored;
    if (found && StrToRect(text, stored))
        Place(aForm, ApplyFormRect(stored, GetFormRect(aForm), IsFrame(name), aForm.Sizable(), area));
    else if (!found && IsFrame(name))
        Place(aForm, DefaultFrameRect(float(area.width()), float(area.height())));
    CVexilAreaFit::Fit(aForm);
}

QString CVexilFormPlacement::RectToStr(const TWinRect& aRect)
{
    QStringList fields;
    for (const float value : {aRect.Left, aRect.Top, aRect.Width, aRect.Height})
    {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
        fields.append(QString::fromLatin1(buffer, result.ptr - buffer));
    }
    return fields.join(u',');
}

bool CVexilFormPlacement::StrToRect(const QString& aText, TWinRect& aRect)
{
    QStringView rest(aText);
    if (rest.isNull())
        rest = QStringView(u"");
    double values[4] = {};
    for (double& value : values)
        if (!ParseNextNum(rest, value) || !std::isfinite(float(value)))
            return false;
    const TWinRect rect{float(values[0]), float(values[1]), float(values[2]), float(values[3])};
    if (!(rect.Width > 0 && rect.Left + rect.Width > 0 && rect.Height > 0 && rect.Top + rect.Height > 0))
        return false;
    aRect = rect;
    return true;
}

TWinRect CVexilFormPlacement::ApplyFormRect(const TWinRect& aStored, const TWinRect& aCurrent, bool aFrame, bool aSizable,
                                     const QRectF& aArea)
{
    TWinRect rect = aStored;
    if (!aFrame && !aSizable)
    {
        rect.Width = aCurrent.Width;
        rect.Height = aCurrent.Height;
    }
    if (rect.Left > aArea.left() + aArea.width())
        rect.Left = float(aArea.left());
    if (rect.Top > aArea.top() + aArea.height())
        rect.Top = float(aArea.top());
    rect.Width = std::min(rect.Width, float(aArea.width()));
    rect.Height = std::min(rect.Height, float(aArea.height()));
    if (CVexilPlacement::TopShown(QRectF(rect.Left, rect.Top, rect.Width, rect.Height), aArea))
        return rect;
    return aFrame ? DefaultFrameRect(float(aArea.width()), float(aArea.height())) : aCurrent;
}

TWinRect CVexilFormPlacement::DefaultFrameRect(float aScreenWidth, float aScreenHeight)
{
    TWinRect rect;
    rect.Left = aScreenWidth / 20;
    rect.Top = aScreenHeight / 20;
    rect.Width = std::min(aScreenWidth - 2 * rect.Left, 15000.0F);
    rect.Height = std::min(aScreenHeight - 2 * rect.Top, 12000.0F);
    return rect;
}
