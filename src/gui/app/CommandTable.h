#pragma once

// The main frame's routing tables: which log-player command, display operation or monitor
// operation each command id stands for, and which command each character key gives.

#include <QChar>

namespace tessarin {

// Log player command of each playback id, or -1.
int logPlayerCommandOf(int id);
// Display operation of each display id, or -1.
int displayOperationOf(int id);
bool isSelectCommand(int id);
bool isMonitorCommand(int id);
// Monitor operation of a Monitor command id: 216..219 are 0..3, 221..225 are 4..8.
int monitorOperationOf(int id);
bool isChangePlaymodeCommand(int id);
// Commands whose handlers are not wired yet: present, but disabled.
bool isWiredLater(int id);
// Command of a character key (letters case-insensitive), or -1.
int commandOfCharacter(QChar c);

}  // namespace tessarin
