#include "settings/Profile.h"

namespace tessarin {

Profile::Profile()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("OrvoCorvane"),
                                            QStringLiteral("Tessarin"))) {}

Profile::Profile(const QString& iniPath) : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

Profile::~Profile() { settings_->sync(); }

QString Profile::key(const QString& section, const QString& name) { return section + QLatin1Char('/') + name; }

int Profile::readInt(const QString& section, const QString& name, int fallback) const {
    const QVariant value = settings_->value(key(section, name));
    if (!value.isValid()) return fallback;
    // Values are written as decimal text; anything else (words, fractions, numbers
    // beyond 32 bits) is treated as missing.
    bool ok = false;
    const int parsed = value.toString().trimmed().toInt(&ok);
    return ok ? parsed : fallback;
}

QString Profile::readString(const QString& section, const QString& name, const QString& fallback) const {
    const QVariant value = settings_->value(key(section, name));
    if (!value.isValid()) return fallback;
    // A list (an unquoted comma in the file) is not a text of ours.
    if (value.typeId() == QMetaType::QStringList) return fallback;
    return value.toString();
}

bool Profile::contains(const QString& section, const QString& name) const {
    return settings_->contains(key(section, name));
}

void Profile::writeInt(const QString& section, const QString& name, int value) {
    settings_->setValue(key(section, name), value);
}

void Profile::writeString(const QString& section, const QString& name, const QString& value) {
    settings_->setValue(key(section, name), value);
}

void Profile::sync() { settings_->sync(); }

QString Profile::fileName() const { return settings_->fileName(); }

}  // namespace tessarin
