#pragma once

#include "interchange/VexilPdbFile.h"
#include "model/VexilStack.h"

#include <QString>

// Turns a HanDBase database into a new stack: one background, a field per field definition
// (named and labelled as its slot), a card per data record named "1", "2", ... The database
// is read and checked whole before anything is built, and building fails on no file content;
// no stack other than the new one is touched. Making it current is the caller's part.
class CVexilHandBaseImport
{
public:
    // The field type of a definition's mapped type.
    static int32_t ConTypeOf(int32_t aPdbType);
    // Builds the stack named aName from a database that was read.
    static TStackRef Build(const CVexilPdbFile& aFile, const QString& aName);
    // Reads the file, then builds the stack named with the file name. Errors go to the caller
    // with the context "CVexilImports.ImportHandBase" (1005, 1007 naming the file).
    static TStackRef ImportHandBase(const QString& aFileName);
};
