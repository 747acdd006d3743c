#pragma once
// The remote-connection dialog: address and port of the instrument, Connect and Disconnect. It
// owns the link's socket, collects the instrument's replies into the process-wide
// InstrumentSettings and announces each refreshed group with settingsReceived().
//
// Modeless; the main frame creates it hidden and shows it (centred) for the Remote Connection
// command. Connection states are reported through the status callback (pane 1 of the status bar).

#include "CClientSocket.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace remote {

class CRemoteConnDlg : public QDialog {
    Q_OBJECT
public:
    using StatusCallback = std::function<void(const QString&)>;

    explicit CRemoteConnDlg(QWidget* parent = nullptr, StatusCallback status = {});
    ~CRemoteConnDlg() override;

    // Fetches the dialog's texts again (after a language change).
    void applyLanguage();
    // Shows the dialog centred over its parent (the Remote Connection command).
    void showCentered();

    bool isConnected() const;
    // Sends a line to the instrument; false when not connected or the send failed.
    bool sendLine(const std::string& line);
    CClientSocket& socket() { return *m_socket; }

    // The address and port as entered ("%d.%d.%d.%d"; a text that is no dotted address gives
    // 255.255.255.255).
    QString address() const;
    unsigned port() const;
    void setAddress(const QString& address);
    void setPort(unsigned port);

    // Connect (1533) and Disconnect (1534), also reachable from the buttons.
    void onConnect();
    void onDisconnect();

signals:
    // A reply refreshed InstrumentSettings: group 1 system settings, 2 test settings.
    void settingsReceived(int group);
    // The connection was opened or closed (by either side).
    void connectionChanged(bool connected);

private:
    void onSocketMessage(int message);
    void onData();
    void status(const char* key);

    std::unique_ptr<CClientSocket> m_socket;
    StatusCallback m_status;
    QLineEdit* m_ip = nullptr;
    QLineEdit* m_port = nullptr;
    QLabel* m_ipLabel = nullptr;
    QLabel* m_portLabel = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_disconnect = nullptr;
};

// Parses a dotted IPv4 address into four bytes; false when the text is not one.
bool parseDottedAddress(const QString& text, unsigned char out[4]);

} // namespace remote
