#include "windows/SocketDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "live/MonitorConnection.h"
#include "settings/Profile.h"

namespace tessarin {

namespace {
const QString kSection = QStringLiteral("Socket");
const QString kHostKey = QStringLiteral("ServerHost");
const QString kPortKey = QStringLiteral("ServerPort");
const QString kProtocolKey = QStringLiteral("Protocol");
}  // namespace

CSocketDialog::CSocketDialog(Profile& profile, QWidget* parent) : QDialog(parent), profile_(profile) {
    setWindowTitle(QStringLiteral("Connect to server"));
    host_ = profile_.readString(kSection, kHostKey, QString::fromLatin1(kDefaultServerHost));
    port_ = profile_.readInt(kSection, kPortKey, kDefaultServerPort);
    if (port_ < 0) port_ = kDefaultServerPort;
    protocol_ = profile_.readInt(kSection, kProtocolKey, kDefaultMonitorProtocol);
    if (protocol_ < kMinMonitorProtocol || protocol_ > kMaxMonitorProtocol) protocol_ = kDefaultMonitorProtocol;

    hostEdit_ = new QLineEdit(host_, this);
    portEdit_ = new QLineEdit(QString::number(port_), this);
    // Digits only; at most nine, so that the number always fits an int.
    portEdit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), portEdit_));

    protocolBox_ = new QComboBox(this);
    for (int version = kMaxMonitorProtocol; version >= kMinMonitorProtocol; --version) {
        QString label = QString::number(version);
        if (version == 5) label += QStringLiteral(" (servers 17 to 19: cards, focus, stamina capacity)");
        if (version == 2) label += QStringLiteral(" (binary, older servers)");
        protocolBox_->addItem(label, version);
    }
    protocolBox_->setCurrentIndex(protocolBox_->findData(protocol_));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Server &Host Name:"), hostEdit_);
    form->addRow(QStringLiteral("Server &Port:"), portEdit_);
    form->addRow(QStringLiteral("Monitor P&rotocol:"), protocolBox_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSocketDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSocketDialog::reject);
    form->addRow(buttons);
    setLayout(form);
}

CSocketDialog::~CSocketDialog() {
    profile_.writeString(kSection, kHostKey, host_);
    profile_.writeInt(kSection, kPortKey, port_);
    profile_.writeInt(kSection, kProtocolKey, protocol_);
}

void CSocketDialog::accept() {
    host_ = hostEdit_->text().trimmed();
    bool ok = false;
    const int typed = portEdit_->text().toInt(&ok);
    port_ = ok ? typed : 0;
    protocol_ = protocolBox_->currentData().toInt();
    QDialog::accept();
}

}  // namespace tessarin
