#include "app/settings_store.h"

#include "app/product.h"
#include "platform/failure.h"

#include <QSettings>

namespace app {

namespace {
QString Key(const QString& key) { return QLatin1String(kProductName) + QLatin1Char('/') + key; }
}  // namespace

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QLatin1String(kSettingsApplication)))
{
}

SettingsStore::SettingsStore(const QString& fileName)
    : settings_(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::read(const QString& key, const QString& defaultValue) const
{
    const QVariant value = settings_->value(Key(key));
    return value.isValid() ? value.toString() : defaultValue;
}

void SettingsStore::write(const QString& key, const QString& value)
{
    settings_->setValue(Key(key), value);
    settings_->sync();
    if (settings_->status() == QSettings::NoError || writeFailed_)
        return;
    writeFailed_ = true;
    throw platform::Failure(QStringLiteral("The setting %1 could not be stored in %2").arg(key, fileName()));
}

QString SettingsStore::fileName() const { return settings_->fileName(); }

bool TextToBoolean(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool isNumber = false;
    const double number = trimmed.toDouble(&isNumber);
    if (!isNumber)
        throw platform::Failure(QStringLiteral("Type mismatch"), 13);
    return number != 0;
}

QString BooleanToText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

}  // namespace app
