#pragma once

#include <QString>

#include <cstdint>
#include <memory>

// Sentinels used in place of null values in 32-bit and 16-bit fields.
inline constexpr int32_t UndefLong = 1999999999;
inline constexpr int16_t UndefInt = 31999;

// Base of every object that a value, an array element or an assertion can refer to.
// Objects live while referenced; back-links inside the model are non-owning.
class CVexilObject : public std::enable_shared_from_this<CVexilObject>
{
public:
    virtual ~CVexilObject() = default;
    // Class name and object name, for assertion texts.
    virtual QString ObjDescr() const = 0;
    // Whether the object changed since it was read or saved; containers ask their elements.
    virtual bool Changed() const { return false; }
    virtual void SetChanged(bool /*aChanged*/) {}
};

using TObjRef = std::shared_ptr<CVexilObject>;
