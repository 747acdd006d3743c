#include "OTDRApp.h"

#include "ConfigStore.h"
#include "MainFrame.h"
#include "ScreenSettingsSheet.h"
#include "Settings.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

COTDRApp::COTDRApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("OTDR"));
    setOrganizationName(QStringLiteral("OTDR"));
}

COTDRApp::~COTDRApp() = default;

bool COTDRApp::initInstance()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("OTDR trace viewer and analyser"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("SOR trace files to open"),
                                 QStringLiteral("[FILE...]"));
    // Developer options for pictures of the interface (hidden from --help).
    QCommandLineOption grab(QStringLiteral("grab"), QString(), QStringLiteral("png"));
    QCommandLineOption grabSheet(QStringLiteral("grab-sheet"), QString(), QStringLiteral("png"));
    QCommandLineOption grabTab(QStringLiteral("grab-tab"), QString(), QStringLiteral("page"));
    QCommandLineOption grabMenu(QStringLiteral("grab-menu"), QString(), QStringLiteral("index"));
    for (QCommandLineOption* o : {&grab, &grabSheet, &grabTab, &grabMenu}) {
        o->setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(*o);
    }
    parser.process(arguments());
    m_files = parser.positionalArguments();
    m_grabWindow = parser.value(grab);
    m_grabSheet = parser.value(grabSheet);
    m_grabTab = parser.value(grabTab).toInt();
    m_grabMenu = parser.isSet(grabMenu) ? parser.value(grabMenu).toInt() : -1;

    m_frame = std::make_unique<CMainFrame>();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        m_frame->setGeometry(r.x(), r.y(), r.width(), r.height() - 30);
    }
    m_frame->finishStartup();
    m_frame->showMaximized();
    if (!m_files.isEmpty())
        m_frame->openTraceFilePaths(m_files);
    scheduleGrabs();
    return true;
}

void COTDRApp::scheduleGrabs()
{
    if (!m_grabWindow.isEmpty()) {
        QTimer::singleShot(1500, this, [this] {
            QPixmap picture = m_frame->grab();
            const QList<QAction*> menus = m_frame->menuBar()->actions();
            if (m_grabMenu >= 0 && m_grabMenu < menus.size()) {
                // The open menu drawn over the window below its title.
                QMenu* menu = menus[m_grabMenu]->menu();
                menu->ensurePolished();
                menu->adjustSize();
                const QPixmap drop = menu->grab();
                const QRect title = m_frame->menuBar()->actionGeometry(menus[m_grabMenu]);
                QPainter p(&picture);
                p.drawPixmap(title.bottomLeft() + QPoint(0, 1), drop);
            }
            picture.save(m_grabWindow);
            if (m_grabSheet.isEmpty())
                quit();
        });
    }
    if (!m_grabSheet.isEmpty()) {
        QTimer::singleShot(2000, this, [this] {
            auto* sheet = new CConfigSheet(configStore(), displaySettings(), m_frame.get());
            sheet->tabs()->setCurrentIndex(m_grabTab);
            sheet->show();
            QTimer::singleShot(700, this, [this, sheet] {
                sheet->grab().save(m_grabSheet);
                quit();
            });
        });
    }
}
