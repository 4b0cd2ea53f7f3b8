#pragma once

// The small stack that the handler target runs code against and the start stacks are made of.

#include "model/VexilStack.h"

#include <QString>
#include <QStringList>

// Background "Items" with a field of every type (the Text "Name" names the cards, kept sorted
// by Name and Num), cards "One", "Two" and "Three" with values and a picture; background
// "Other" with the card "Four". Every control has its name; scripts refer to them.
TStackRef SmallStack();

// The compiled handlers of the source, the array a stored script is.
std::shared_ptr<CVexilArray> CompiledScript(const QString& aSource);

// Scripts that use every statement of the language against SmallStack, with CR LF line ends.
QStringList SampleScripts();
