#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

// The whole content of a file; empty when it cannot be read.
inline QByteArray FileContent(const QString& aName)
{
    QFile file(aName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Makes aBytes the whole content of file aName and gives the name back.
inline QString SetFileContent(const QString& aName, const QByteArray& aBytes)
{
    QFile file(aName);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(aBytes) == aBytes.size();
    EXPECT_TRUE(written) << "cannot write " << aName.toStdString();
    return aName;
}
