#pragma once
// What the main frame needs of the remote instrument link: the connection dialog (created hidden
// with the frame, living as long as it) and the two commands. Remote Connection (32776) shows the
// dialog centred; Remote Setting (32777) creates the settings sheet on first use and runs it
// modally each time. Connection states go to the status callback (pane 1 of the status bar).

#include "CRemoteConnDlg.h"
#include "CRemotePages.h"

#include <QObject>
#include <QPointer>

namespace remote {

class CRemoteLink : public QObject {
    Q_OBJECT
public:
    CRemoteLink(QWidget* frame, CRemoteConnDlg::StatusCallback status);
    ~CRemoteLink() override;

    CRemoteConnDlg* dialog() const { return m_dialog; }
    // The sheet, once the Remote Setting command has created it.
    CRemotePageSheet* sheet() const { return m_sheet; }

    void onRemoteConnect();
    // Returns the sheet's result (QDialog::Accepted or Rejected).
    int onRemoteSetting();
    // Fetches the texts of the dialog (and of the sheet, when it exists) again.
    void applyLanguage();

private:
    QWidget* m_frame;
    // Children of the frame; whichever of the frame and this object goes first takes them along.
    QPointer<CRemoteConnDlg> m_dialog;
    QPointer<CRemotePageSheet> m_sheet;
};

} // namespace remote
