#include "StackRoundTrip.h"

#include "FuzzEnv.h"

#include "foundation/VexilError.h"
#include "model/VexilStack.h"
#include "model/VexilStackFile.h"
#include "model/VexilStackViewRec.h"

namespace
{
struct TLoaded
{
    TStackRef Stack;
    TStackViewRecRef View;
};

TLoaded Load(const QString& aPath)
{
    TLoaded loaded;
    CVexilStackFile file;
    file.Construct(aPath);
    file.LoadStack(loaded.Stack, loaded.View);
    return loaded;
}

// Loads what was saved before: it must open.
TLoaded Reload(const QString& aPath, const char* aStep)
{
    try
    {
        return Load(aPath);
    }
    catch (const std::exception& e)
    {
        Finding(aStep, ErrorText(e));
    }
}

// Saves in the form asked for, as the program's save commands do; the save must succeed.
void Save(const TLoaded& aLoaded, const QString& aPath, bool aBinary, const char* aStep)
{
    CVexilStack& stack = *aLoaded.Stack;
    stack.SetFlags(aBinary ? stack.Flags() | EStkBinary : stack.Flags() & ~EStkBinary);
    try
    {
        CVexilStackFile file;
        file.Construct(aPath);
        file.SaveStack(aLoaded.Stack, aLoaded.View);
    }
    catch (const std::exception& e)
    {
        Finding(aStep, ErrorText(e));
    }
    stack.SetFilename(aPath);
    stack.SetChanged(false);
}

void SameBytes(const QString& aPath, const QByteArray& aBefore, const char* aStep)
{
    const QByteArray after = ReadFuzzFile(aPath);
    if (after == aBefore)
        return;
    qsizetype at = 0;
    while (at < after.size() && at < aBefore.size() && after[at] == aBefore[at])
        ++at;
    Finding(aStep, QStringLiteral("%1 bytes, then %2; first difference at %3")
                       .arg(aBefore.size())
                       .arg(after.size())
                       .arg(at));
}
}  // namespace

void StackRoundTrip(const QByteArray& aFile, bool aBinary)
{
    CVexilError::ResetErrInfo();
    const QString input = WriteFuzzFile(QStringLiteral("in.stack"), aFile);
    TLoaded loaded;
    try
    {
        loaded = Load(input);
    }
    catch (const CVexilException&)
    {
        return;
    }
    // Saved in place in the form it was read in, and again after it was opened anew.
    const bool readBinary = (loaded.Stack->Flags() & EStkBinary) != 0;
    if (readBinary != aBinary)
        return;  // the other target's form
    Save(loaded, input, aBinary, "the opened stack does not save in place");
    const QByteArray saved = ReadFuzzFile(input);
    loaded = Reload(input, "the stack saved in place does not open");
    Save(loaded, input, aBinary, "the stack saved in place does not save in place again");
    SameBytes(input, saved, "saving in place again changes the file");

    // Both forms under other names: saved, opened and saved again under another name.
    for (const bool binary : {true, false})
    {
        const QString first = FuzzPath(binary ? QStringLiteral("1.Quorvan") : QStringLiteral("1.xml"));
        const QString second = FuzzPath(binary ? QStringLiteral("2.Quorvan") : QStringLiteral("2.xml"));
        Save(loaded, first, binary, binary ? "does not save as binary" : "does not save as XML");
        const TLoaded again = Reload(first, binary ? "the saved binary stack does not open"
                                                   : "the saved XML stack does not open");
        Save(again, second, binary, binary ? "the opened binary stack does not save"
                                           : "the opened XML stack does not save");
        SameBytes(second, ReadFuzzFile(first), binary ? "the binary stack saved again differs"
                                                      : "the XML stack saved again differs");
    }
}
