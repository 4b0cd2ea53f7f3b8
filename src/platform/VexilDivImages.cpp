#include "platform/VexilDivImages.h"

#include "foundation/VexilMsg.h"

#include <QApplication>
#include <QStyle>

const CVexilImageList& CVexilDivImages::Images()
{
    static const CVexilImageList images = [] {
        const std::pair<int32_t, QStyle::StandardPixmap> icons[] = {
            {EMsgClsCritical, QStyle::SP_MessageBoxCritical},
            {EMsgClsExclamation, QStyle::SP_MessageBoxWarning},
            {EMsgClsQuestion, QStyle::SP_MessageBoxQuestion},
            {EMsgClsInfo, QStyle::SP_MessageBoxInformation},
        };
        CVexilImageList list;
        for (const auto& [msgClass, icon] : icons)
            list.Add(CVexilMsg::ClassKey(msgClass),
                     QApplication::style()->standardIcon(icon).pixmap(KSide, KSide).toImage());
        return list;
    }();
    return images;
}
