// The main frame driven like a user: languages, exit question, layout, report wizard entry,
// command enabling, open, save, help and the screen settings, with the dialogs answered
// through the prompts seam.
#include "ChildFrame.h"
#include "ConfigStore.h"
#include "MainFrame.h"
#include "OtdrIds.h"
#include "ScreenSettingsSheet.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceTable.h"
#include "UiPrompts.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QFile>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include <deque>
#include <filesystem>
#include <fstream>

namespace ids = otdr::ids;
namespace fs = std::filesystem;

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "main_frame_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own globals may be gone by the time static objects are.
    static auto* a = new QApplication(argc, argv);
    return *a;
}

// Answers the dialogs as a test tells it and records what was shown.
class ScriptedPrompts : public CUiPrompts {
public:
    std::deque<bool> confirmAnswers;
    QStringList confirmTexts;
    QStringList errors;
    QStringList openAnswer;
    int openAsked = 0;
    QString openDir;
    QString saveAnswer;
    QList<QUrl> opened;
    std::optional<QColor> colour;

    QStringList openFileNames(QWidget*, const QString& dir, const QString&) override
    {
        ++openAsked;
        openDir = dir;
        return openAnswer;
    }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return saveAnswer; }
    bool confirm(QWidget*, const QString& text) override
    {
        confirmTexts << text;
        if (confirmAnswers.empty())
            return false;
        const bool a = confirmAnswers.front();
        confirmAnswers.pop_front();
        return a;
    }
    void error(QWidget*, const QString& text) override { errors << text; }
    std::optional<QColor> chooseColour(QWidget*) override { return colour; }
    bool openUrl(const QUrl& url) override
    {
        opened << url;
        return true;
    }
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        ASSERT_TRUE(tmp.isValid());
        root = tmp.path().toStdString();
        fs::copy(fs::path(OTDR_SOURCE_DIR) / "Config", fs::path(root) / "Config");
        setApplicationFolder(root);
        setConfigDir(root + "/Config");
        machineStore().setFilePath(root + "/machine.ini");
        traceTable().clearAllTraces();
        setLanguage(0);
        setUiPrompts(&prompts);
    }
    void TearDown() override
    {
        setUiPrompts(nullptr);
        traceTable().clearAllTraces();
    }

    std::unique_ptr<CMainFrame> startFrame()
    {
        auto f = std::make_unique<CMainFrame>();
        f->resize(1200, 800);
        f->finishStartup();
        return f;
    }

    static QString sample(const char* name)
    {
        return QString::fromUtf8(OTDR_SOURCE_DIR) + QStringLiteral("/default/curve/") + QString::fromUtf8(name);
    }

    static void trigger(CMainFrame& f, int id)
    {
        QAction* a = f.menuAction(id);
        ASSERT_NE(a, nullptr) << id;
        a->trigger();
    }

    QTemporaryDir tmp;
    std::string root;
    ScriptedPrompts prompts;
};

TEST_F(MainFrameTest, StartsInTheStoredLanguage)
{
    const struct {
        const char* stored;
        int language;
        QString file, open, tooltip, frameTitle;
    } cases[] = {
        {"1", 1, "&File", "&Open File", "Open File", "Trace Window"},
        {"2", 2, "&Arquivo", "&Abrir Arquivo", "Arquivo Aberto", QString()},
        {"0", 0, QString::fromUtf8("文件(&F)"), QString::fromUtf8("打开文件"), QString::fromUtf8("打开文件"), QString()},
        {"9", 0, QString::fromUtf8("文件(&F)"), QString::fromUtf8("打开文件"), QString::fromUtf8("打开文件"), QString()},
    };
    for (const auto& c : cases) {
        setLanguage(0);
        writeConfig("Language", "LanguageOpt", c.stored);
        auto f = startFrame();
        EXPECT_EQ(currentLanguage(), c.language) << c.stored;
        EXPECT_EQ(f->menuBar()->actions().first()->text(), c.file) << c.stored;
        EXPECT_EQ(f->menuAction(ids::kCmdOpenFile)->text(), c.open) << c.stored;
        EXPECT_EQ(f->toolbarAction(ids::kCmdOpenFile)->toolTip(), c.tooltip) << c.stored;
        EXPECT_EQ(f->waveFrame()->windowTitle(), QString::fromStdString(loadText("IDS_FRM_WAVE_TITLE")));
        if (!c.frameTitle.isEmpty()) {
            EXPECT_EQ(f->waveFrame()->windowTitle(), c.frameTitle);
        }
        EXPECT_EQ(f->exitQuestion(), QString::fromStdString(loadText("IDS_OKORCANCEL")));
        EXPECT_FALSE(f->exitQuestion().isEmpty());
        EXPECT_FALSE(f->hasTraces());
    }
}

TEST_F(MainFrameTest, SwitchingToPortugueseAndBackRebuildsMenusAndStoresAtOnce)
{
    auto f = startFrame();
    trigger(*f, ids::kCmdLanguagePortuguese);
    EXPECT_EQ(currentLanguage(), 2);
    EXPECT_EQ(readConfig("Language", "LanguageOpt"), "2"); // written at once, not at exit
    EXPECT_EQ(f->menuAction(ids::kCmdSaveFile)->text(), QStringLiteral("&Salvar Arquivo"));
    EXPECT_TRUE(f->menuAction(ids::kCmdLanguagePortuguese)->isChecked());
    EXPECT_EQ(f->toolbarAction(ids::kCmdRemoteSetting)->toolTip(), QString::fromUtf8("Configuração Remoto"));
    // The enabling update re-sets Save and Print to their own Portuguese texts.
    EXPECT_EQ(f->toolbarAction(ids::kCmdSaveFile)->toolTip(), QStringLiteral("Salve o arquivo"));
    EXPECT_EQ(f->toolbarAction(ids::kCmdPrint)->toolTip(), QString::fromUtf8("Impressão"));
    EXPECT_EQ(f->eventFrame()->windowTitle(), QString::fromStdString(loadText("IDS_FRM_EVENT_TITLE")));

    // A menu changed in between does not survive: menus come from their resources each time.
    f->menuAction(ids::kCmdOpenFile)->setText(QStringLiteral("changed"));
    f->menuBar()->addMenu(QStringLiteral("extra"));
    trigger(*f, ids::kCmdLanguageChinese);
    EXPECT_EQ(currentLanguage(), 0);
    EXPECT_EQ(readConfig("Language", "LanguageOpt"), "0");
    EXPECT_EQ(f->menuAction(ids::kCmdOpenFile)->text(), QString::fromUtf8("打开文件"));
    EXPECT_EQ(f->menuBar()->actions().size(), 7);
    EXPECT_EQ(f->toolbarAction(ids::kCmdSaveFile)->toolTip(), QString::fromUtf8("保存轨迹文件"));
    EXPECT_EQ(f->toolbarAction(ids::kCmdRemoteConnect)->toolTip(), QString::fromUtf8("远程连接到设备"));
}

TEST_F(MainFrameTest, CancelledExitKeepsRunningAndWritesNothing)
{
    writeConfig("Language", "LanguageOpt", "1");
    auto f = startFrame();
    f->show();
    reportSettings().ListFormat = "7";
    const std::string before = readFile(configFilePath());

    prompts.confirmAnswers = {false};
    EXPECT_FALSE(f->close());
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(prompts.confirmTexts, QStringList{f->exitQuestion()});
    EXPECT_EQ(readFile(configFilePath()), before);

    prompts.confirmAnswers = {true};
    EXPECT_TRUE(f->close());
    EXPECT_FALSE(f->isVisible());
    // The settings of the current language are written on exit.
    EXPECT_EQ(readConfig("RepLayListLay_EN", "ListFormat"), "7");
}

TEST_F(MainFrameTest, ChildFramesFollowTheResizeRule)
{
    auto f = startFrame();
    f->show();
    for (QSize size : {QSize(1000, 700), QSize(1300, 900)}) {
        f->resize(size);
        QApplication::processEvents();
        const otdr::shell::Rect client = f->clientRect();
        const int border = client.height() * 2 / 3;
        EXPECT_EQ(f->waveFrame()->geometry(), QRect(0, 0, client.width(), border));
        EXPECT_EQ(f->eventFrame()->geometry().top(), border);
        EXPECT_EQ(f->eventFrame()->geometry().right() + 1, client.width() * 3 / 4);
        EXPECT_EQ(f->thumbnailFrame()->geometry().left(), client.width() * 3 / 4);
        // The lower frames end where the MDI area ends.
        EXPECT_EQ(f->eventFrame()->geometry().bottom() + 1, f->centralWidget()->height());
    }
    EXPECT_TRUE(f->waveFrame()->isVisible());
    EXPECT_TRUE(f->eventFrame()->isVisible());
    EXPECT_TRUE(f->thumbnailFrame()->isVisible());
    EXPECT_FALSE(f->reportFrame()->isVisible());
    EXPECT_FALSE(f->mainSettingFrame()->isVisible());
    // Child frames offer no close button.
    EXPECT_FALSE(f->waveFrame()->windowFlags() & Qt::WindowSystemMenuHint);
}

TEST_F(MainFrameTest, FramesToggleAndOriginalSettingRestoresThem)
{
    auto f = startFrame();
    f->show();
    QApplication::processEvents();
    const QRect waveRect = f->waveFrame()->geometry();
    trigger(*f, ids::kCmdWaveWindow);
    trigger(*f, ids::kCmdThumbnailWindow);
    EXPECT_FALSE(f->waveFrame()->isVisible());
    EXPECT_FALSE(f->menuAction(ids::kCmdWaveWindow)->isChecked());
    EXPECT_FALSE(f->thumbnailFrameVisible());
    f->waveFrame()->move(40, 40);

    trigger(*f, ids::kCmdOriginalSetting);
    EXPECT_TRUE(f->waveFrame()->isVisible());
    EXPECT_TRUE(f->thumbnailFrame()->isVisible());
    EXPECT_TRUE(f->menuAction(ids::kCmdWaveWindow)->isChecked());
    EXPECT_TRUE(f->menuAction(ids::kCmdThumbnailWindow)->isChecked());
    EXPECT_EQ(f->waveFrame()->geometry(), waveRect);
}

TEST_F(MainFrameTest, ReportWizardWithoutTracesAsksNothingAndDisablesCommands)
{
    auto f = startFrame();
    f->show();
    trigger(*f, ids::kCmdReportWizard);
    EXPECT_TRUE(prompts.confirmTexts.isEmpty());
    EXPECT_TRUE(f->reportMode());
    EXPECT_FALSE(f->waveFrame()->isVisible());
    EXPECT_FALSE(f->eventFrame()->isVisible());
    EXPECT_FALSE(f->thumbnailFrame()->isVisible());
    EXPECT_TRUE(f->reportFrame()->isVisible());
    EXPECT_EQ(f->reportFrame()->geometry(), f->centralWidget()->rect());

    for (int id : {ids::kCmdOpenFile, ids::kCmdSaveFile, ids::kCmdLanguageEnglish, ids::kCmdReportWizard,
                   ids::kCmdWaveScreenSetting, ids::kCmdRemoteConnect})
        EXPECT_FALSE(f->menuAction(id)->isEnabled()) << id;
    for (int id : {ids::kCmdAbout, ids::kCmdExit, ids::kCmdHelpContent, ids::kCmdPrintSetting})
        EXPECT_TRUE(f->menuAction(id)->isEnabled()) << id;
    EXPECT_FALSE(f->toolbarAction(ids::kCmdOpenFile)->isEnabled());
    EXPECT_TRUE(f->toolbarAction(ids::kCmdAbout)->isEnabled());

    // Leaving through the report pages restores the normal frames beside the panel.
    f->setReportLayout(true);
    EXPECT_FALSE(f->reportFrame()->isVisible());
    EXPECT_TRUE(f->mainSettingFrame()->isVisible());
    EXPECT_EQ(f->waveFrame()->geometry().left(), 250);
    EXPECT_EQ(f->waveFrame()->geometry().bottom() + 1, 490);
}

TEST_F(MainFrameTest, OpenReadsChosenFilesAndEnablesTraceCommands)
{
    auto f = startFrame();
    EXPECT_FALSE(f->menuAction(ids::kCmdSaveFile)->isEnabled());
    prompts.openAnswer = {sample("link-10km-1310nm.sor"), sample("trunk-40km-1550nm.sor")};
    trigger(*f, ids::kCmdOpenFile);
    EXPECT_EQ(prompts.openDir, QString::fromStdString(root) + QStringLiteral("/default/curve/"));
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join(QStringLiteral("|")).toStdString();
    EXPECT_EQ(traceTable().loadedCount, 2);
    EXPECT_EQ(traceTable().currentTrace, 1);
    EXPECT_TRUE(f->hasTraces());
    EXPECT_TRUE(f->menuAction(ids::kCmdSaveFile)->isEnabled());
    EXPECT_TRUE(f->toolbarAction(ids::kCmdPrint)->isEnabled());
    // The folder is remembered for the next Open.
    EXPECT_EQ(readRegistryText("filepathrpt"), QString::fromUtf8(OTDR_SOURCE_DIR "/default/curve").toStdString());
    prompts.openAnswer.clear();
    trigger(*f, ids::kCmdOpenFile);
    EXPECT_EQ(prompts.openDir, QString::fromUtf8(OTDR_SOURCE_DIR "/default/curve"));

    // Opening the same file again is skipped silently.
    prompts.openAnswer = {sample("link-10km-1310nm.sor")};
    trigger(*f, ids::kCmdOpenFile);
    EXPECT_EQ(traceTable().loadedCount, 2);
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(MainFrameTest, OpenReportsUnreadableFilesAndTheTraceLimit)
{
    auto f = startFrame();
    const QString broken = tmp.filePath(QStringLiteral("broken.sor"));
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("this is not a trace file");
    }
    prompts.openAnswer = {broken, sample("patchcords-1625nm.sor")};
    trigger(*f, ids::kCmdOpenFile);
    ASSERT_EQ(prompts.errors.size(), 1);
    const QString fileError = QString::fromStdString(loadText("IDS_OPEN_FILE_ERROR"));
    const QString dataInvalid = QString::fromStdString(loadText("IDS_OPEN_DATA_INVALID"));
    EXPECT_TRUE(prompts.errors[0].startsWith(fileError) || prompts.errors[0].startsWith(dataInvalid));
    EXPECT_TRUE(prompts.errors[0].contains(broken));
    EXPECT_EQ(traceTable().loadedCount, 1); // the failed file left its slot to the next one

    // Eight traces: Open refuses before the dialog.
    QStringList copies;
    for (int i = 0; i < 9; ++i) {
        const QString copy = tmp.filePath(QStringLiteral("copy%1.sor").arg(i));
        ASSERT_TRUE(QFile::copy(sample("link-10km-1310nm.sor"), copy));
        copies << copy;
    }
    prompts.errors.clear();
    prompts.openAnswer = copies; // only seven fit
    trigger(*f, ids::kCmdOpenFile);
    EXPECT_TRUE(prompts.errors.isEmpty());
    EXPECT_EQ(traceTable().loadedCount, 8);
    const int asked = prompts.openAsked;
    trigger(*f, ids::kCmdOpenFile);
    EXPECT_EQ(prompts.openAsked, asked);
    EXPECT_EQ(prompts.errors, QStringList{QString::fromStdString(loadText("IDS_MAX_CURVE"))});
}

TEST_F(MainFrameTest, SaveWritesTheCurrentTraceAndReportsFailure)
{
    auto f = startFrame();
    f->openTraceFilePaths({sample("link-10km-1310nm.sor")});
    ASSERT_EQ(traceTable().loadedCount, 1);

    prompts.saveAnswer.clear(); // Cancel
    trigger(*f, ids::kCmdSaveFile);
    EXPECT_TRUE(prompts.errors.isEmpty());

    prompts.saveAnswer = tmp.filePath(QStringLiteral("saved.sor"));
    trigger(*f, ids::kCmdSaveFile);
    EXPECT_TRUE(prompts.errors.isEmpty());
    EXPECT_GT(QFile(prompts.saveAnswer).size(), 1000);
    // The saved file opens again as a trace.
    f->openTraceFilePaths({prompts.saveAnswer});
    EXPECT_EQ(traceTable().loadedCount, 2);

    prompts.saveAnswer = tmp.filePath(QStringLiteral("no-such-folder/saved.sor"));
    trigger(*f, ids::kCmdSaveFile);
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors[0].contains(prompts.saveAnswer));
}

TEST_F(MainFrameTest, ReportWizardQuestionCancelKeepsTracesAndOkEmptiesThem)
{
    auto f = startFrame();
    f->openTraceFilePaths({sample("link-10km-1310nm.sor")});
    ASSERT_TRUE(f->hasTraces());

    prompts.confirmAnswers = {false};
    trigger(*f, ids::kCmdReportWizard);
    EXPECT_EQ(prompts.confirmTexts, QStringList{QString::fromStdString(loadText("IDS_DELETE_EDITEDVIEW"))});
    EXPECT_FALSE(f->reportMode());
    EXPECT_TRUE(f->hasTraces());
    EXPECT_EQ(traceTable().loadedCount, 1);
    EXPECT_TRUE(f->menuAction(ids::kCmdSaveFile)->isEnabled());

    prompts.confirmAnswers = {true};
    trigger(*f, ids::kCmdReportWizard);
    EXPECT_TRUE(f->reportMode());
    EXPECT_FALSE(f->hasTraces());
    EXPECT_EQ(traceTable().loadedCount, 0);
}

TEST_F(MainFrameTest, HelpOpensTheFileOfTheLanguageWhenItExists)
{
    auto f = startFrame();
    trigger(*f, ids::kCmdLanguagePortuguese);
    trigger(*f, ids::kCmdHelpContent);
    EXPECT_TRUE(prompts.opened.isEmpty()); // no help file: nothing happens

    for (const char* name : {"OTDR_EN.chm", "OTDR_CH.chm"})
        std::ofstream(root + "/" + name) << "help";
    trigger(*f, ids::kCmdHelpContent);
    trigger(*f, ids::kCmdLanguageChinese);
    trigger(*f, ids::kCmdHelpContent);
    ASSERT_EQ(prompts.opened.size(), 2);
    EXPECT_EQ(prompts.opened[0].toLocalFile(), QString::fromStdString(root + "/OTDR_EN.chm"));
    EXPECT_EQ(prompts.opened[1].toLocalFile(), QString::fromStdString(root + "/OTDR_CH.chm"));
}

TEST_F(MainFrameTest, AppliedTraceColourReachesTheLoadedTrace)
{
    auto f = startFrame();
    f->openTraceFilePaths({sample("link-10km-1310nm.sor"), sample("trunk-40km-1550nm.sor"),
                           sample("patchcords-1625nm.sor")});
    ASSERT_EQ(traceTable().loadedCount, 3);
    prompts.colour = QColor(0x12, 0x34, 0x56);
    bool sawSheet = false;
    QTimer::singleShot(0, [&] {
        auto* sheet = qobject_cast<CConfigSheet*>(QApplication::activeModalWidget());
        if (!sheet)
            return;
        sawSheet = true;
        otdrFindChild<QPushButton>(sheet, ids::kColourButtonFirst + 2)->click();
        otdrFindChild<QPushButton>(sheet, ids::kSheetOk)->click();
    });
    trigger(*f, ids::kCmdWaveScreenSetting);
    ASSERT_TRUE(sawSheet);
    EXPECT_EQ(traceTable().record(2).colour, 0x563412u);
    EXPECT_EQ(traceTable().traceColours[2], 0x563412u);
    EXPECT_EQ(readConfig("Color", "Trace3"), std::to_string(0x563412u));
}

} // namespace

namespace {

TEST_F(MainFrameTest, RemoteConnectShowsTheHiddenConnectionDialog)
{
    auto f = startFrame();
    f->show();
    auto* dialog = otdrFindChild<QWidget>(f.get(), ids::kRemoteConnDialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isVisible());
    trigger(*f, ids::kCmdRemoteConnect);
    EXPECT_TRUE(dialog->isVisible());
    dialog->hide();
}

} // namespace

namespace {

TEST_F(MainFrameTest, KeyMissingFromOneLanguageFileLeavesOnlyThatLabelEmpty)
{
    // Drop the exit question from the Portuguese file only.
    const std::string port = root + "/Config/Multi_port.ini";
    std::string text = readFile(port);
    const auto at = text.find("IDS_OKORCANCEL=");
    ASSERT_NE(at, std::string::npos);
    text.erase(at, text.find('\n', at) - at + 1);
    std::ofstream(port, std::ios::binary | std::ios::trunc) << text;
    reloadTexts();

    auto f = startFrame();
    trigger(*f, ids::kCmdLanguagePortuguese);
    EXPECT_TRUE(f->exitQuestion().isEmpty());
    EXPECT_FALSE(f->reportFrame()->windowTitle().isEmpty());
    trigger(*f, ids::kCmdLanguageEnglish);
    EXPECT_EQ(f->exitQuestion(), QStringLiteral("Do you really want to exit the program?"));
}

TEST_F(MainFrameTest, AboutBoxShowsTitleAndVersion)
{
    auto f = startFrame();
    QString title, texts;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box)
            return;
        title = box->windowTitle();
        for (QLabel* l : box->findChildren<QLabel*>())
            texts += l->text() + QLatin1Char('|');
        otdrFindChild<QDialog>(f.get(), ids::kAboutDialog)->accept();
    });
    trigger(*f, ids::kCmdAbout);
    EXPECT_EQ(title, QStringLiteral("About Viewer"));
    EXPECT_TRUE(texts.contains(QStringLiteral("Version 2.01(2016.08.07)")));
}

} // namespace
