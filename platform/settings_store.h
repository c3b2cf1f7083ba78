#pragma once

#include <QtCore/QString>

// The per-user store of text values by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString Get(const QString& application, const QString& section, const QString& key,
                        const QString& fallback) const = 0;
    virtual void Save(const QString& application, const QString& section, const QString& key,
                      const QString& value) = 0;
};

// The platform's own store (QSettings in the user's configuration folder), or an INI file of the
// caller's choice when a path is given, which keeps tests away from the user's settings.
class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(QString iniPath = {});
    QString Get(const QString& application, const QString& section, const QString& key,
                const QString& fallback) const override;
    void Save(const QString& application, const QString& section, const QString& key,
              const QString& value) override;

private:
    QString m_iniPath;
};
