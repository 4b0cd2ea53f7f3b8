#pragma once

#include <QByteArray>

#include <initializer_list>

// Code bytes written as numbers.
inline QByteArray Bytes(std::initializer_list<int> aBytes)
{
    QByteArray bytes;
    for (int byte : aBytes)
        bytes.append(char(byte));
    return bytes;
}
