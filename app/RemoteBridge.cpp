#include "RemoteBridge.h"

#if OTDR_HAVE_REMOTE
#include "CRemoteLink.h"
#endif

struct CRemoteBridge::Impl {
#if OTDR_HAVE_REMOTE
    Impl(QWidget* frame, StatusCallback status) : link(frame, std::move(status)) {}
    remote::CRemoteLink link;
#else
    Impl(QWidget*, StatusCallback) {}
#endif
};

CRemoteBridge::CRemoteBridge(QWidget* frame, StatusCallback status)
    : m_impl(std::make_unique<Impl>(frame, std::move(status)))
{
}

CRemoteBridge::~CRemoteBridge() = default;

bool CRemoteBridge::available()
{
    return OTDR_HAVE_REMOTE != 0;
}

void CRemoteBridge::remoteConnect()
{
#if OTDR_HAVE_REMOTE
    m_impl->link.onRemoteConnect();
#endif
}

void CRemoteBridge::remoteSetting()
{
#if OTDR_HAVE_REMOTE
    m_impl->link.onRemoteSetting();
#endif
}

void CRemoteBridge::applyLanguage()
{
#if OTDR_HAVE_REMOTE
    m_impl->link.applyLanguage();
#endif
}
