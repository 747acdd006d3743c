#include "CRemoteLink.h"

namespace remote {

CRemoteLink::CRemoteLink(QWidget* frame, CRemoteConnDlg::StatusCallback status)
    : QObject(frame), m_frame(frame),
      m_dialog(new CRemoteConnDlg(frame, std::move(status)))
{
    m_dialog->hide();
}

CRemoteLink::~CRemoteLink()
{
    delete m_sheet.data();
    delete m_dialog.data();
}

void CRemoteLink::onRemoteConnect()
{
    m_dialog->showCentered();
}

int CRemoteLink::onRemoteSetting()
{
    if (!m_sheet)
        m_sheet = new CRemotePageSheet(m_dialog, m_frame);
    m_sheet->applyLanguage();
    return m_sheet->exec();
}

void CRemoteLink::applyLanguage()
{
    m_dialog->applyLanguage();
    if (m_sheet)
        m_sheet->applyLanguage();
}

} // namespace remote
