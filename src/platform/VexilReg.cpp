#include "platform/VexilReg.h"

#include "foundation/VexilError.h"

#include <QSettings>

#include <memory>

namespace
{
QString gFileName;

std::unique_ptr<QSettings> OpenSettings()
{
    if (gFileName.isEmpty())
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Fennoware"),
                                           QStringLiteral("Quorvans"));
    return std::make_unique<QSettings>(gFileName, QSettings::IniFormat);
}

QString Key(const QString& aSection, const QString& aName)
{
    return QStringLiteral("1.x/") + aSection + QLatin1Char('/') + aName;
}
}  // namespace

void CVexilReg::SetFileName(const QString& aFileName)
{
    gFileName = aFileName;
}

void CVexilReg::GetVal(const QString& aSection, const QString& aName, QString& aText, bool& aFound)
{
    const QVariant value = OpenSettings()->value(Key(aSection, aName));
    aText = value.typeId() == QMetaType::QString ? value.toString() : QString();
    aFound = !aText.isEmpty();
}

void CVexilReg::PutVal(const QString& aSection, const QString& aName, const QString& aText)
{
    PutVals(aSection, {{aName, aText}});
}

void CVexilReg::PutVals(const QString& aSection, const QList<std::pair<QString, QString>>& aValues)
{
    // Each write of the file is flushed to the disk, which takes long: one for all.
    const std::unique_ptr<QSettings> settings = OpenSettings();
    for (const auto& [name, text] : aValues)
        settings->setValue(Key(aSection, name), text);
    settings->sync();
    const QSettings::Status status = settings->status();
    if (status == QSettings::NoError)
        return;
    for (const auto& value : aValues)
        CVexilError::Assert(false, QStringLiteral("PutVal res ") + QString::number(int(status)) +
                                       QStringLiteral(", key=") + value.first);
}
