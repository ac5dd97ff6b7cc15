#include "settings/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "settings/Profile.h"

namespace tessarin {

void restorePlacement(QWidget& window, const Profile& profile, const QString& section) {
    const int width = profile.readInt(section, QStringLiteral("Width"), window.width());
    const int height = profile.readInt(section, QStringLiteral("Height"), window.height());
    if (width >= window.minimumWidth() && height >= window.minimumHeight() && width <= 10000 && height <= 10000) {
        window.resize(width, height);
    }
    if (!profile.contains(section, QStringLiteral("Left"))) return;
    const QPoint place(profile.readInt(section, QStringLiteral("Left"), 0),
                       profile.readInt(section, QStringLiteral("Top"), 0));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(place)) {
            window.move(place);
            return;
        }
    }
}

void savePlacement(const QWidget& window, Profile& profile, const QString& section) {
    profile.writeInt(section, QStringLiteral("Left"), window.x());
    profile.writeInt(section, QStringLiteral("Top"), window.y());
    profile.writeInt(section, QStringLiteral("Width"), window.width());
    profile.writeInt(section, QStringLiteral("Height"), window.height());
}

}  // namespace tessarin
