#pragma once

// Where a tool window was and how large it was, kept in the settings between runs.

#include <QString>

class QWidget;

namespace tessarin {

class Profile;

// Moves and resizes `window` as "Left", "Top", "Width" and "Height" of `section` say; a
// place off every screen or a size below the window's minimum is ignored. Without a
// stored place the window goes beside the program's other windows (placeBesideOthers).
void restorePlacement(QWidget& window, const Profile& profile, const QString& section);
// Moves a window that has no place of its own beside the visible windows of the program
// (the bar strip and the display): right of them where the screen has room, else left of
// them, else against the screen's right edge, so that it covers neither the field nor the
// bars where it can help it. Always on the screen.
void placeBesideOthers(QWidget& window);
void savePlacement(const QWidget& window, Profile& profile, const QString& section);

}  // namespace tessarin
