#include "settings/WindowPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "settings/Profile.h"

namespace tessarin {

namespace {

// Between a placed window and the windows beside it, in pixels.
constexpr int kGap = 8;
// What a window system's frame may add around a window not yet shown, in pixels.
constexpr int kFrameRoom = 32;

}  // namespace

void restorePlacement(QWidget& window, const Profile& profile, const QString& section) {
    const int width = profile.readInt(section, QStringLiteral("Width"), window.width());
    const int height = profile.readInt(section, QStringLiteral("Height"), window.height());
    if (width >= window.minimumWidth() && height >= window.minimumHeight() && width <= 10000 && height <= 10000) {
        window.resize(width, height);
    }
    if (!profile.contains(section, QStringLiteral("Left"))) {
        placeBesideOthers(window);
        return;
    }
    const QPoint place(profile.readInt(section, QStringLiteral("Left"), 0),
                       profile.readInt(section, QStringLiteral("Top"), 0));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(place)) {
            window.move(place);
            return;
        }
    }
}

void placeBesideOthers(QWidget& window) {
    QRect taken;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != &window && other->isVisible()) taken |= other->frameGeometry();
    }
    if (taken.isNull()) return;
    const QWidget* parent = window.parentWidget();
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // Before its first showing a window has no frame yet: keep room for one.
    const QSize size = window.frameGeometry().size().expandedTo(window.size() + QSize(kFrameRoom, kFrameRoom));
    int left = taken.right() + 1 + kGap;
    if (left + size.width() > area.right() + 1) left = taken.left() - kGap - size.width();
    if (left < area.left()) left = area.right() + 1 - size.width();
    window.move(std::clamp(left, area.left(), std::max(area.left(), area.right() + 1 - size.width())),
                std::clamp(taken.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
}

void savePlacement(const QWidget& window, Profile& profile, const QString& section) {
    profile.writeInt(section, QStringLiteral("Left"), window.x());
    profile.writeInt(section, QStringLiteral("Top"), window.y());
    profile.writeInt(section, QStringLiteral("Width"), window.width());
    profile.writeInt(section, QStringLiteral("Height"), window.height());
}

}  // namespace tessarin
