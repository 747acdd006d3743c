#include "CClientSocket.h"

namespace remote {

CClientSocket::CClientSocket(Owner owner)
    : m_owner(std::move(owner))
{
}

CClientSocket::~CClientSocket()
{
    // The reader thread calls OnReceive/OnClose of this class; stop it while they are still valid.
    shutdownReader();
}

void CClientSocket::setOwner(Owner owner)
{
    std::lock_guard lock(m_ownerMutex);
    m_owner = std::move(owner);
}

void CClientSocket::notify(int message)
{
    std::lock_guard lock(m_ownerMutex);
    if (m_owner)
        m_owner(message);
}

void CClientSocket::OnReceive()
{
    notify(kMsgSocketData);
}

void CClientSocket::OnClose(int)
{
    notify(kMsgSocketClosed);
}

} // namespace remote
