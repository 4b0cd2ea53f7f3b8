#pragma once

#include "foundation/VexilObject.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class CVexilFile;
class CVexilXmlParser;
class CVexilXmlWriter;

// An object that writes and reads its own record in the binary and the XML stack file.
// Array elements of the object types hold such objects.
class CVexilStoredObj : public CVexilObject
{
public:
    // The byte length that Externalize writes.
    virtual int32_t ExtLen() = 0;
    virtual void Externalize(CVexilFile& aFile) = 0;
    virtual void Internalize(CVexilFile& aFile) = 0;
    // Whether aName is the name of this class's XML element.
    virtual bool IsInXml(const QString& aName) const = 0;
    virtual void ExternalizeXml(CVexilXmlWriter& aWriter) = 0;
    // Reads the element whose start tag name the caller has just read.
    virtual void InternalizeXml(CVexilXmlParser& aParser) = 0;

    // Error 1006 for something in an XML file that its reader cannot take.
    static void CheckXml(const CVexilXmlParser& aParser, bool aOk, const QString& aContext, const QString& aDetail);
    // Reads the start tag of the next element and lets aObj read the element, which must be its own.
    static void ReadXmlChild(CVexilXmlParser& aParser, CVexilStoredObj& aObj, const QString& aContext,
                             const QString& aDetail);
    // An element that holds only text: its start tag, the text and its end tag.
    static void WriteXmlTextElem(CVexilXmlWriter& aWriter, const QString& aName, const QString& aText);
    static QString ReadXmlTextElem(CVexilXmlParser& aParser, const QString& aName, const QString& aContext);
};

using TStoredRef = std::shared_ptr<CVexilStoredObj>;

// Makes the objects that array elements of the object types (EValCard to EValBlob) hold when
// they are read. Arrays are known here; the model registers its classes at start-up.
class CVexilObjFactory
{
public:
    using TCreate = std::function<TStoredRef()>;

    // An empty aCreate removes the class of the type.
    static void Register(int32_t aValType, TCreate aCreate);
    // A new object of the class that the value type names; none when no class is registered.
    static TStoredRef Create(int32_t aValType);
};
