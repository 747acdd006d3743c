#include "MainFrame.h"

#include "AboutDialog.h"
#include "CEventSearchPageSheet.h"
#include "CEventlist.h"
#include "CMyPropertySheet.h"
#include "CPrintView.h"
#include "ChildFrame.h"
#include "ConfigStore.h"
#include "FrameViews.h"
#include "OtdrIds.h"
#include "RemoteBridge.h"
#include "ScreenSettingsSheet.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceFile.h"
#include "TraceTable.h"
#include "UiPrompts.h"
#include "resources/ResourceIds.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

// Compiled-in icons live in a static library: register them before first use.
static void initOtdrResources()
{
    Q_INIT_RESOURCE(otdr);
}

namespace ids = otdr::ids;
namespace shell = otdr::shell;

namespace {

QString text(const char* key)
{
    return QString::fromStdString(loadText(key));
}

QString fromStd(const std::string& s)
{
    return QString::fromStdString(s);
}

// The title keys of the child frames.
const char* const kFrameTitles[5] = {"IDS_FRM_WAVE_TITLE", "IDS_FRM_EVENT_TITLE", "IDS_FRM_THUMBNAIL_TITLE",
                                     "IDS_FRM_REPORT_TITLE", "IDS_REPORT_STEP5_MASTEREVENT_SETTING"};

// The bars of the main window take this much of its client height below the child frames.
constexpr int kBarsHeight = 62;

QString iconFor(int id)
{
    switch (id) {
    case ids::kCmdOpenFile: return QStringLiteral(":/icons/open.svg");
    case ids::kCmdSaveFile: return QStringLiteral(":/icons/save.svg");
    case ids::kCmdPrint: return QStringLiteral(":/icons/print.svg");
    case ids::kCmdRemoteConnect: return QStringLiteral(":/icons/remote_connect.svg");
    case ids::kCmdRemoteSetting: return QStringLiteral(":/icons/remote_setting.svg");
    case ids::kCmdAbout: return QStringLiteral(":/icons/about.svg");
    default: return {};
    }
}

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    initOtdrResources();
    otdrTagObject(this, ids::kMenuChinese);
    setWindowIcon(QIcon(QStringLiteral(":/icons/otdr.svg")));

    // Settings that do not depend on the language.
    loadStartupSettings();
    giveTraceColoursToSlots();

    m_mdi = new QMdiArea(this);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(m_mdi);

    createChildFrames();
    // Analyse menu: the event table runs the automatic search, then the trace view shows the new
    // events and the table is refilled (in view order); the conditions sheet edits the analysis
    // settings.
    if (auto* events = qobject_cast<CEventlist*>(m_views[1])) {
        setCommandHandler(ids::kCmdAutoSearch, [this, events] {
            if (events->autoSearch())
                refreshTraceViews();
        });
    }
    setCommandHandler(ids::kCmdAnalyseCondition, [this] { CEventSearchPageSheet::runModal(this); });
    // File menu: the hidden print view prints and previews the current trace; the print
    // settings sheet edits what the printout shows.
    auto* printView = new CPrintView(this);
    printView->setObjectName(QStringLiteral("printView"));
    setCommandHandler(ids::kCmdPrint, [this, printView] {
        printView->printDirect = 1;
        printView->print(this);
    });
    setCommandHandler(ids::kCmdPrintPreview, [this, printView] {
        printView->printDirect = 0;
        printView->printPreview(this);
    });
    setCommandHandler(ids::kCmdPrintSetting, [this] { CMyPropertySheet::runModal(this); });
    createToolbar();
    createStatusBar();
    // The remote-connection dialog exists hidden from the start; its states go to pane 1.
    m_remote = std::make_unique<CRemoteBridge>(this, [this](const QString& s) { m_statusMain->setText(s); });
    buildMenu();
    m_mdi->installEventFilter(this);
    setWindowTitle(QString());
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::finishStartup()
{
    loadLanguageOption();
    applyUiLanguage();
    m_hasTraces = false;
    updateCommandUi();
}

void CMainFrame::giveTraceColoursToSlots()
{
    const DisplaySettings& ds = displaySettings();
    TraceTable& table = traceTable();
    for (int i = 0; i < MAX_OPEN_TRACES; ++i) {
        table.record(i).colour = ds.traceColour[static_cast<size_t>(i)];
        table.traceColours[static_cast<size_t>(i)] = ds.storedTraceColour[static_cast<size_t>(i)];
    }
}

// ---- Windows --------------------------------------------------------------------------------

void CMainFrame::createChildFrames()
{
    const FrameKind kinds[5] = {FrameKind::Wave, FrameKind::Event, FrameKind::Thumbnail, FrameKind::Report,
                                FrameKind::MainSetting};
    for (int i = 0; i < 5; ++i) {
        QWidget* view = createFrameView(kinds[i], nullptr);
        if (!view)
            continue; // a frame that cannot be made is left out
        auto* frame = new CChildFrame(view);
        m_mdi->addSubWindow(frame);
        frame->setWindowFlags(CChildFrame::childFrameFlags()); // the area adds a system menu with Close
        m_frames[static_cast<size_t>(i)] = frame;
        m_views[static_cast<size_t>(i)] = view;
    }
    const QSize size = m_mdi->size();
    m_rects = shell::initialLayout(size.width(), size.height() + kBarsHeight);
    showFrameAt(0, m_rects.wave, true);
    showFrameAt(1, m_rects.event, true);
    showFrameAt(2, m_rects.thumbnail, true);
    showFrameAt(3, m_rects.report, false);
    showFrameAt(4, m_rects.mainSetting, false);
}

void CMainFrame::showFrameAt(int index, const shell::Rect& r, bool show)
{
    CChildFrame* f = m_frames[static_cast<size_t>(index)];
    if (!f)
        return;
    f->setGeometry(r.left, r.top, r.width(), r.height());
    f->setVisible(show);
}

void CMainFrame::createToolbar()
{
    m_toolbar = new QToolBar(this);
    otdrTagObject(m_toolbar, ids::kToolbar);
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(32, 32));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    for (int id : shell::toolbarButtons()) {
        if (id == 0) {
            m_toolbar->addSeparator();
            continue;
        }
        QAction* a = m_toolbar->addAction(QIcon(iconFor(id)), QString());
        a->setProperty("otdrId", id);
        a->setObjectName(QStringLiteral("tool_%1").arg(id));
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        m_toolActions.insert(id, a);
    }
}

void CMainFrame::createStatusBar()
{
    m_statusMain = new QLabel(this);
    m_statusMain->setFixedWidth(800);
    m_statusState = new QLabel(QStringLiteral("Status"), this);
    statusBar()->addWidget(m_statusMain);
    statusBar()->addWidget(m_statusState, 1);
}

void CMainFrame::buildMenu()
{
    // A fresh menu bar from the language's menu resource; the previous one is discarded.
    auto* bar = new QMenuBar(this);
    m_menuActions.clear();
    const int resource = shell::menuResourceForLanguage(currentLanguage());
    bar->setProperty("otdrId", resource);
    for (const shell::MenuGroup& group : shell::menuResource(resource)) {
        QMenu* menu = bar->addMenu(fromStd(group.title));
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandUi);
        for (const shell::MenuItem& item : group.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* a = menu->addAction(fromStd(item.text));
            a->setProperty("otdrId", item.id);
            a->setObjectName(QStringLiteral("id_%1").arg(item.id));
            a->setCheckable(item.checkable);
            const int id = item.id;
            connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
            m_menuActions.insert(id, a);
        }
    }
    setMenuBar(bar);
    updateCommandUi();
}

void CMainFrame::setToolbarTooltips()
{
    for (auto it = m_toolActions.begin(); it != m_toolActions.end(); ++it)
        it.value()->setToolTip(fromStd(shell::toolbarTooltip(it.key(), currentLanguage())));
}

bool CMainFrame::isCommandEnabled(int id) const
{
    return shell::isCommandEnabled(id, {m_hasTraces, m_reportMode});
}

void CMainFrame::updateCommandUi()
{
    const shell::CommandState state{m_hasTraces, m_reportMode};
    for (auto it = m_menuActions.begin(); it != m_menuActions.end(); ++it)
        it.value()->setEnabled(shell::isCommandEnabled(it.key(), state));
    for (auto it = m_toolActions.begin(); it != m_toolActions.end(); ++it) {
        it.value()->setEnabled(shell::isCommandEnabled(it.key(), state));
        if (it.key() == ids::kCmdSaveFile || it.key() == ids::kCmdPrint)
            it.value()->setToolTip(fromStd(shell::toolbarTooltipOnUpdate(it.key(), currentLanguage())));
    }
    auto check = [this](int id, bool on) {
        if (QAction* a = m_menuActions.value(id))
            a->setChecked(on);
    };
    check(ids::kCmdWaveWindow, m_visible[0]);
    check(ids::kCmdEventWindow, m_visible[1]);
    check(ids::kCmdThumbnailWindow, m_visible[2]);
    check(ids::kCmdLanguageChinese, currentLanguage() == kLanguageChinese);
    check(ids::kCmdLanguageEnglish, currentLanguage() == kLanguageEnglish);
    check(ids::kCmdLanguagePortuguese, currentLanguage() == kLanguagePortuguese);
}

QAction* CMainFrame::menuAction(int id) const
{
    return m_menuActions.value(id);
}

QAction* CMainFrame::toolbarAction(int id) const
{
    return m_toolActions.value(id);
}

void CMainFrame::setHasTraces(bool on)
{
    m_hasTraces = on;
    updateCommandUi();
}

// ---- Layout ---------------------------------------------------------------------------------

shell::Rect CMainFrame::clientRect() const
{
    // The child frames live in the MDI area; the layout rules count the bars below it too.
    return {0, 0, m_mdi->width(), m_mdi->height() + kBarsHeight};
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mdi && event->type() == QEvent::Resize)
        onClientResized();
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::onClientResized()
{
    for (CChildFrame* f : m_frames)
        if (!f)
            return; // only once all five frames exist
    m_rects = shell::resizeLayout(clientRect());
    applyLayout(m_rects);
}

void CMainFrame::applyLayout(const shell::FrameLayout& l)
{
    auto place = [](CChildFrame* f, const shell::Rect& r) {
        if (f)
            f->setGeometry(r.left, r.top, r.width(), r.height());
    };
    place(waveFrame(), l.wave);
    place(eventFrame(), l.event);
    place(thumbnailFrame(), l.thumbnail);
    place(mainSettingFrame(), l.mainSetting);
    if (m_reportMode && reportFrame())
        reportFrame()->setGeometry(m_mdi->rect());
}

void CMainFrame::setReportLayout(bool on)
{
    const shell::Rect client = clientRect();
    const shell::Rect wave = shell::reportWaveRect(client);
    if (on) {
        if (reportFrame())
            reportFrame()->hide();
        for (int i : {4, 0, 1, 2}) {
            if (m_frames[static_cast<size_t>(i)])
                m_frames[static_cast<size_t>(i)]->show();
            m_visible[static_cast<size_t>(i)] = true;
        }
        showFrameAt(0, wave, true);
        refreshTraceViews();
        if (CViewRefresh* v = viewRefresh(m_views[0]))
            v->showLeftPanel(false);
        showFrameAt(1, shell::reportEventRect(m_rects.event, true), true);
    } else {
        for (int i : {4, 0, 1, 2}) {
            if (m_frames[static_cast<size_t>(i)])
                m_frames[static_cast<size_t>(i)]->hide();
            m_visible[static_cast<size_t>(i)] = false;
        }
        if (reportFrame()) {
            reportFrame()->setGeometry(m_mdi->rect());
            reportFrame()->show();
        }
        showFrameAt(0, wave, false);
        if (CViewRefresh* v = viewRefresh(m_views[0]))
            v->showLeftPanel(false);
        showFrameAt(1, shell::reportEventRect(m_rects.event, false), false);
    }
    updateCommandUi();
}

// ---- Commands -------------------------------------------------------------------------------

void CMainFrame::setCommandHandler(int id, std::function<void()> handler)
{
    m_handlers.insert(id, std::move(handler));
}

void CMainFrame::addLanguageListener(CViewRefresh* window)
{
    if (window)
        m_languageListeners.push_back(window);
}

void CMainFrame::runCommand(int id)
{
    if (auto it = m_handlers.find(id); it != m_handlers.end() && it.value()) {
        it.value()();
        updateCommandUi();
        return;
    }
    switch (id) {
    case ids::kCmdOpenFile: openTraceFiles(); break;
    case ids::kCmdSaveFile: saveCurrentTrace(); break;
    case ids::kCmdExit: close(); break;
    case ids::kCmdLanguageChinese: switchLanguage(kLanguageChinese); break;
    case ids::kCmdLanguageEnglish: switchLanguage(kLanguageEnglish); break;
    case ids::kCmdLanguagePortuguese: switchLanguage(kLanguagePortuguese); break;
    case ids::kCmdWaveWindow: toggleFrame(0, id); break;
    case ids::kCmdEventWindow: toggleFrame(1, id); break;
    case ids::kCmdThumbnailWindow: toggleFrame(2, id); break;
    case ids::kCmdWaveScreenSetting: openScreenSettings(); break;
    case ids::kCmdOriginalSetting: originalSetting(); break;
    case ids::kCmdReportWizard: reportWizard(); break;
    case ids::kCmdHelpContent: openHelp(); break;
    case ids::kCmdAbout: about(); break;
    case ids::kCmdRemoteConnect: m_remote->remoteConnect(); break;
    case ids::kCmdRemoteSetting: m_remote->remoteSetting(); break;
    default:
        // Print, print settings and analysis commands are done by their subsystems
        // through setCommandHandler.
        break;
    }
    updateCommandUi();
}

void CMainFrame::toggleFrame(int index, int)
{
    bool& flag = m_visible[static_cast<size_t>(index)];
    flag = !flag;
    if (CChildFrame* f = m_frames[static_cast<size_t>(index)])
        f->setVisible(flag);
}

void CMainFrame::originalSetting()
{
    showFrameAt(0, m_rects.wave, true);
    showFrameAt(1, m_rects.event, true);
    showFrameAt(2, m_rects.thumbnail, true);
    m_visible[0] = m_visible[1] = m_visible[2] = true;
    if (CViewRefresh* v = viewRefresh(m_views[0]))
        v->showLeftPanel(true);
}

void CMainFrame::reportWizard()
{
    TraceTable& table = traceTable();
    const bool hadTraces = table.loadedCount > 0;
    if (hadTraces && !uiPrompts().confirm(this, text("IDS_DELETE_EDITEDVIEW")))
        return;
    if (hadTraces) {
        table.clearAllTraces();
        refreshTraceViews();
    }
    loadReportSettings(currentLanguage());
    m_hasTraces = false;
    m_reportMode = true;
    for (int i : {0, 1, 2}) {
        if (m_frames[static_cast<size_t>(i)])
            m_frames[static_cast<size_t>(i)]->hide();
        m_visible[static_cast<size_t>(i)] = false;
    }
    if (reportFrame()) {
        reportFrame()->setGeometry(m_mdi->rect());
        reportFrame()->show();
    }
    updateCommandUi();
}

void CMainFrame::openHelp()
{
    const QString path = fromStd(shell::helpFilePath(applicationFolder(), currentLanguage()));
    if (QFileInfo(path).isFile())
        uiPrompts().openUrl(QUrl::fromLocalFile(path));
}

void CMainFrame::about()
{
    CAboutDialog dialog(this);
    dialog.exec();
}

void CMainFrame::openScreenSettings()
{
    CConfigSheet sheet(configStore(), displaySettings(), this);
    connect(&sheet, &CConfigSheet::backgroundOrGridChanged, this, [this] {
        if (CViewRefresh* v = viewRefresh(m_views[0]))
            v->onDisplaySettingsChanged();
    });
    connect(&sheet, &CConfigSheet::coloursApplied, this, [this] {
        giveTraceColoursToSlots();
        refreshDisplayViews();
    });
    connect(&sheet, &CConfigSheet::unitsApplied, this, &CMainFrame::refreshDisplayViews);
    connect(&sheet, &CConfigSheet::gridApplied, this, &CMainFrame::refreshDisplayViews);
    sheet.exec();
    // Colours chosen and the grid choice are in effect in memory even after Cancel.
    refreshDisplayViews();
}

// ---- Views ----------------------------------------------------------------------------------

void CMainFrame::forEachView(const std::function<void(CViewRefresh&)>& fn)
{
    for (QWidget* view : m_views)
        if (CViewRefresh* v = viewRefresh(view))
            fn(*v);
}

void CMainFrame::refreshTraceViews()
{
    forEachView([](CViewRefresh& v) { v.onTracesChanged(); });
}

void CMainFrame::refreshDisplayViews()
{
    forEachView([](CViewRefresh& v) { v.onDisplaySettingsChanged(); });
}

// ---- Language -------------------------------------------------------------------------------

void CMainFrame::switchLanguage(int language)
{
    setLanguage(language);
    applyUiLanguage();
    saveLanguageOption();
}

void CMainFrame::applyUiLanguage()
{
    buildMenu();
    setToolbarTooltips();
    loadReportSettings(currentLanguage());
    if (traceTable().loadedCount == 0)
        m_hasTraces = false;
    for (size_t i = 0; i < m_frames.size(); ++i)
        if (m_frames[i])
            m_frames[i]->setWindowTitle(text(kFrameTitles[i]));
    // Trace view, event table, thumbnail, report view, (remote dialog,) master-setting panel.
    for (int i : {0, 1, 2, 3})
        if (CViewRefresh* v = viewRefresh(m_views[static_cast<size_t>(i)]))
            v->retranslate();
    m_remote->applyLanguage();
    for (CViewRefresh* w : m_languageListeners)
        w->retranslate();
    if (CViewRefresh* v = viewRefresh(m_views[4]))
        v->retranslate();
    m_textOkOrCancel = text("IDS_OKORCANCEL");
    m_textMaxCurve = text("IDS_MAX_CURVE");
    m_textOpenFileError = text("IDS_OPEN_FILE_ERROR");
    m_textOpenDataInvalid = text("IDS_OPEN_DATA_INVALID");
    updateCommandUi();
}

// ---- Files ----------------------------------------------------------------------------------

void CMainFrame::openTraceFiles()
{
    if (openRefusalTextKey(traceTable())) {
        uiPrompts().error(this, m_textMaxCurve);
        return;
    }
    QString folder = fromStd(readRegistryText("filepathrpt"));
    if (folder.isEmpty())
        folder = fromStd(applicationFolder()) + QStringLiteral("/default/curve/");
    const QStringList chosen =
        uiPrompts().openFileNames(this, folder, QStringLiteral("SOR (*.SOR *.sor)"));
    if (chosen.isEmpty())
        return;
    openTraceFilePaths(chosen);
    writeRegistryText("filepathrpt", QFileInfo(chosen.first()).absolutePath().toStdString());
}

void CMainFrame::openTraceFilePaths(const QStringList& paths)
{
    if (openRefusalTextKey(traceTable())) {
        uiPrompts().error(this, m_textMaxCurve);
        return;
    }
    std::vector<std::string> files;
    for (const QString& p : paths)
        files.push_back(QFileInfo(p).absoluteFilePath().toStdString());
    const std::vector<TraceReadResult> results = readTraceFiles(traceTable(), m_engine, files);
    bool loaded = false;
    for (const TraceReadResult& r : results) {
        if (r.loaded()) {
            loaded = true;
            continue;
        }
        // Skipped files (already loaded, no slot left) pass without a message.
        if (r.status == TraceReadStatus::DataInvalid)
            uiPrompts().error(this, m_textOpenDataInvalid + QStringLiteral("\n") + fromStd(r.path));
        else if (r.status == TraceReadStatus::FileError)
            uiPrompts().error(this, m_textOpenFileError + QStringLiteral("\n") + fromStd(r.path));
    }
    if (loaded) {
        refreshTraceViews();
        m_hasTraces = true;
    }
    updateCommandUi();
}

void CMainFrame::saveCurrentTrace()
{
    TraceTable& table = traceTable();
    const TraceRecord* record = table.currentRecord();
    if (!record)
        return;
    const TraceSlot& slot = table.slots.at(static_cast<size_t>(table.currentTrace));
    const QString path = uiPrompts().saveFileName(this, fromStd(slot.filePath),
                                                  QStringLiteral("SOR (*.SOR *.sor)"), QStringLiteral("SOR"));
    if (path.isEmpty())
        return;
    const TraceSaveResult result = saveTrace(*record, path.toStdString());
    if (!result.ok) {
        QString message = text(TRACE_TEXT_SAVE_FILE_ERROR);
        if (!result.detail.empty())
            message += (message.isEmpty() ? QString() : QStringLiteral("\n")) + fromStd(result.detail);
        uiPrompts().error(this, message + QStringLiteral("\n") + path);
    }
}

// ---- Shut-down ------------------------------------------------------------------------------

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!uiPrompts().confirm(this, m_textOkOrCancel)) {
        event->ignore();
        return;
    }
    saveExitSettings(currentLanguage());
    event->accept();
}
