#pragma once

#include <QString>

#include <functional>
#include <memory>

class QWidget;

// The main frame's link to the remote-instrument dialogs: the connection dialog lives hidden as
// long as the frame, the settings sheet is made on first use. Kept apart from the frame's own
// sources so that those dialogs' headers and the trace table's never meet in one file.
class CRemoteBridge {
public:
    using StatusCallback = std::function<void(const QString&)>;

    CRemoteBridge(QWidget* frame, StatusCallback status);
    ~CRemoteBridge();

    // False when the program was built without the remote link.
    static bool available();

    void remoteConnect();
    void remoteSetting();
    void applyLanguage();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
