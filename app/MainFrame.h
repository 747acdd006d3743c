#pragma once

// The main window: five child frames with their views, the menus of the three interface
// languages, the toolbar and status bar, and the dispatch of every command.

#include "Dravik.h"
#include "ShellLogic.h"

#include <QMainWindow>
#include <QMap>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CChildFrame;
class CRemoteBridge;
class CViewRefresh;
class QAction;
class QLabel;
class QMdiArea;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Reads the stored language and applies it; then no trace counts as loaded.
    void finishStartup();

    // Dispatches a command as the menu or toolbar would (also when it is disabled: callers that
    // act like a user check isCommandEnabled first).
    void runCommand(int commandId);
    bool isCommandEnabled(int commandId) const;
    // The menu action of a command in the current menu, and the toolbar action.
    QAction* menuAction(int commandId) const;
    QAction* toolbarAction(int commandId) const;
    QToolBar* toolbar() const { return m_toolbar; }

    // Commands whose work is done by other subsystems register here (print, analysis, remote).
    void setCommandHandler(int commandId, std::function<void()> handler);
    // Long-lived windows outside the child frames (the remote-connection dialog) that fetch
    // their texts again on every language change, after the report view.
    void addLanguageListener(CViewRefresh* window);

    // Open: the dialog, then each file into the next free slot.
    void openTraceFiles();
    // Opens the given files as the Open command does after its dialog.
    void openTraceFilePaths(const QStringList& paths);
    // Save: the current trace to a file chosen in the save dialog.
    void saveCurrentTrace();

    // Language: 0 Chinese, 1 English, 2 Portuguese. Sets, applies and stores it.
    void switchLanguage(int language);
    // Rebuilds menus, tooltips and every long-lived window's texts for the current language.
    void applyUiLanguage();

    // The layout of the report mode (on) or of the report wizard's other steps (off).
    void setReportLayout(bool on);

    // Tells every view that the loaded traces changed, or that the display settings changed.
    void refreshTraceViews();
    void refreshDisplayViews();

    // State.
    bool hasTraces() const { return m_hasTraces; }
    void setHasTraces(bool on);
    bool reportMode() const { return m_reportMode; }
    CChildFrame* waveFrame() const { return m_frames[0]; }
    CChildFrame* eventFrame() const { return m_frames[1]; }
    CChildFrame* thumbnailFrame() const { return m_frames[2]; }
    CChildFrame* reportFrame() const { return m_frames[3]; }
    CChildFrame* mainSettingFrame() const { return m_frames[4]; }
    bool waveFrameVisible() const { return m_visible[0]; }
    bool eventFrameVisible() const { return m_visible[1]; }
    bool thumbnailFrameVisible() const { return m_visible[2]; }
    bool mainSettingFrameVisible() const { return m_visible[4]; }
    const otdr::shell::FrameLayout& layoutRects() const { return m_rects; }
    // The client rectangle the layout is computed from.
    otdr::shell::Rect clientRect() const;

    // Texts kept in memory for later messages, reloaded on every language change.
    const QString& exitQuestion() const { return m_textOkOrCancel; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createToolbar();
    void createStatusBar();
    void createChildFrames();
    void buildMenu();
    void setToolbarTooltips();
    void updateCommandUi();
    void applyLayout(const otdr::shell::FrameLayout& layout);
    void onClientResized();
    void toggleFrame(int index, int commandId);
    void originalSetting();
    void reportWizard();
    void openScreenSettings();
    void openHelp();
    void about();
    void showFrameAt(int index, const otdr::shell::Rect& r, bool show);
    void forEachView(const std::function<void(CViewRefresh&)>& fn);
    void giveTraceColoursToSlots();

    QMdiArea* m_mdi = nullptr;
    QToolBar* m_toolbar = nullptr;
    QLabel* m_statusMain = nullptr;
    QLabel* m_statusState = nullptr;
    // wave, event, thumbnail, report, master setting
    std::array<CChildFrame*, 5> m_frames{};
    std::array<QWidget*, 5> m_views{};
    std::array<bool, 5> m_visible{true, true, true, false, true};
    bool m_hasTraces = false;
    bool m_reportMode = false;
    otdr::shell::FrameLayout m_rects;
    QMap<int, QAction*> m_menuActions;
    QMap<int, QAction*> m_toolActions;
    QMap<int, std::function<void()>> m_handlers;
    std::vector<CViewRefresh*> m_languageListeners;
    CEndDravik m_engine;
    std::unique_ptr<CRemoteBridge> m_remote;

    QString m_textOkOrCancel;
    QString m_textMaxCurve;
    QString m_textOpenFileError;
    QString m_textOpenDataInvalid;
};
