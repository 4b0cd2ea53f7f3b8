#pragma once

// Writing a stored object's record to bytes and reading it back, in both forms, with the
// checks every record test wants: ExtLen equals the bytes written, a read takes them all.

#include "QStringPrinter.h"
#include "StoredForms.h"

#include <gtest/gtest.h>

namespace RecordIo
{
// The binary record; fails the test when ExtLen disagrees with the bytes written.
inline QByteArray Binary(CVexilStoredObj& aObj)
{
    const QByteArray bytes = BinaryOf([&](CVexilFile& aFile) { aObj.Externalize(aFile); });
    EXPECT_EQ(aObj.ExtLen(), bytes.size()) << "ExtLen of " << aObj.ObjDescr().toStdString();
    return bytes;
}

// Reads a record into aObj; fails the test when bytes are left over.
inline void ReadBinary(const QByteArray& aBytes, CVexilStoredObj& aObj)
{
    ::ReadBinary(aBytes, [&](CVexilFile& aFile) {
        aObj.Internalize(aFile);
        EXPECT_EQ(aFile.RemainingBytes(), 0);
    });
}

// The element as written at the top level, without the declaration.
inline QByteArray Xml(CVexilStoredObj& aObj)
{
    return XmlOf([&](CVexilXmlWriter& aWriter) { aObj.ExternalizeXml(aWriter); });
}

// Reads one top-level element into aObj, which must take its name.
inline void ReadXml(const QByteArray& aElement, CVexilStoredObj& aObj)
{
    ::ReadXml(aElement, aObj);
}
}  // namespace RecordIo
