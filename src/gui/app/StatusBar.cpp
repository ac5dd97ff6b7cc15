#include "app/StatusBar.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include "record/GameRecords.h"

namespace tessarin {

namespace {

const QString kSeparator = QStringLiteral(" | ");
const QString kDash = QStringLiteral(" \u2014 ");

// The titles' first part: the file and, while connected, the live host.
QString titlePrefix(const StatusFacts& facts) {
    QStringList parts;
    if (!facts.fileName.isEmpty()) parts << facts.fileName;
    if (facts.live) parts << facts.liveAddress;
    return parts.isEmpty() ? QString() : parts.join(kDash) + kDash;
}

}  // namespace

QStringList statusSections(const StatusFacts& facts) {
    QStringList sections;
    if (!facts.fileName.isEmpty()) sections << facts.fileName;
    if (facts.hasGame) {
        sections << QStringLiteral("cycle %1 / %2").arg(facts.cycle).arg(facts.lastCycle);
        const std::string_view mode = playModeName(facts.playmode);
        if (!mode.empty()) sections << QString::fromLatin1(mode.data(), static_cast<qsizetype>(mode.size()));
        const double perSecond = facts.periodMs > 0 ? 1000.0 / facts.periodMs : 0.0;
        const QString speed = QStringLiteral("%1 cycles/s").arg(perSecond, 0, 'f', 1);
        if (!facts.running) {
            sections << QStringLiteral("stopped (%1)").arg(speed);
        } else {
            sections << QStringLiteral("%1 %2").arg(
                speed, facts.reverse ? QStringLiteral("backward") : QStringLiteral("forward"));
        }
    }
    if (facts.live) {
        sections << QStringLiteral("connected to %1, %2 records received").arg(facts.liveAddress).arg(facts.received);
    }
    return sections;
}

QString frameTitle(const StatusFacts& facts) { return titlePrefix(facts) + QStringLiteral("Tessarin"); }

QString displayTitle(const StatusFacts& facts) { return titlePrefix(facts) + QStringLiteral("Displayer Window"); }

StatusBar::StatusBar(QMainWindow& frame) : frame_(frame) {
    QStatusBar* bar = frame_.statusBar();
    bar->setSizeGripEnabled(false);
    sections_ = new QLabel(bar);
    sections_->setObjectName(QStringLiteral("statusSections"));
    bar->addPermanentWidget(sections_);
}

void StatusBar::show(const StatusFacts& facts, QWidget* separatedDisplay) {
    const QString text = statusSections(facts).join(kSeparator);
    if (sections_->text() != text) sections_->setText(text);
    const QString title = frameTitle(facts);
    if (frame_.windowTitle() != title) frame_.setWindowTitle(title);
    if (separatedDisplay) {
        const QString shown = displayTitle(facts);
        if (separatedDisplay->windowTitle() != shown) separatedDisplay->setWindowTitle(shown);
    }
}

void StatusBar::flash(const QString& message) { frame_.statusBar()->showMessage(message, kStatusMessageMs); }

QString StatusBar::text() const { return sections_->text(); }

QString StatusBar::message() const { return frame_.statusBar()->currentMessage(); }

}  // namespace tessarin
