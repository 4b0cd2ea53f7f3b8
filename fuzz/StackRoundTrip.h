#pragma once

#include <QByteArray>

// Opens a stack file made of arbitrary bytes and holds what the stack file promises about
// what it opened: it saves, in place in its own form and under other names in both forms;
// what was saved opens again; and saving that again gives the same bytes. A broken promise is
// a finding. A file the loader refuses (any error it raises) ends the input.
void StackRoundTrip(const QByteArray& aFile, bool aBinary);
