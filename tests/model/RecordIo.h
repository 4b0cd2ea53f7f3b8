#pragma once

// Writing a stored object's record to bytes and reading it back, in both forms.

#include "TestEnv.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilStoredObj.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"

#include <QFile>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& aText, std::ostream* aOut)
{
    *aOut << '"' << aText.toStdString() << '"';
}

namespace RecordIo
{
inline const QByteArray kXmlDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n";

inline QByteArray ReadFileBytes(const QString& aName)
{
    QFile file(aName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

inline QString WriteFileBytes(const TempDir& aDir, const QByteArray& aBytes)
{
    const QString name = aDir.File(QStringLiteral("in.bin"));
    QFile file(name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(aBytes);
    return name;
}

// The binary record; fails the test when ExtLen disagrees with the bytes written.
inline QByteArray Binary(CVexilStoredObj& aObj)
{
    TempDir dir;
    const QString name = dir.File(QStringLiteral("out.bin"));
    {
        CVexilFile file;
        file.Construct(name, EFilWrite);
        file.OpenFile();
        aObj.Externalize(file);
        file.CloseFile();
    }
    const QByteArray bytes = ReadFileBytes(name);
    EXPECT_EQ(aObj.ExtLen(), bytes.size()) << "ExtLen of " << aObj.ObjDescr().toStdString();
    return bytes;
}

// Reads a record into aObj; fails the test when bytes are left over.
inline void ReadBinary(const QByteArray& aBytes, CVexilStoredObj& aObj)
{
    TempDir dir;
    CVexilFile file;
    file.Construct(WriteFileBytes(dir, aBytes), EFilRead);
    file.OpenFile();
    aObj.Internalize(file);
    EXPECT_EQ(file.RemainingBytes(), 0);
    file.CloseFile();
}

// The element as written at the top level, without the declaration.
inline QByteArray Xml(CVexilStoredObj& aObj)
{
    TempDir dir;
    const QString name = dir.File(QStringLiteral("out.xml"));
    CVexilXmlWriter writer(name);
    writer.OpenFile();
    aObj.ExternalizeXml(writer);
    writer.CloseFile();
    const QByteArray bytes = ReadFileBytes(name);
    EXPECT_TRUE(bytes.startsWith(kXmlDecl));
    return bytes.mid(kXmlDecl.size());
}

// Reads one top-level element into aObj, which must take its name.
inline void ReadXml(const QByteArray& aElement, CVexilStoredObj& aObj)
{
    TempDir dir;
    CVexilXmlParser parser(WriteFileBytes(dir, kXmlDecl + aElement));
    parser.OpenFile();
    parser.ReadHeader();
    QString name;
    bool endTag = false;
    parser.ReadNext(name, endTag);
    ASSERT_TRUE(aObj.IsInXml(name)) << name.toStdString();
    aObj.InternalizeXml(parser);
    parser.CloseFile();
}
}  // namespace RecordIo
