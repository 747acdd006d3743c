#pragma once
// The instrument link's socket: turns the reader thread's notifications into messages for its
// owner. The owner supplies the function that delivers them; the desktop program's function
// queues them to the user-interface thread, so nothing else ever runs on the reader thread.

#include "CCESocket.h"

#include <functional>
#include <mutex>

namespace remote {

// Messages delivered to the owner (no parameters).
constexpr int kMsgSocketData = 2026;   // data arrived
constexpr int kMsgSocketClosed = 2027; // the instrument closed the connection
// Message from the reply parser to the settings sheet; the parameter is the group (1 or 2).
constexpr int kMsgRefreshPage = 2028;

class CClientSocket : public CCESocket {
public:
    using Owner = std::function<void(int message)>;

    explicit CClientSocket(Owner owner = {});
    ~CClientSocket() override;

    // Replaces the owner; an empty function stops the notifications.
    void setOwner(Owner owner);

protected:
    void OnReceive() override;
    void OnClose(int reason) override;

private:
    void notify(int message);

    std::mutex m_ownerMutex;
    Owner m_owner;
};

} // namespace remote
