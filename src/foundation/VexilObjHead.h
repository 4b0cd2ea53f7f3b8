#pragma once

#include "foundation/VexilBinObj.h"

#include <QString>

#include <cstdint>
#include <memory>

class CVexilArray;
class CVexilFile;
class CVexilFont;
class CVexilObject;
class CVexilXmlParser;
class CVexilXmlWriter;

// The properties of the common head that the stack, the backgrounds, the fields and the
// cards share. The head procedures read and set them through these, so each class's setters
// run as for any other change.
class IVexilBaseObj
{
public:
    virtual QString Name() const = 0;
    virtual void SetName(const QString& aName) = 0;
    virtual int32_t Id() const = 0;
    virtual void SetId(int32_t aId) = 0;
    virtual int32_t Flags() const = 0;
    virtual void SetFlags(int32_t aFlags) = 0;
    virtual QString ScriptSource() const = 0;
    virtual void SetScriptSource(const QString& aSource) = 0;
    // Compiled handlers keyed by handler name; none when the object has none.
    virtual std::shared_ptr<CVexilArray> Script() const = 0;
    virtual void SetScript(std::shared_ptr<CVexilArray> aScript) = 0;
    virtual std::shared_ptr<CVexilFont> Font() const = 0;
    virtual void SetFont(std::shared_ptr<CVexilFont> aFont) = 0;
    virtual int32_t BackColor() const = 0;
    virtual void SetBackColor(int32_t aColor) = 0;

protected:
    ~IVexilBaseObj() = default;
};

// The "numScripts" and "fontDef" attributes of an XML start tag: which children follow.
struct TXmlHeadAttrs
{
    int16_t NumScripts = 0;
    bool FontDef = false;
};

// Writes and reads the common head (BaseObjHead): in the binary form the record header, name,
// id, flags, script source, compiled handlers, font and back colour; in the XML form the two
// attributes above and the children "ScriptSource", the handlers' "Array" and the "Font".
class CVexilObjHead
{
public:
    static void ExternalizeBaseObj(const IVexilBaseObj& aObj, CVexilFile& aFile, EObjTypeId aTypeId);
    // Returns the generation read (error 1006, 1001 or 1002 for a header the class cannot read).
    static int16_t InternalizeBaseObj(IVexilBaseObj& aObj, CVexilFile& aFile, EObjTypeId aTypeId);
    static int32_t ExtLenBaseObj(const IVexilBaseObj& aObj);

    // True when the object is there and changed.
    static bool IsChanged(const CVexilObject* aObj);
    // The number of compiled handlers, 0 without any.
    static int16_t ScriptCount(const IVexilBaseObj& aObj);

    static void AddHeadAttrs(const IVexilBaseObj& aObj, CVexilXmlWriter& aWriter);
    // After the attributes of the start tag were read.
    static TXmlHeadAttrs ReadHeadAttrs(const CVexilXmlParser& aParser);
    static void ExternalizeHeadXml(const IVexilBaseObj& aObj, CVexilXmlWriter& aWriter);
    static void InternalizeHeadXml(IVexilBaseObj& aObj, CVexilXmlParser& aParser, const TXmlHeadAttrs& aAttrs);
};
