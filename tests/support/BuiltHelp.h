#pragma once

// Header only, for the tests of help (the support library has no widgets): the help collection
// that the build made beside the program, whose path the tests that include this are given.

#include "foundation/VexilLowLevel.h"
#include "platform/VexilHelpEngine.h"
#include "platform/VexilHelpWindow.h"

#include <QTest>

// Makes the built collection the program's help for the scope's lifetime; at its end the help
// window goes and the program looks in its own places again.
class BuiltHelpScope
{
public:
    static inline const QString KCollection = QStringLiteral(QUORVANS_HELP_COLLECTION);

    BuiltHelpScope() { CVexilLowLevel::SetHelpFile(KCollection); }
    ~BuiltHelpScope()
    {
        delete CVexilHelpWindow::Current();
        CVexilLowLevel::SetHelpFile(QString());
    }
    BuiltHelpScope(const BuiltHelpScope&) = delete;
    BuiltHelpScope& operator=(const BuiltHelpScope&) = delete;
};

// Waits until the engine's contents tree is built (it is built in the background).
inline bool ContentsBuilt(const CVexilHelpEngine& aEngine)
{
    return QTest::qWaitFor([&aEngine] { return aEngine.ContentsReady(); }, 10000);
}
