#include "platform/settings_store.h"

#include <QtCore/QSettings>
#include <memory>

namespace {

std::unique_ptr<QSettings> Open(const QString& iniPath, const QString& application) {
    if (iniPath.isEmpty()) {
        return std::make_unique<QSettings>(application, application);
    }
    return std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
}

QString KeyPath(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

} // namespace

QtSettingsStore::QtSettingsStore(QString iniPath) : m_iniPath(std::move(iniPath)) {}

QString QtSettingsStore::Get(const QString& application, const QString& section, const QString& key,
                             const QString& fallback) const {
    const auto settings = Open(m_iniPath, application);
    return settings->value(KeyPath(section, key), fallback).toString();
}

void QtSettingsStore::Save(const QString& application, const QString& section, const QString& key,
                           const QString& value) {
    const auto settings = Open(m_iniPath, application);
    settings->setValue(KeyPath(section, key), value);
    settings->sync();
}
