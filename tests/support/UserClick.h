#pragma once

// A click of the left mouse button as a user's comes: press and release back to back from the
// window system, so that the release already waits in the event queue while the press is
// handled. On X11 the click goes through the X server (XTest), frames and focus included; on
// other platforms the press goes to the top-level window at that screen position with the
// release posted behind it. Returns once the release has been delivered.

#include <QPoint>

class QWidget;

namespace UserClick
{
// A click at aPos, in aWidget's coordinates (its centre by default).
void Click(QWidget* aWidget, const QPoint& aPos);
void Click(QWidget* aWidget);
}  // namespace UserClick
