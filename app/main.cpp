#include "MainFrame.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OTDR"));
    CMainFrame frame;
    frame.show();
    return QApplication::exec();
}
