#include "app/CommandTable.h"

#include <QRegularExpression>
#include <QShortcutEvent>

namespace tessarin {

namespace {

QString withoutMnemonic(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text;
}

}  // namespace

QList<QKeySequence> letterKeys(Qt::Key letter) { return {QKeySequence(letter), QKeySequence(Qt::SHIFT | letter)}; }

Qt::Key leftPlayerKey(int unum) {
    if (unum == 10) return Qt::Key_0;
    if (unum == 11) return Qt::Key_Minus;
    return static_cast<Qt::Key>(Qt::Key_1 + (unum - 1));
}

QList<QKeySequence> rightPlayerKeys(int unum) {
    static constexpr Qt::Key kUsCharacters[] = {Qt::Key_Exclam,     Qt::Key_At,        Qt::Key_NumberSign,
                                                Qt::Key_Dollar,     Qt::Key_Percent,   Qt::Key_AsciiCircum,
                                                Qt::Key_Ampersand,  Qt::Key_Asterisk,  Qt::Key_ParenLeft,
                                                Qt::Key_ParenRight, Qt::Key_Underscore};
    return {QKeySequence(Qt::SHIFT | leftPlayerKey(unum)), QKeySequence(kUsCharacters[unum - 1])};
}

CommandAction::CommandAction(const Command& command, QObject* parent) : QAction(command.text, parent) {
    setData(command.id);
    setToolTip(command.tip.isEmpty() ? withoutMnemonic(command.text) : command.tip);
    setShortcuts(command.keys);
    setShortcutContext(Qt::ApplicationShortcut);
    setCheckable(static_cast<bool>(command.checked));
    if (!command.icon.isNull()) setIcon(command.icon);
    setIconVisibleInMenu(false);
}

bool CommandAction::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->isAmbiguous() && shortcuts().contains(shortcut->key())) {
            if (isEnabled()) trigger();
            return true;
        }
    }
    return QAction::event(event);
}

}  // namespace tessarin
