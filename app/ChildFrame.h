#pragma once

#include <QMdiSubWindow>

// One of the five child frames of the main window. It holds one view for its whole life and
// cannot be closed by the user, only shown and hidden through the View menu.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CChildFrame(QWidget* view, QWidget* parent = nullptr);

    QWidget* view() const { return widget(); }
    // Title bar with minimise and maximise buttons, without a close button.
    static Qt::WindowFlags childFrameFlags();

protected:
    void closeEvent(QCloseEvent* event) override;
};
