#pragma once

// Where a tool window was and how large it was, kept in the settings between runs.

#include <QString>

class QWidget;

namespace tessarin {

class Profile;

// Moves and resizes `window` as "Left", "Top", "Width" and "Height" of `section` say; a
// place off every screen or a size below the window's minimum is ignored.
void restorePlacement(QWidget& window, const Profile& profile, const QString& section);
void savePlacement(const QWidget& window, Profile& profile, const QString& section);

}  // namespace tessarin
