#include "platform/VexilForm.h"
#include "platform/VexilFormRegistry.h"
#include "platform/VexilSignals.h"
#include "shell/VexilWinMan.h"

#include <QApplication>

int main(int argc, char** argv)
{
    CVexilSignals::Install();
    QApplication app(argc, argv);
    CVexilWinMan::Main();
    // A termination request, also one made while the program started, is a close of the main
    // window: the close query leaves the stack.
    CVexilSignals::OnTerminate(&app, [] {
        if (CVexilForm* frame = CVexilFormRegistry::Loaded(QLatin1String(CVexilWinMan::KFrame)))
            frame->close();
    });
    return app.exec();
}
