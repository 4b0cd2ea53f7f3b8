#pragma once

// What every fuzz target sets up once, and how it reports a broken promise of the code it drives.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <exception>

// Sets up the process (libFuzzer's initialisation hook calls it): the message table, the
// pinned locale and time zone, a fixed model clock, and prompts that answer every question at
// once (No) and never block. Input from files or the network never reaches the assertion
// question, so meeting one is a finding.
void InitFuzzEnvironment();

// From now on the assertion question is answered No instead of being a finding: for the
// targets whose input may meet a question that the program asks by design.
void AnswerAssertions();

// Reports what broke and stops the run as a crash, so that libFuzzer keeps the input.
[[noreturn]] void Finding(const char* aWhat, const QString& aDetail = {});

// The error behind an exception: number, description, and the error record's context and parameters.
QString ErrorText(const std::exception& aError);

// A path in the process's own temporary folder.
QString FuzzPath(const QString& aName);
// Makes the bytes the whole content of the file and gives its path back.
QString WriteFuzzFile(const QString& aName, const QByteArray& aBytes);
QByteArray ReadFuzzFile(const QString& aPath);

inline QByteArray InputBytes(const uint8_t* aData, size_t aSize)
{
    return QByteArray(reinterpret_cast<const char*>(aData), static_cast<qsizetype>(aSize));
}
