#include "app/RecentFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "settings/Profile.h"

namespace tessarin {

namespace {

const QString kSection = QStringLiteral("RecentFiles");

QString valueName(int i) { return QStringLiteral("File%1").arg(i + 1); }

}  // namespace

RecentFiles::RecentFiles(Profile& profile, QMenu& menu, std::function<void(const QString&)> open)
    : profile_(profile), menu_(menu), open_(std::move(open)) {
    for (int i = 0; i < kRecentFileCount; ++i) {
        const QString path = profile_.readString(kSection, valueName(i), QString());
        if (!path.isEmpty() && !files_.contains(path)) files_ << path;
    }
    rebuildMenu();
}

void RecentFiles::add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files_.removeAll(absolute);
    files_.prepend(absolute);
    while (files_.size() > kRecentFileCount) files_.removeLast();
    write();
    rebuildMenu();
}

QString RecentFiles::lastFolder() const {
    if (files_.isEmpty()) return {};
    return QFileInfo(files_.front()).absolutePath();
}

void RecentFiles::write() {
    for (int i = 0; i < kRecentFileCount; ++i) {
        profile_.writeString(kSection, valueName(i), i < files_.size() ? files_[i] : QString());
    }
    profile_.sync();
}

void RecentFiles::rebuildMenu() {
    menu_.clear();
    for (int i = 0; i < files_.size(); ++i) {
        const QString path = files_[i];
        // "&1 demo.rcg": a digit to choose it by key, the full path as the tip.
        QAction* act = menu_.addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        act->setToolTip(QDir::toNativeSeparators(path));
        act->setStatusTip(QDir::toNativeSeparators(path));
        // Opening rebuilds this menu, which must not happen inside its own action.
        QObject::connect(act, &QAction::triggered, &menu_, [this, path] {
            QMetaObject::invokeMethod(
                &menu_, [this, path] { open_(path); }, Qt::QueuedConnection);
        });
    }
    menu_.setEnabled(!files_.isEmpty());
}

}  // namespace tessarin
