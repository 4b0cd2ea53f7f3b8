// The XML parser on arbitrary bytes: a walk over whatever elements the file holds, reading
// attributes, texts and nested elements as the stack reader does. The parser answers a file it
// cannot read with error 1006, and a number attribute out of range with error 6; anything else
// that leaves it is a finding.

#include "FuzzEnv.h"

#include "foundation/VexilError.h"
#include "foundation/VexilXmlParser.h"

#include <QHash>

namespace
{
const QString kAttrNames[] = {
    QStringLiteral("Name"),  QStringLiteral("Id"),   QStringLiteral("Type"),  QStringLiteral("Flags"),
    QStringLiteral("Value"), QStringLiteral("Left"), QStringLiteral("Count"), QStringLiteral("back_color"),
};

// Runs aRead; the errors it may raise end it, any other leaves the input as a finding.
template <class FRead>
void Expected(FRead&& aRead, int32_t aError1, int32_t aError2 = EErrBadStruct)
{
    try
    {
        aRead();
    }
    catch (const CVexilException& e)
    {
        if (e.Number() != aError1 && e.Number() != aError2)
            Finding("unexpected error", ErrorText(e));
    }
}

void ReadAttributes(const CVexilXmlParser& aParser)
{
    for (const QString& name : kAttrNames)
    {
        aParser.Attr(name);
        Expected([&] { aParser.IntAttr(name); }, ERunOverflow);
        Expected([&] { aParser.ShortAttr(name); }, ERunOverflow);
        aParser.RealAttr(name);
        Expected([&] { aParser.BooleanAttr(name); }, EErrBadStruct);
    }
}

// Reads tags until the parser refuses or the file ends. Whether an element holds text or
// elements is what its reader knows; here the name and the mode byte decide.
void Walk(CVexilXmlParser& aParser, uint8_t aMode)
{
    QString name;
    QString text;
    for (int step = 0; step < 100000; ++step)
    {
        bool endTag = false;
        aParser.ReadNext(name, endTag);
        if (endTag)
            continue;
        bool empty = false;
        const bool withText = ((qHash(name) ^ aMode) & 4) != 0;
        if (!withText)
        {
            aParser.ReadAttrAndSym(empty);
            ReadAttributes(aParser);
            continue;
        }
        aParser.ReadAttr(empty);
        ReadAttributes(aParser);
        if (empty)
            continue;
        if (aMode & 8)
            aParser.ReadLongElemText(text);
        else
            aParser.ReadElemText(text, (aMode & 16) != 0);
    }
}
}  // namespace

// The first byte chooses the coding, whether there is a declaration and how elements are read;
// the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    if (aSize == 0)
        return 0;
    const uint8_t mode = aData[0];
    CVexilXmlParser parser(WriteFuzzFile(QStringLiteral("in.xml"), InputBytes(aData + 1, aSize - 1)));
    Expected(
        [&] {
            if (mode & 1)
                parser.SetCoding(EFilAnsi);
            parser.OpenFile();
            if (!(mode & 2))
                parser.ReadHeader();
            Walk(parser, mode);
        },
        EErrBadStruct);
    parser.CloseFile();
    return 0;
}
