#include "ChildFrame.h"

#include <QCloseEvent>
#include <QIcon>

CChildFrame::CChildFrame(QWidget* view, QWidget* parent) : QMdiSubWindow(parent)
{
    // A title bar with minimise and maximise but without the close button.
    setWindowFlags(childFrameFlags());
    setWindowIcon(QIcon(QStringLiteral(":/icons/otdr.svg")));
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

Qt::WindowFlags CChildFrame::childFrameFlags()
{
    return Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint;
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    // Closing a child frame would lose its view; the frames are hidden instead.
    event->ignore();
}
