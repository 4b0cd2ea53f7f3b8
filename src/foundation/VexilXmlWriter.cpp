#include "foundation/VexilXmlWriter.h"

#include "foundation/VexilError.h"
#include "foundation/VexilLib.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace
{
const QString kCrLf = QStringLiteral("\r\n");

// The general number form of a finite value: as many digits as needed up to aDigits
// significant ones, an exponent such as E+20 for very large or small values, and always "." as
// decimal point. Rounded to aDigits, the largest values would read back beyond the range of T;
// these get the shortest text that reads back as the value itself.
template <typename T>
QString GeneralNumber(T aValue, int aDigits)
{
    char buffer[64];
    char* const end = buffer + sizeof buffer;
    auto result = std::to_chars(buffer, end, aValue, std::chars_format::general, aDigits);
    T back = 0;
    const auto read = std::from_chars(buffer, result.ptr, back);
    if (read.ec != std::errc() || !std::isfinite(back))
        result = std::to_chars(buffer, end, aValue, std::chars_format::general);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    return text.toUpper();
}
}  // namespace

CVexilXmlWriter::CVexilXmlWriter(const QString& aFileName)
{
    iFile.Construct(aFileName, EFilSeqWrite);
    iFile.SetCoding(EFilUtf8);
}

void CVexilXmlWriter::OpenFile()
{
    iFile.OpenFile();
    iLine.resize(0);
    iLevel = 0;
    iLine.append(QStringLiteral("<?xml"));
    AddAttr(QStringLiteral("version"), QStringLiteral("1.0"));
    AddAttr(QStringLiteral("encoding"), QStringLiteral("UTF-8"));
    iLine.append(QStringLiteral(" ?>"));
    WriteLine();
}

void CVexilXmlWriter::CloseFile()
{
    CVexilError::Assert(iLine.isEmpty(), QStringLiteral("CloseFile line"));
    iFile.CloseFile();
}

void CVexilXmlWriter::BeginElem(const QString& aName)
{
    iLine.append(QChar('<'));
    iLine.append(aName);
    ++iLevel;
}

void CVexilXmlWriter::AddRawAttr(const QString& aName, QStringView aValue)
{
    iLine.append(QChar(' '));
    iLine.append(aName);
    iLine.append(QStringLiteral("=\""));
    iLine.append(aValue);
    iLine.append(QChar('"'));
}

void CVexilXmlWriter::AddAttr(const QString& aName, const QString& aValue)
{
    iEscaped = aValue;
    CVexilLib::XmlEscape(iEscaped);
    AddRawAttr(aName, iEscaped);
}

void CVexilXmlWriter::AddIntAttr(const QString& aName, int32_t aValue)
{
    AddRawAttr(aName, QString::number(aValue));
}

void CVexilXmlWriter::AddShortAttr(const QString& aName, int16_t aValue)
{
    AddRawAttr(aName, QString::number(aValue));
}

void CVexilXmlWriter::AddRealAttr(const QString& aName, double aValue)
{
    if (!std::isfinite(aValue))
        NotFinite(aName, aValue);
    AddRawAttr(aName, GeneralNumber(aValue, 15));
}

void CVexilXmlWriter::AddSingleAttr(const QString& aName, float aValue)
{
    if (!std::isfinite(aValue))
        NotFinite(aName, aValue);
    AddRawAttr(aName, GeneralNumber(aValue, 7));
}

void CVexilXmlWriter::NotFinite(const QString& aName, double aValue)
{
    throw CVexilException(ERunOverflow, iFile.ObjDescr(),
                          QStringLiteral("The number %1 of \"%2\" cannot be written to a file.")
                              .arg(QString::number(aValue), aName));
}

void CVexilXmlWriter::AddBooleanAttr(const QString& aName, bool aValue)
{
    AddRawAttr(aName, aValue ? QStringLiteral("-1") : QStringLiteral("0"));
}

void CVexilXmlWriter::EndEmptyElem()
{
    iLine.append(QStringLiteral("/>"));
    WriteLine();
    --iLevel;
}

void CVexilXmlWriter::BeginStruct()
{
    iLine.append(QChar('>'));
    WriteLine();
}

void CVexilXmlWriter::AddElemText(const QString& aText)
{
    AddLongElemText(aText);
}

void CVexilXmlWriter::AddLongElemText(const QString& aText)
{
    iEscaped = aText;
    CVexilLib::XmlEscape(iEscaped);
    iLine.append(QChar('>'));
    const QStringView text(iEscaped);
    for (qsizetype from = 0; from < text.size();)
    {
        if (from > 0)
            iLine.append(kCrLf);
        qsizetype len = std::min(kPieceLen, text.size() - from);
        // A line end between the halves of a surrogate pair would lose the character in UTF-8.
        if (len == kPieceLen && text[from + len - 1].isHighSurrogate() && from + len < text.size())
            ++len;
        iLine.append(text.mid(from, len));
        from += len;
    }
}

void CVexilXmlWriter::EndElem(const QString& aName)
{
    iLine.append(QStringLiteral("</"));
    iLine.append(aName);
    iLine.append(QChar('>'));
    WriteLine();
    --iLevel;
}

void CVexilXmlWriter::WriteLine()
{
    if (iLevel > 1)
        iLine.prepend(QString(2 * (iLevel - 1), QChar(' ')));
    iFile.WriteLine(iLine);
    iLine.resize(0);
}
