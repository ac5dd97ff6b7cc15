#pragma once

// The "Recent Files" sub-menu: the last game files opened, newest first, kept in the
// settings section "RecentFiles" as "File1" .. "File8".

#include <QString>
#include <QStringList>
#include <functional>

class QMenu;

namespace tessarin {

class Profile;

inline constexpr int kRecentFileCount = 8;

class RecentFiles final {
public:
    // Reads the list; choosing an entry of `menu` calls `open` with its path.
    RecentFiles(Profile& profile, QMenu& menu, std::function<void(const QString&)> open);

    // Puts `path` first (once), drops the oldest beyond kRecentFileCount and writes the list.
    void add(const QString& path);
    const QStringList& files() const { return files_; }
    // The folder of the newest file, where the open and save dialogs start; empty when none.
    QString lastFolder() const;

private:
    void write();
    void rebuildMenu();

    Profile& profile_;
    QMenu& menu_;
    std::function<void(const QString&)> open_;
    QStringList files_;
};

}  // namespace tessarin
