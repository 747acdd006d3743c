#pragma once

#include <QApplication>
#include <QStringList>

#include <memory>

class CMainFrame;

// The application object: starts the main frame and opens the trace files named on the
// command line.
class COTDRApp : public QApplication {
    Q_OBJECT
public:
    COTDRApp(int& argc, char** argv);
    ~COTDRApp() override;

    // Creates and shows the main frame. Returns false when the program cannot start.
    bool initInstance();

    CMainFrame* mainFrame() const { return m_frame.get(); }

private:
    void scheduleGrabs();

    std::unique_ptr<CMainFrame> m_frame;
    QStringList m_files;
    QString m_grabWindow; // --grab FILE.png: picture of the main window, then quit
    QString m_grabSheet;  // --grab-sheet FILE.png: picture of the screen-settings sheet
    int m_grabTab = 0;    // --grab-tab N: page of the sheet to show
    int m_grabMenu = -1;  // --grab-menu N: draw menu N of the menu bar open in the picture
};
