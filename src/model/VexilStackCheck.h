#pragma once

#include <QString>

#include <cstdint>

class CVexilControlSet;
class CVexilObject;
class CVexilStack;

// The checks of a stack as read from a file, before anything uses it: every index entry,
// reference and id must fit the rest of the graph. A violation is error 1006 whose first
// parameter describes aSource, the file or parser that was read.
class CVexilStackCheck
{
public:
    // The backgrounds and the sort keys, as soon as they are read: the key indexes read after
    // them order their entries with these sort keys.
    static void CheckSortKeys(const CVexilStack& aStack, const CVexilObject& aSource, const QString& aContext);
    // The cards, the order, name and key indexes and the fields' references.
    static void CheckStructure(const CVexilStack& aStack, const CVexilObject& aSource, const QString& aContext);
    // With the blob store attached: the pictures that values and wallpapers name are in it,
    // and the next id lies above every id in use.
    static void CheckPictures(const CVexilStack& aStack, const CVexilObject& aSource, const QString& aContext);

private:
    static QString SortKeysFault(const CVexilStack& aStack);
    static QString StructureFault(const CVexilStack& aStack);
    static QString BackgroundFault(const CVexilStack& aStack, const CVexilControlSet& aBackground, int32_t aNumCards);
    static QString PictureFault(const CVexilStack& aStack);
};
