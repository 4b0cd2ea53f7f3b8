#include "CodeBytes.h"
#include "RaisedError.h"
#include "foundation/VexilError.h"
#include "script/VexilCodeReader.h"
#include "script/VexilCodeWriter.h"

#include <gtest/gtest.h>

#include <functional>

TEST(ByteCode, ReadsAStoredHandler)
{
    CVexilCodeReader code = CVexilCodeReader::FromHex(QStringLiteral("00000E00002600000E0100270000"));
    code.Start();
    EXPECT_EQ(code.Op(), EOpcLine);
    EXPECT_EQ(code.Word(), 0);
    EXPECT_EQ(code.Op(), EOpcEnter);
    EXPECT_EQ(code.Count(21), 0);
    EXPECT_EQ(code.Op(), EOpcLine);
    EXPECT_EQ(code.Word(), 1);
    EXPECT_EQ(code.Op(), EOpcReturn);
    EXPECT_EQ(code.Word(), 0);
    EXPECT_EQ(code.Pos(), code.Len());

    // Lower-case digits read as well.
    EXPECT_EQ(CVexilCodeReader::FromHex(QStringLiteral("0aFf")).Code(), Bytes({10, 255}));
}

TEST(ByteCode, WordsRoundTrip)
{
    CVexilCodeWriter writer;
    writer.Word(0);
    for (int32_t word : {1, 255, 256, 300, 32767})
        writer.OpWord(EOpcPushInt, word);
    const int32_t patch = writer.OpPlaceholder(EOpcJump);
    writer.PatchWord(patch, 3);
    EXPECT_EQ(writer.Bytes().mid(3, 3), Bytes({1, 0, 13}));
    EXPECT_EQ(writer.Bytes().mid(11, 3), Bytes({13, 44, 1}));

    CVexilCodeReader reader(writer.Bytes());
    reader.Start();
    for (int32_t word : {1, 255, 256, 300, 32767})
    {
        EXPECT_EQ(reader.Op(), EOpcPushInt);
        EXPECT_EQ(reader.Word(), word);
    }
    EXPECT_EQ(reader.Op(), EOpcJump);
    const int32_t target = reader.Target();
    EXPECT_EQ(target, 3);
    reader.JumpTo(target);
    EXPECT_EQ(reader.Pos(), 3);

    EXPECT_EQ(RaisedError([&] { writer.OpWord(EOpcPushInt, 32768); }), ERunOverflow);
    EXPECT_EQ(RaisedError([&] { writer.PatchWord(patch, 40000); }), ERunOverflow);
    EXPECT_EQ(RaisedError([&] { writer.PushConst(QString(256, u'a')); }), ERunInvalidCall);
}

TEST(ByteCode, HostileCodeIsARunTimeError)
{
    // Each case reads the code from the start as the interpreter would, up to the fault.
    using TRead = std::function<void(CVexilCodeReader&)>;
    const TRead op = [](CVexilCodeReader& c) { c.Start(), c.Op(); };
    const TRead word = [](CVexilCodeReader& c) { c.Start(), c.Op(), c.Word(); };
    const TRead target = [](CVexilCodeReader& c) { c.Start(), c.Op(), c.Target(); };
    const TRead locals = [](CVexilCodeReader& c) { c.Start(), c.Op(), c.Count(21); };
    const TRead constant = [](CVexilCodeReader& c) { c.Start(), c.Op(), c.StrConst(); };
    const struct
    {
        const char* Name;
        QByteArray Code;
        TRead Read;
        int32_t Error;
    } cases[] = {
        {"empty", QByteArray(), [](CVexilCodeReader& c) { c.Start(); }, ERunSubscript},
        {"other generation", Bytes({1, 0, 39, 0, 0}), [](CVexilCodeReader& c) { c.Start(); }, ERunSubscript},
        {"past the end", Bytes({0, 0}), op, ERunSubscript},
        {"opcode 0", Bytes({0, 0, 0}), op, ERunSubscript},
        {"opcode 48", Bytes({0, 0, 48}), op, ERunSubscript},
        {"opcode 255", Bytes({0, 0, 255}), op, ERunSubscript},
        {"truncated word", Bytes({0, 0, 13, 5}), word, ERunSubscript},
        {"word high byte 128", Bytes({0, 0, 13, 0, 128}), word, ERunOverflow},
        {"jump to the end", Bytes({0, 0, 30, 5, 0}), target, ERunSubscript},
        {"jump far out", Bytes({0, 0, 30, 0, 100}), target, ERunSubscript},
        {"huge local count", Bytes({0, 0, 38, 255, 127}), locals, ERunSubscript},
        {"one local too many", Bytes({0, 0, 38, 22, 0}), locals, ERunSubscript},
        {"constant of type Int", Bytes({0, 0, 1, 12, 1, 'a'}), constant, ERunSubscript},
        {"truncated constant", Bytes({0, 0, 1, 11, 5, 'a', 'b'}), constant, ERunSubscript},
        {"constant without length", Bytes({0, 0, 1, 11}), constant, ERunSubscript},
    };
    for (const auto& c : cases)
    {
        CVexilCodeReader reader(c.Code);
        EXPECT_EQ(RaisedError([&] { c.Read(reader); }), c.Error) << c.Name;
    }

    // The limits themselves are inside.
    CVexilCodeReader edge(Bytes({0, 0, 30, 4, 0, 38, 21, 0, 1, 11, 1, 'z'}));
    edge.Start();
    edge.Op();
    EXPECT_EQ(edge.Target(), 4);
    edge.Op();
    EXPECT_EQ(edge.Count(21), 21);
    edge.Op();
    EXPECT_EQ(edge.StrConst(), QStringLiteral("z"));
}

TEST(ByteCode, MalformedHexIsARunTimeError)
{
    for (const char* hex : {"000", "00G0", "00 0", "0x00"})
    {
        EXPECT_EQ(RaisedError([&] { CVexilCodeReader::FromHex(QString::fromLatin1(hex)); }), ERunSubscript) << hex;
    }
}
