#include "foundation/VexilLib.h"

#include "foundation/VexilCodePage.h"
#include "foundation/VexilError.h"
#include "foundation/VexilGenDef.h"
#include "foundation/VexilValueField.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <limits>

namespace
{
constexpr int kMaxFileNum = 10;
std::array<bool, kMaxFileNum + 1> gFileNumUsed{};

constexpr char16_t kSpecialChars[] = u"\u00A7+|\u00A6\"@*#%&/()=?^~'\u00A8`![]{},.-;:_<>\\ ";

constexpr std::array<bool, 256> MakeSpecialTable()
{
    std::array<bool, 256> table{};
    for (char16_t c : kSpecialChars)
    {
        if (c != 0)
            table[c] = true;
    }
    return table;
}
constexpr std::array<bool, 256> kIsSpecial = MakeSpecialTable();

// A width or position of the 16-bit helpers: negative is an invalid call, beyond 32767 an overflow.
int Checked16(int aValue)
{
    if (aValue > std::numeric_limits<int16_t>::max())
        CVexilError::RaiseRunError(ERunOverflow);
    if (aValue < 0)
        CVexilError::RaiseRunError(ERunInvalidCall);
    return aValue;
}

int HexDigit(QChar aChar)
{
    const char16_t c = aChar.unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// The value of up to two digits read as a hexadecimal number: blanks, tabs and line feeds are
// skipped and reading stops at the first other character that is no digit.
uint8_t HexPairValue(QStringView aPair)
{
    int value = 0;
    for (QChar c : aPair)
    {
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        const int digit = HexDigit(c);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return uint8_t(value);
}

void Increment(int32_t& aValue, int32_t aStep, int32_t aMin, int32_t aMax)
{
    if ((aStep > 0 && aValue >= aMax) || (aStep < 0 && aValue <= aMin))
        CVexilError::RaiseRunError(ERunOverflow);
    aValue += aStep;
}
}  // namespace

void CVexilLib::IncLong(int32_t& aValue)
{
    Increment(aValue, 1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
}

void CVexilLib::DecLong(int32_t& aValue)
{
    Increment(aValue, -1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
}

void CVexilLib::IncInt(int16_t& aValue)
{
    int32_t wide = aValue;
    Increment(wide, 1, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
    aValue = int16_t(wide);
}

void CVexilLib::DecInt(int16_t& aValue)
{
    int32_t wide = aValue;
    Increment(wide, -1, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
    aValue = int16_t(wide);
}

bool CVexilLib::StartsWith(const QString& aText, const QString& aPrefix)
{
    return aText.startsWith(aPrefix, Qt::CaseSensitive);
}

int16_t CVexilLib::CompareStr(const QString& aA, const QString& aB)
{
    const int result = QStringView(aA).compare(QStringView(aB), Qt::CaseSensitive);
    return int16_t(result < 0 ? -1 : (result > 0 ? 1 : 0));
}

QString CVexilLib::NumToPaddedStr(int32_t aNumber, int aWidth)
{
    const int width = Checked16(aWidth);
    // The digits as QString::number writes them, made from the right without temporary texts:
    // every sort key string ends with a padded card id.
    constexpr int kMaxLen = 11;  // "-2147483648"
    char16_t digits[kMaxLen];
    int start = kMaxLen;
    int64_t rest = aNumber < 0 ? -int64_t(aNumber) : int64_t(aNumber);
    do
    {
        digits[--start] = char16_t(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (aNumber < 0)
        digits[--start] = u'-';
    const int len = kMaxLen - start;
    if (len >= width)
        return QString(reinterpret_cast<const QChar*>(digits + kMaxLen - width), width);
    QString text(width, u' ');
    std::copy(digits + start, digits + kMaxLen, reinterpret_cast<char16_t*>(text.data()) + width - len);
    return text;
}

void CVexilLib::PadOrCut(QString& aText, int aWidth)
{
    const int width = Checked16(aWidth);
    if (aText.size() > width)
        aText.truncate(width);
    else
        aText.append(QString(width - aText.size(), u' '));
}

void CVexilLib::ReplaceAll(QString& aText, const QString& aFind, const QString& aReplacement)
{
    if (!aFind.isEmpty())
        aText.replace(aFind, aReplacement, Qt::CaseSensitive);
}

void CVexilLib::InsertStr(const QString& aInsertion, int aPosition, QString& aText)
{
    const int position = Checked16(aPosition);
    aText.insert(std::min<qsizetype>(position, aText.size()), aInsertion);
}

void CVexilLib::SplitAt(const QString& aText, const QString& aSeparator, QString& aHead, QString& aTail)
{
    const qsizetype pos = aText.indexOf(aSeparator, 0, Qt::CaseSensitive);
    if (pos < 0)
    {
        aHead = aText;
        aTail.clear();
        return;
    }
    const QString text = aText;  // the outputs may alias the text
    aHead = text.left(pos);
    aTail = text.mid(pos + aSeparator.size());
}

void CVexilLib::SplitStr(const QString& aSeparator, const QString& aText, QStringList& aParts, int& aCount)
{
    aCount = 0;
    qsizetype start = 0;
    while (start < aText.size())
    {
        // An empty separator would find itself forever: the rest is one part.
        qsizetype pos = aSeparator.isEmpty() ? -1 : aText.indexOf(aSeparator, start, Qt::CaseSensitive);
        if (pos < 0)
            pos = aText.size();
        if (aCount >= aParts.size())
            CVexilError::RaiseRunError(ERunSubscript);
        aParts[aCount++] = aText.mid(start, pos - start);
        start = pos + aSeparator.size();
    }
}

void CVexilLib::SplitLines(const QString& aText, QStringList& aParts, int& aCount)
{
    SplitStr(CVexilGenDef::EolStr(), aText, aParts, aCount);
}

void CVexilLib::SplitComma(const QString& aText, QStringList& aParts, int& aCount)
{
    SplitStr(QStringLiteral(","), aText, aParts, aCount);
}

bool CVexilLib::HasNonBlank(const QString& aText)
{
    return std::any_of(aText.cbegin(), aText.cend(), [](QChar c) { return c != u' '; });
}

bool CVexilLib::IsBlank(const QString& aText)
{
    return !HasNonBlank(aText);
}

void CVexilLib::FlattenLine(QString& aText)
{
    aText.replace(CVexilGenDef::EolStr(), QStringLiteral(" "));
    aText.replace(u'\t', u' ');
}

QString CVexilLib::OneLine(QString aText)
{
    aText.replace(CVexilGenDef::EolStr(), QStringLiteral(" "));
    aText.replace(u'\r', u' ');
    aText.replace(u'\n', u' ');
    return aText;
}

void CVexilLib::CrLfToEol(QString& aText)
{
    aText.replace(CVexilGenDef::EolStr(), QStringLiteral("&eol;"));
}

void CVexilLib::XmlEscape(QString& aText)
{
    QString escaped;
    escaped.reserve(aText.size() + aText.size() / 8);
    for (qsizetype i = 0; i < aText.size(); ++i)
    {
        const QChar c = aText[i];
        switch (c.unicode())
        {
        case u'&': escaped += QLatin1String("&amp;"); break;
        case u'<': escaped += QLatin1String("&lt;"); break;
        case u'>': escaped += QLatin1String("&gt;"); break;
        case u'"': escaped += QLatin1String("&quot;"); break;
        case u'\'': escaped += QLatin1String("&apos;"); break;
        case u'\r':
            // A CR written as it is would end the reader's line: a lone one goes as a
            // character reference, so that it does not come back as a line break.
            if (i + 1 < aText.size() && aText[i + 1] == u'\n')
            {
                ++i;
                escaped += QLatin1String("&eol;");
            }
            else
                escaped += QLatin1String("&#13;");
            break;
        default: escaped += c;
        }
    }
    aText = escaped;
}

// One pass, in place: no entity holds a second "&", and no replacement makes one, so this
// gives what replacing "&lt;" to "&eol;" and then "&amp;" one after the other gives.
void CVexilLib::XmlUnescape(QString& aText)
{
    qsizetype from = aText.indexOf(u'&');
    if (from < 0)
        return;
    static constexpr struct
    {
        QLatin1StringView Entity;
        QStringView Plain;
    } kEntities[] = {
        {QLatin1StringView("&lt;"), u"<"},     {QLatin1StringView("&gt;"), u">"},
        {QLatin1StringView("&quot;"), u"\""}, {QLatin1StringView("&apos;"), u"'"},
        {QLatin1StringView("&eol;"), u"\r\n"}, {QLatin1StringView("&#13;"), u"\r"},
        {QLatin1StringView("&amp;"), u"&"},
    };
    QChar* const data = aText.data();
    const qsizetype size = aText.size();
    qsizetype to = from;
    while (from < size)
    {
        if (data[from] == u'&')
        {
            const QStringView rest = QStringView(data + from, size - from);
            const auto found = std::find_if(std::begin(kEntities), std::end(kEntities),
                                            [rest](const auto& e) { return rest.startsWith(e.Entity); });
            if (found != std::end(kEntities))
            {
                // Every plain text is shorter than its entity, so writing never overtakes reading.
                for (const QChar c : found->Plain)
                    data[to++] = c;
                from += found->Entity.size();
                continue;
            }
        }
        data[to++] = data[from++];
    }
    aText.truncate(to);
}

const QString& CVexilLib::SpecialChars()
{
    static const QString chars = QString::fromUtf16(kSpecialChars);
    return chars;
}

QString CVexilLib::StripSpecialChars(const QString& aText)
{
    // Blanks are special characters, so trailing and leading blanks go with the rest.
    QString stripped;
    stripped.reserve(aText.size());
    for (QChar c : aText)
    {
        if (c.unicode() > 0xFF || !kIsSpecial[c.unicode()])
            stripped += c;
    }
    return stripped;
}

int16_t CVexilLib::SortKeyLen(const IVexilKeyField& aField)
{
    switch (aField.ConType())
    {
    case EConTypeText:
        return std::min<int16_t>(aField.MaxChar() == UndefInt ? aField.VisChar() : aField.MaxChar(), 30);
    case EConTypeInteger: return 11;
    case EConTypeReal: return 15;
    case EConTypeDate: return 8;
    case EConTypeTime: return 6;
    case EConTypeBoolean: return 2;
    default: CVexilError::Assert(false, QStringLiteral("SortKeyLen type")); return 0;
    }
}

QString CVexilLib::StrToHex(const QString& aText)
{
    return BytesToHex(CVexilCodePage::FromStr(aText), false);
}

QString CVexilLib::HexToStr(const QString& aHex)
{
    QString text;
    text.reserve(aHex.size() / 2 + 1);
    for (qsizetype i = 0; i < aHex.size(); i += 2)
        text += CVexilCodePage::ByteToChar(HexPairValue(QStringView(aHex).mid(i, 2)));
    return text;
}

QString CVexilLib::BytesToHex(const QByteArray& aBytes, bool aWithBlanks)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    QString hex;
    hex.reserve(aBytes.size() * (aWithBlanks ? 3 : 2));
    for (qsizetype i = 0; i < aBytes.size(); ++i)
    {
        if (aWithBlanks && i > 0)
            hex += u' ';
        const auto byte = uint8_t(aBytes[i]);
        hex += QLatin1Char(kDigits[byte >> 4]);
        hex += QLatin1Char(kDigits[byte & 0x0F]);
    }
    return hex;
}

QByteArray CVexilLib::HexToBytes(const QString& aHex)
{
    QByteArray bytes(aHex.size() / 2, 0);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(HexPairValue(QStringView(aHex).mid(2 * i, 2)));
    return bytes;
}

QString CVexilLib::UrlDecode(const QString& aText)
{
    QString decoded;
    decoded.reserve(aText.size());
    for (qsizetype i = 0; i < aText.size(); ++i)
    {
        const QChar c = aText[i];
        const bool escape =
            c == u'%' && i + 2 < aText.size() && HexDigit(aText[i + 1]) >= 0 && HexDigit(aText[i + 2]) >= 0;
        if (!escape)
        {
            decoded += c;
            continue;
        }
        decoded += CVexilCodePage::ByteToChar(uint8_t(HexDigit(aText[i + 1]) * 16 + HexDigit(aText[i + 2])));
        i += 2;
    }
    return decoded;
}

bool CVexilLib::FileExists(const QString& aFileName)
{
    if (aFileName.isEmpty())
        return false;
    const QFileInfo info(aFileName);
    if (!aFileName.contains(u'*') && !aFileName.contains(u'?'))
        return info.isFile() && !info.isHidden();
    // QDir::Files without QDir::Hidden finds normal files only.
    return !info.dir().entryList({info.fileName()}, QDir::Files).isEmpty();
}

void CVexilLib::DeleteFile(const QString& aFileName)
{
    QFile::remove(aFileName);
}

void CVexilLib::SplitPath(const QString& aPath, QString& aFolder, QString& aName)
{
    const qsizetype pos = std::max(aPath.lastIndexOf(u'/'), aPath.lastIndexOf(u'\\'));
    const QString path = aPath;  // the outputs may alias the path
    aFolder = pos < 0 ? QString() : path.left(pos);
    aName = path.mid(pos + 1);
}

void CVexilLib::GetFreeFileNum(int16_t& aNumber)
{
    for (int16_t number = 1; number <= kMaxFileNum; ++number)
    {
        if (!gFileNumUsed[number])
        {
            gFileNumUsed[number] = true;
            aNumber = number;
            return;
        }
    }
    CVexilError::RaiseRunError(ERunSubscript);
}

void CVexilLib::FreeFileNum(int16_t aNumber)
{
    if (aNumber < 1 || aNumber > kMaxFileNum)
        CVexilError::RaiseRunError(ERunSubscript);
    CVexilError::Assert(gFileNumUsed[aNumber], QStringLiteral("FreeFileNum used"));
    gFileNumUsed[aNumber] = false;
}
