#pragma once

#include "foundation/VexilObject.h"
#include "model/VexilStack.h"
#include "model/VexilStackViewRec.h"

#include <QString>

#include <cstdint>

class CVexilFile;

// One stack file in either form. The binary form: the magic "Quorvan", the file head, the
// stack record, the stack view record, the offset P of the blob store's table, the pictures,
// and the table at P. The XML form: the element "VexilStack" with "Stack" (pictures inline)
// and "StackView".
//
// A load gives out a new stack and view only when the whole file was read and checked. A save
// writes a complete new file beside the old one and renames it over it; until then, and after
// any failure, the old file is unchanged and the stack stays as it was, changed. Saves and loads
// both remove the new files that killed saves of the same file left behind.
class CVexilStackFile : public CVexilObject
{
public:
    static constexpr char KMagic[] = "Quorvan";
    static constexpr int32_t KMagicLen = 7;

    void Construct(const QString& aFileName);
    QString ObjDescr() const override;

    // Errors of opening the file (1004, 1005) pass to the caller.
    bool IsBinStack() const;
    bool IsXmlStack() const;
    // XML when the first byte is "<", binary on the magic, else error 1003. Loading opens the
    // file for reading only and never creates or changes it; it removes what saves of it that
    // were killed left beside it (CVexilFileReplace).
    void LoadStack(TStackRef& aStack, TStackViewRecRef& aView);
    // Binary when the stack has EStkBinary, else XML. The caller brings the view's rectangles
    // up to date first (the stack view's UpdateRect).
    void SaveStack(const TStackRef& aStack, const TStackViewRecRef& aView);

private:
    // Reads one byte; aOk is cleared at the end of the file or when the byte differs.
    static void CheckByte(CVexilFile& aFile, uint8_t aExpected, bool& aOk);
    void LoadXmlStack(TStackRef& aStack, TStackViewRecRef& aView);
    void SaveXmlStack();
    void LoadBinStack(TStackRef& aStack, TStackViewRecRef& aView);
    // The magic, the head and both records: where P goes.
    int32_t BinHeadLen();
    void SaveBinStack();

    QString iFileName;
    TStackRef iStack;
    TStackViewRecRef iView;
};
