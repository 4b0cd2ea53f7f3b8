#pragma once

#include "RaisedError.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "foundation/VexilError.h"
#include "foundation/VexilFile.h"
#include "foundation/VexilStoredObj.h"
#include "foundation/VexilXmlParser.h"
#include "foundation/VexilXmlWriter.h"

#include <functional>

// Helpers for tests of the binary and the XML form of stored objects.

// Bytes from hexadecimal text such as "04 00 41 00".
inline QByteArray HexBytes(const char* aHex)
{
    return QByteArray::fromHex(QByteArray(aHex).replace(' ', QByteArray()));
}

// A 16-bit and a 32-bit integer as the binary records hold them (little-endian).
inline QByteArray Le16(int32_t aValue)
{
    return QByteArray(1, char(aValue & 0xFF)) + QByteArray(1, char((aValue >> 8) & 0xFF));
}

inline QByteArray Le32(int32_t aValue)
{
    return Le16(aValue & 0xFFFF) + Le16((aValue >> 16) & 0xFFFF);
}

// The bytes that aWrite writes into a new binary file.
inline QByteArray BinaryOf(const std::function<void(CVexilFile&)>& aWrite)
{
    TempDir dir;
    const QString name = dir.File(QStringLiteral("out.bin"));
    {
        CVexilFile file;
        file.Construct(name, EFilWrite);
        file.OpenFile();
        aWrite(file);
        file.CloseFile();
    }
    return FileContent(name);
}

// Runs aRead on a binary file that holds aBytes, opened for reading; aName gets its path.
inline void ReadBinary(const QByteArray& aBytes, const std::function<void(CVexilFile&)>& aRead,
                       QString* aName = nullptr)
{
    TempDir dir;
    const QString name = dir.File(QStringLiteral("in.bin"));
    SetFileContent(name, aBytes);
    if (aName)
        *aName = name;
    CVexilFile file;
    file.Construct(name, EFilRead);
    file.OpenFile();
    aRead(file);
    file.CloseFile();
}

inline const QByteArray kXmlDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n";

// The lines that aWrite writes into an XML document, without the declaration.
inline QByteArray XmlOf(const std::function<void(CVexilXmlWriter&)>& aWrite)
{
    TempDir dir;
    const QString name = dir.File(QStringLiteral("out.xml"));
    {
        CVexilXmlWriter writer(name);
        writer.OpenFile();
        aWrite(writer);
        writer.CloseFile();
    }
    const QByteArray bytes = FileContent(name);
    return bytes.startsWith(kXmlDecl) ? bytes.mid(kXmlDecl.size()) : bytes;
}

// Reads the first element of a document whose lines after the declaration are aBody into aObj;
// aName gets the file's path.
inline void ReadXml(const QByteArray& aBody, CVexilStoredObj& aObj, QString* aName = nullptr)
{
    TempDir dir;
    const QString name = dir.File(QStringLiteral("in.xml"));
    SetFileContent(name, kXmlDecl + aBody);
    if (aName)
        *aName = name;
    CVexilXmlParser parser(name);
    parser.OpenFile();
    parser.ReadHeader();
    CVexilStoredObj::ReadXmlChild(parser, aObj, QStringLiteral("Test"), QStringLiteral("root"));
    parser.CloseFile();
}
