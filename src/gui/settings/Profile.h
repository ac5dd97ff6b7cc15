#pragma once

// The program's settings store: integers and texts by section and name, kept in the
// per-user INI file of organisation "OrvoCorvane", application "Tessarin".

#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace tessarin {

class Profile final {
public:
    // The per-user settings file (~/.config/OrvoCorvane/Tessarin.ini on Linux).
    Profile();
    // A settings file of its own, for tests and tools.
    explicit Profile(const QString& iniPath);
    ~Profile();
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

    // The stored integer, or `fallback` when it is missing or is not a 32-bit integer.
    int readInt(const QString& section, const QString& name, int fallback) const;
    QString readString(const QString& section, const QString& name, const QString& fallback) const;
    bool contains(const QString& section, const QString& name) const;
    void writeInt(const QString& section, const QString& name, int value);
    void writeString(const QString& section, const QString& name, const QString& value);
    // Writes pending changes to the file.
    void sync();
    QString fileName() const;
    // Why the settings file is not used (it exists but is not a regular file), or empty.
    const QString& problem() const { return problem_; }

private:
    static QString key(const QString& section, const QString& name);

    std::unique_ptr<QTemporaryDir> scratch_;  // holds the stand-in file when the real one is unusable
    QString problem_;
    std::unique_ptr<QSettings> settings_;
};

}  // namespace tessarin
