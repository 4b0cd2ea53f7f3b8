#pragma once

#include <QObject>

#include <functional>

// Waits for the end of the mouse press being handled: from Wait until the press's release
// reaches the program, before that release is delivered anywhere. A window that must not
// yield to the event loop while a press is handled (a release already waiting there would be
// delivered before the pressed widget has seen its press, and the click would be lost) hands
// its work to the end of the press.
//
// At the end the owner's work runs once and tells whether the click goes on; when it does
// not, or when the widget the release goes to was hidden meanwhile, the release is not
// delivered and a pressed button is let go, so the click does nothing. A double click, which
// follows a press already handled, ends the wait at once; a release that never comes ends it
// at the next press or key press, without a click to stop.
class CVexilPressEnd : public QObject
{
public:
    // aEnd: the work at the end of the press; true lets the click go on.
    explicit CVexilPressEnd(std::function<bool()> aEnd, QObject* aParent = nullptr);
    ~CVexilPressEnd() override;

    bool Waiting() const { return iWaiting; }
    // From now to the end of the press being handled.
    void Wait();
    // Ends the wait now, as when the press was given up.
    void End() { End(false); }

protected:
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;

private:
    // aReleasing: the release ending the press is on its way to a widget.
    void End(bool aReleasing);
    void Watch(bool aOn);

    std::function<bool()> iEnd;
    bool iWaiting = false;
    bool iWatching = false;
    // The release that ends the press goes to no widget.
    bool iStopRelease = false;
};
