#include "CRemoteConnDlg.h"

#include "ConfigKeys.h"
#include "ConfigStore.h"
#include "OtdrIds.h"
#include "RemoteIds.h"
#include "RemoteProtocol.h"
#include "RemoteUi.h"
#include "Settings.h"
#include "TextKeys.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStringList>

namespace remote {

bool parseDottedAddress(const QString& text, unsigned char out[4])
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const unsigned value = parts[i].toUInt(&ok);
        if (!ok || value > 255 || parts[i].isEmpty())
            return false;
        out[i] = static_cast<unsigned char>(value);
    }
    return true;
}

CRemoteConnDlg::CRemoteConnDlg(QWidget* parent, StatusCallback status)
    : QDialog(parent), m_status(std::move(status))
{
    otdrTagObject(this, ids::kDlgRemoteConn);
    setModal(false);

    m_ipLabel = new QLabel(this);
    otdrTagObject(m_ipLabel, ids::kIpLabel);
    m_ip = new QLineEdit(this);
    otdrTagObject(m_ip, ids::kIpAddress);
    m_ip->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^[0-9]{0,3}(\\.[0-9]{0,3}){0,3}$")), m_ip));
    m_portLabel = new QLabel(this);
    otdrTagObject(m_portLabel, ids::kPortLabel);
    m_port = new QLineEdit(this);
    otdrTagObject(m_port, ids::kPortEdit);
    m_port->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^[0-9]{0,5}$")), m_port));
    m_connect = new QPushButton(this);
    otdrTagObject(m_connect, ids::kConnect);
    m_disconnect = new QPushButton(this);
    otdrTagObject(m_disconnect, ids::kDisconnect);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_ipLabel, 0, 0);
    grid->addWidget(m_ip, 0, 1);
    grid->addWidget(m_portLabel, 1, 0);
    grid->addWidget(m_port, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_connect);
    buttons->addWidget(m_disconnect);
    grid->addLayout(buttons, 2, 0, 1, 2);

    connect(m_connect, &QPushButton::clicked, this, &CRemoteConnDlg::onConnect);
    connect(m_disconnect, &QPushButton::clicked, this, &CRemoteConnDlg::onDisconnect);

    // The reader thread's notifications are queued to this dialog's thread; a call still queued
    // when the dialog goes away is dropped with it.
    m_socket = std::make_unique<CClientSocket>([this](int message) {
        QMetaObject::invokeMethod(this, [this, message] { onSocketMessage(message); },
                                  Qt::QueuedConnection);
    });
    m_socket->setLineEnd(CCESocket::LineEndLf);

    applyLanguage();
    setAddress(QString::fromStdString(readConfig(cfg::kRemoteSetting, cfg::kIp)));
    setPort(static_cast<unsigned>(std::max(0, readConfigInt(cfg::kRemoteSetting, cfg::kPort))));
}

CRemoteConnDlg::~CRemoteConnDlg()
{
    m_socket.reset(); // stops the reader thread before the dialog goes
}

void CRemoteConnDlg::applyLanguage()
{
    setWindowTitle(remoteText(tk::IDS_REMOTE_SETTING_TITLE));
    m_ipLabel->setText(remoteText(tk::IDS_REMOTE_SETTING_IP));
    m_portLabel->setText(remoteText(tk::IDS_REMOTE_SETTING_PORT));
    m_connect->setText(remoteText(tk::IDS_REMOTE_SETTING_CONNECT));
    m_disconnect->setText(remoteText(tk::IDS_REMOTE_SETTING_DISCONNECT));
}

void CRemoteConnDlg::showCentered()
{
    adjustSize();
    const QWidget* over = parentWidget();
    const QRect area = over ? over->frameGeometry()
                            : (screen() ? screen()->availableGeometry() : QRect());
    if (area.isValid())
        move(area.center() - rect().center());
    show();
    raise();
    activateWindow();
}

QString CRemoteConnDlg::address() const
{
    unsigned char b[4];
    if (!parseDottedAddress(m_ip->text(), b))
        b[0] = b[1] = b[2] = b[3] = 255;
    return QStringLiteral("%1.%2.%3.%4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]);
}

unsigned CRemoteConnDlg::port() const
{
    bool ok = false;
    const unsigned value = m_port->text().toUInt(&ok);
    return ok ? value : 65536; // refused by connect as an invalid port
}

void CRemoteConnDlg::setAddress(const QString& address)
{
    unsigned char b[4];
    if (!parseDottedAddress(address, b))
        b[0] = b[1] = b[2] = b[3] = 255;
    m_ip->setText(QStringLiteral("%1.%2.%3.%4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]));
}

void CRemoteConnDlg::setPort(unsigned port)
{
    m_port->setText(QString::number(port));
}

bool CRemoteConnDlg::isConnected() const
{
    return m_socket->state() >= CCESocket::Connected;
}

bool CRemoteConnDlg::sendLine(const std::string& line)
{
    return isConnected() && m_socket->sendLine(line) > 0;
}

void CRemoteConnDlg::status(const char* key)
{
    if (m_status)
        m_status(remoteText(key));
}

void CRemoteConnDlg::onConnect()
{
    m_connect->setEnabled(false);
    if (isConnected()) {
        // Connect while connected closes the connection; the dialog stays open.
        m_socket->disconnect();
        status(tk::IDS_REMOTE_DISCONNECT);
        m_connect->setEnabled(true);
        emit connectionChanged(false);
        return;
    }
    const QString host = address();
    const unsigned portNumber = port();
    if (!m_socket->create()) {
        m_connect->setEnabled(true);
        hide();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = m_socket->connect(portNumber, host.toStdString());
    QApplication::restoreOverrideCursor();
    m_connect->setEnabled(true);
    if (ok) {
        status(tk::IDS_REMOTE_CONNECT);
        writeConfig(cfg::kRemoteSetting, cfg::kIp, host.toStdString());
        writeConfig(cfg::kRemoteSetting, cfg::kPort, formatInt(static_cast<int>(portNumber)));
        emit connectionChanged(true);
    } else {
        m_socket->disconnect();
        status(tk::IDS_REMOTE_DISCONNECT);
        remoteUiHooks().warn(this, remoteText(tk::IDS_REMOTE_DISCONNECT_CHECK), remoteText(tk::IDS_REMOTE_NOTICE));
    }
    hide();
}

void CRemoteConnDlg::onDisconnect()
{
    const bool wasConnected = isConnected();
    m_socket->disconnect();
    hide();
    status(tk::IDS_REMOTE_DISCONNECT);
    if (wasConnected)
        emit connectionChanged(false);
}

void CRemoteConnDlg::onSocketMessage(int message)
{
    if (message == kMsgSocketData) {
        onData();
    } else if (message == kMsgSocketClosed) {
        status(tk::IDS_REMOTE_DISCONNECT);
        emit connectionChanged(false);
    }
}

void CRemoteConnDlg::onData()
{
    std::string text;
    std::string line;
    while (m_socket->queuedBytes() >= 1 && m_socket->readLine(line))
        text += line;
    if (text.empty())
        return;
    for (const int group : applyReplies(text, instrumentSettings()))
        emit settingsReceived(group);
}

} // namespace remote
