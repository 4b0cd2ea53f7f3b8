// Writes the start inputs of every fuzz target into <folder>/<target>/: stacks of both forms
// saved by the program, XML documents, scripts, their byte code, HTTP heads and value texts.

#include "FuzzEnv.h"
#include "FuzzModel.h"

#include "foundation/VexilArray.h"
#include "interchange/VexilXmlCardList.h"
#include "model/VexilStackFile.h"
#include "PdbBuilder.h"
#include "model/VexilStackViewRec.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <exception>
#include <iterator>

namespace
{
class StartWriter
{
public:
    StartWriter(const QString& aFolder, const QString& aTarget) : iDir(aFolder + u'/' + aTarget)
    {
        if (!iDir.mkpath(QStringLiteral(".")))
            Finding("cannot make the start folder", iDir.path());
    }

    void Add(const QByteArray& aBytes)
    {
        QFile file(iDir.filePath(QStringLiteral("start%1").arg(++iCount, 2, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(aBytes) != aBytes.size())
            Finding("cannot write a start", file.fileName());
    }

private:
    QDir iDir;
    int iCount = 0;
};

// A start of a target whose first byte is a mode.
QByteArray WithMode(int aMode, const QByteArray& aRest)
{
    return QByteArray(1, char(aMode)) + aRest;
}

QByteArray SavedStack(bool aBinary)
{
    const TStackRef stack = SmallStack();
    stack->SetFlags(aBinary ? EStkBinary : 0);
    auto view = std::make_shared<CVexilStackViewRec>();
    view->Contruct(QStringLiteral("View"));
    const QString path = FuzzPath(aBinary ? QStringLiteral("start.Quorvan") : QStringLiteral("start.xml"));
    CVexilStackFile file;
    file.Construct(path);
    file.SaveStack(stack, view);
    return ReadFuzzFile(path);
}

void StackStarts(const QString& aFolder)
{
    const QByteArray binary = SavedStack(true);
    const QByteArray xml = SavedStack(false);
    StartWriter(aFolder, QStringLiteral("BinStack")).Add(binary);
    StartWriter(aFolder, QStringLiteral("XmlStack")).Add(xml);
    // The parser's mode byte: UTF-8 with the declaration; elements holding text or elements.
    StartWriter parser(aFolder, QStringLiteral("XmlParser"));
    parser.Add(WithMode(0, xml));
    parser.Add(WithMode(4, xml));
    parser.Add(WithMode(16, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n"
                            "<A b=\"-1\" Name=\"x &amp; &lt;\">text\r\nmore<C/><D Id=\"70000\"></D></A>\r\n"));
}

void ScriptStarts(const QString& aFolder)
{
    StartWriter source(aFolder, QStringLiteral("Compiler"));
    StartWriter code(aFolder, QStringLiteral("Handler"));
    for (const QString& script : SampleScripts())
    {
        source.Add(script.toUtf8());
        const std::shared_ptr<CVexilArray> handlers = CompiledScript(script);
        for (int32_t i = 0; i < handlers->Count(); ++i)
            code.Add(QByteArray::fromHex(handlers->ElemAt(i).iVal.iStr.toLatin1()));
    }
}

void HttpStarts(const QString& aFolder)
{
    // The first byte is the size of the pieces the head arrives in.
    StartWriter starts(aFolder, QStringLiteral("HttpRequest"));
    starts.Add(WithMode(0, "GET / HTTP/1.0\r\nHost: phone\r\n\r\n"));
    starts.Add(WithMode(7, "GET /A.Quorvan HTTP/1.1\r\nUser-Agent: x\r\n\r\n"));
    starts.Add(WithMode(1, "HEAD /%41.Quorvan HTTP/1.0\r\n\r\n"));
    starts.Add(WithMode(0, "PUT /New.Quorvan HTTP/1.0\r\nContent-Length: 5\r\n"
                          "Last-Modified: Sun, 27 Oct 2024 00:30:00 GMT\r\n\r\nbytes"));
    starts.Add(WithMode(3, "PUT /sub%2FB.Quorvan HTTP/1.0\r\ncontent-length:12\r\n\r\n"));
    starts.Add(WithMode(16, "DELETE /A.Quorvan HTTP/1.0\r\n\r\n"));
    starts.Add(WithMode(5, "GET /%C3%A9%E2%82%AC HTTP/1.0\r\n\r\n"));
}

void ValueStarts(const QString& aFolder)
{
    // The first byte chooses the locale (bit 0: comma decimal) and the decimals (the rest;
    // 127 for as many as needed).
    StartWriter starts(aFolder, QStringLiteral("ValueText"));
    const int modes[] = {0, 1, 4, 5, 254, 255};
    const char* texts[] = {"12", "-3.5", "1,234.5", "1.234,5", "20240229", "235959", "T", "-1",
                           "1.79769313486232E+308", "4.9E-324", "29.02.2024", "12:30:15 PM", "2024-13-45",
                           "  7 apples", "NaN", "inf"};
    int next = 0;
    for (const char* text : texts)
        starts.Add(WithMode(modes[next++ % std::size(modes)], text));
}

void ImportStarts(const QString& aFolder)
{
    using P = PdbBuilder;
    StartWriter pdb(aFolder, QStringLiteral("PdbFile"));
    P hand;
    hand.Field(1, "Name").Field(2, "Count").Field(3, "Price").Field(4, "Colour").Field(5, "Ok").Field(8, "Day");
    hand.Field(12, "Note").Field(0, "Gap").Field(7, "Odd").Field(1, "Last");
    hand.Lists({{"red", "Red"}, {"blue", "Blue"}});
    hand.Values({P::Text("one"), P::Int(-4), P::Text("3.5abc"), P::Popup("blue"), P::Bool(true), P::Days(-1),
                 P::Text("note"), P::Raw("xy"), P::Raw("z"), P::Text("last")});
    const int shared = hand.Values({P::Text("two"), P::Int(7), P::End()});
    hand.SameAs(shared);
    hand.Values({P::Raw("A"), P::Raw(QByteArray(1, '\0')), P::Raw(""), P::Popup("none"), P::Raw("AB")});
    pdb.Add(hand.Bytes());
    P pmdb("PmDB");
    pmdb.Field(1, "Name").Field(4, "Pop").Field(5, "Flag");
    for (int i = 0; i < 31; ++i)
        pmdb.Values({P::Text("r" + QByteArray::number(i)), P::Raw("12345678901"), P::Bool(i % 2)});
    pdb.Add(pmdb.Bytes());

    StartWriter xml(aFolder, QStringLiteral("XmlCardList"));
    const TStackRef stack = SmallStack();
    const QString path = FuzzPath(QStringLiteral("cards.xml"));
    CVexilXmlCardList::ExportXml(*stack, path);
    xml.Add(ReadFuzzFile(path));
    xml.Add("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<quorvan version=\"1.0\">\r\n"
            "  <card name=\"x\" background=\"Other\"/>\r\n</quorvan>\r\n");
}

void CsvStarts(const QString& aFolder)
{
    StartWriter starts(aFolder, QStringLiteral("CsvRead"));
    starts.Add("Name,Phone\r\n\"12\"\" disk\",\"a&eol;b\"\r\n");
    starts.Add("A;B;C\r\n1.000;1,5;5/17/2023\r\nY;\"x\r\ny\";12:30\n\n");
    starts.Add("\xEF\xBB\xBF" "a\tb\r\n\x80\x9F\tZo\xC3\xAB\r");
    starts.Add("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,\"21\r\n\",22\r\n");
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s <start folder>\n", argv[0]);
        return 2;
    }
    InitFuzzEnvironment();
    const QString folder = QString::fromLocal8Bit(argv[1]);
    try
    {
        StackStarts(folder);
        ScriptStarts(folder);
        HttpStarts(folder);
        ValueStarts(folder);
        ImportStarts(folder);
        CsvStarts(folder);
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "%s\n", qPrintable(ErrorText(e)));
        return 1;
    }
    return 0;
}
