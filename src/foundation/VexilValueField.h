#pragma once

#include <cstdint>

// The type of a field or control (its ConType).
enum EConType : int32_t
{
    EConTypeText = 0,
    EConTypeInteger = 1,
    EConTypeReal = 2,
    EConTypeDate = 3,
    EConTypeTime = 4,
    EConTypeBoolean = 5,
    EConTypeList = 6,
    EConTypeCommand = 7,
    EConTypePicture = 8,
};

// What the value conversions read of a field definition: its type and its decimals.
class IVexilValueField
{
public:
    virtual int32_t ConType() const = 0;
    // Decimals of a real field; UndefInt = as many as needed.
    virtual int16_t Digits() const = 0;

protected:
    ~IVexilValueField() = default;
};

// What the sort-key width reads in addition: the field's character limits.
class IVexilKeyField : public IVexilValueField
{
public:
    // Maximum number of characters; UndefInt = unlimited.
    virtual int16_t MaxChar() const = 0;
    // Number of visible characters.
    virtual int16_t VisChar() const = 0;

protected:
    ~IVexilKeyField() = default;
};
