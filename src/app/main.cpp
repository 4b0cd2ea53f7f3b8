#include "app/VexilProgram.h"
#include "platform/VexilSignals.h"
#include "shell/VexilFrame.h"

#include <QApplication>

int main(int argc, char** argv)
{
    CVexilSignals::Install();
    QApplication app(argc, argv);
    // A termination request, also one made while the program starts, closes the main window:
    // the close query leaves the stack.
    CVexilSignals::OnTerminate(&app, &CVexilFrame::TerminationRequest);
    CVexilProgram::Main();
    return app.exec();
}
