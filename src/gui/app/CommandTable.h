#pragma once

// The main frame's commands, each described once: its id, menu text, keys, what it does
// and what decides whether it is enabled and checked. The frame builds one action per
// command from these rows and puts the same action into menus, tool bars and the display's
// context menus; the keys are the actions' own shortcuts, valid in every window of the
// program.

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>

namespace tessarin {

struct Command {
    int id = 0;
    // Menu text with its mnemonic; the keys are shown beside it, never written into it.
    QString text = {};
    // The first key is the one menus show.
    QList<QKeySequence> keys = {};
    std::function<void()> run = {};
    // None: always enabled.
    std::function<bool()> enabled = {};
    // None: not checkable.
    std::function<bool()> checked = {};
    QIcon icon = {};
    // Tool tip; the menu text without its mnemonic when empty.
    QString tip = {};
};

// The keys of a letter: the letter in either case (with Shift, or with Caps Lock).
QList<QKeySequence> letterKeys(Qt::Key letter);
// The keys that select right player `unum` (1..11): Shift and the digit key of left
// player `unum` (1..9, 0, minus), by key code, so that every layout reaches them; and
// the character a US keyboard gives for that pair ("!" .. ")", "_").
QList<QKeySequence> rightPlayerKeys(int unum);
// The key that selects left player `unum` (1..11): 1..9, 0, minus.
Qt::Key leftPlayerKey(int unum);

// The action of one command. Its shortcuts are application-wide. When one key press
// matches two of its own shortcuts (an X11 keyboard reports Shift+1 as both "Shift+1"
// and "!"), Qt calls the match ambiguous; the action still triggers, since both name it.
class CommandAction final : public QAction {
    Q_OBJECT

public:
    CommandAction(const Command& command, QObject* parent);

protected:
    bool event(QEvent* event) override;
};

}  // namespace tessarin
