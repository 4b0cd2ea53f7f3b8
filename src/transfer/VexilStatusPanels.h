#pragma once

#include <QString>

// The three status bar panels that the transfer server writes: 1 the last request line,
// 2 the last reply header, 3 the server's state. The main window implements it.
class IVexilStatusPanels
{
public:
    virtual ~IVexilStatusPanels() = default;
    virtual void SetStatusPanel1(const QString& aText) = 0;
    virtual void SetStatusPanel2(const QString& aText) = 0;
    virtual void SetStatusPanel3(const QString& aText) = 0;
};
