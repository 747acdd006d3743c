#include "MainFrame.h"

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("OTDR"));
    resize(1200, 800);
}
