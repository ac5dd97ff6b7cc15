#include "settings/Profile.h"

#include <sys/stat.h>

#include <QFile>
#include <QStandardPaths>
#include <QtGlobal>

namespace tessarin {

namespace {

// Whether a settings file exists but is no regular file: a FIFO would hold the read for
// ever, and a device or a directory holds no settings.
bool unusableSettingsFile(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode);
}

}  // namespace

Profile::Profile()
    : Profile(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
              QStringLiteral("/OrvoCorvane/Tessarin.ini")) {}

Profile::Profile(const QString& iniPath) {
    if (unusableSettingsFile(iniPath)) {
        // The session keeps its settings in a file of its own that is dropped at the end.
        scratch_ = std::make_unique<QTemporaryDir>();
        problem_ =
            QStringLiteral("the settings file %1 is not a regular file: it is not read, and settings are not kept")
                .arg(iniPath);
        qWarning("%s", qUtf8Printable(problem_));
        settings_ =
            std::make_unique<QSettings>(scratch_->filePath(QStringLiteral("Tessarin.ini")), QSettings::IniFormat);
        return;
    }
    settings_ = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
}

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
