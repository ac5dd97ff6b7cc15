#pragma once

// The modal "Connect to server" dialog of the monitor connection.

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;

namespace tessarin {

class Profile;

// Asks for the server's host, monitor port and monitor protocol (2 to 5). Opens with the
// "Socket" section's "ServerHost", "ServerPort" and "Protocol" (default 5) and writes
// back what its fields hold when it is destroyed, after OK or Cancel alike (after Cancel
// they are the values it opened with).
class CSocketDialog final : public QDialog {
public:
    explicit CSocketDialog(Profile& profile, QWidget* parent = nullptr);
    ~CSocketDialog() override;

    QString host() const { return host_; }
    // The port as typed (digits only); the connection uses it modulo 65536.
    int port() const { return port_; }
    int protocol() const { return protocol_; }

    void accept() override;

private:
    Profile& profile_;
    QLineEdit* hostEdit_ = nullptr;
    QLineEdit* portEdit_ = nullptr;
    QComboBox* protocolBox_ = nullptr;
    QString host_;
    int port_ = 0;
    int protocol_ = 0;
};

}  // namespace tessarin
