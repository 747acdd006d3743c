// The connection dialog and the settings pages driven against the instrument simulator.
#include "CNumericSpin.h"
#include "CRemoteConnDlg.h"
#include "CRemoteLink.h"
#include "CRemotePages.h"
#include "ConfigKeys.h"
#include "ConfigStore.h"
#include "InstrumentSimulator.h"
#include "OtdrIds.h"
#include "RemoteIds.h"
#include "RemoteUi.h"
#include "resources/ResourceIds.h"
#include "Settings.h"
#include "TextKeys.h"
#include "Texts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTimeEdit>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>

using namespace remote;
using namespace std::chrono_literals;

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "remote_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication a(argc, argv);
    return a;
}

// Processes events until the condition holds; bounded in time.
template <typename F>
bool waitUntil(F condition, int ms = 4000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

unsigned closedLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

struct Warning {
    QString text;
    QString caption;
};

class RemoteUiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        ASSERT_TRUE(dir.isValid());
        std::filesystem::copy(std::filesystem::path(OTDR_SOURCE_DIR) / "Config", dir.path().toStdString(),
                              std::filesystem::copy_options::recursive);
        setConfigDir(dir.path().toStdString());
        setLanguage(kLanguageEnglish);
        instrumentSettings() = InstrumentSettings{};
        remoteUiHooks().warn = [this](QWidget*, const QString& text, const QString& caption) {
            warnings.push_back({text, caption});
        };
        // Never touch the machine's clock from a test.
        remoteUiHooks().setClock = [this](const QDateTime& when) {
            clockSetTo.push_back(when);
            return false;
        };
        ASSERT_TRUE(sim.start());
        dialog = std::make_unique<CRemoteConnDlg>(nullptr, [this](const QString& s) { status = s; });
        sheet = std::make_unique<CRemotePageSheet>(dialog.get());
    }

    void TearDown() override
    {
        sheet.reset();
        dialog.reset();
        resetRemoteUiHooks();
    }

    static QString text(const char* key) { return QString::fromStdString(loadText(key)); }

    template <typename T = QPushButton>
    T* control(QWidget* parent, int id)
    {
        T* w = otdrFindChild<T>(parent, id);
        EXPECT_NE(w, nullptr) << id;
        return w;
    }

    bool checked(QWidget* page, int radio) { return control<QRadioButton>(page, radio)->isChecked(); }

    void connectToSim()
    {
        dialog->setAddress(QStringLiteral("127.0.0.1"));
        dialog->setPort(sim.port());
        dialog->showCentered();
        control(dialog.get(), ids::kConnect)->click();
        ASSERT_TRUE(dialog->isConnected());
        ASSERT_TRUE(sim.waitForClient(3s));
    }

    QTemporaryDir dir;
    instrumentsim::InstrumentSimulator sim;
    std::unique_ptr<CRemoteConnDlg> dialog;
    std::unique_ptr<CRemotePageSheet> sheet;
    QString status;
    std::vector<Warning> warnings;
    std::vector<QDateTime> clockSetTo;
};

TEST_F(RemoteUiTest, ConnectReadAndSendTheTestSettings)
{
    connectToSim();
    EXPECT_EQ(status, text(tk::IDS_REMOTE_CONNECT));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(readConfig(cfg::kRemoteSetting, cfg::kIp), "127.0.0.1");
    EXPECT_EQ(readConfig(cfg::kRemoteSetting, cfg::kPort), std::to_string(sim.port()));

    sim.setSetting("TestWave", "2000");
    sim.setSetting("TestRange", "160000");
    sim.setSetting("PluseWidth", "1000");
    sim.setSetting("TestTime", "45");
    sim.setSetting("TestUnit", "mi");
    sim.setSetting("Resolution", "1");
    sim.setSetting("AutoSave", "0");
    sheet->show();
    sheet->tabs()->setCurrentIndex(1);
    QWidget* page = sheet->testPage();
    control(page, ids::kOtdrToPc)->click();
    ASSERT_TRUE(sim.waitForLines(1, 3s));
    EXPECT_EQ(sim.receivedBytes(), "get2\n");
    ASSERT_TRUE(waitUntil([&] { return checked(page, ids::kRange160km); }));
    EXPECT_TRUE(checked(page, ids::kWaveDual));
    EXPECT_TRUE(checked(page, ids::kPulse1000));
    EXPECT_TRUE(checked(page, ids::kUnitMiles));
    EXPECT_TRUE(checked(page, ids::kResolutionHigh));
    EXPECT_TRUE(checked(page, ids::kAutoSaveNo));
    EXPECT_EQ(control<QLineEdit>(page, ids::kTestTimeEdit)->text(), QStringLiteral("45"));

    // Change the page and send it back: the dead-zone radio goes out as TestRange=100.
    control<QRadioButton>(page, ids::kRangeDeadZone)->click();
    control<QRadioButton>(page, ids::kWave1310)->click();
    control<QRadioButton>(page, ids::kPulseAuto)->click();
    control<QRadioButton>(page, ids::kModeAuto)->click();
    control<QLineEdit>(page, ids::kTestTimeEdit)->setText(QStringLiteral("12"));
    control(page, ids::kPcToOtdr)->click();
    ASSERT_TRUE(sim.waitForLines(2, 3s));
    EXPECT_EQ(sim.receivedLines().back(), "2TestWave=1310,TestTime=12,TestMode=1,TestRange=100,"
                                          "TestUnit=mi,PluseWidth=50000,Resolution=1,AutoSave=0,");
    EXPECT_EQ(sim.setting("TestRange"), "100");
    EXPECT_EQ(readConfig(cfg::kOtdr, cfg::kStrTestRange), "100");
    EXPECT_EQ(readConfig(cfg::kOtdr, cfg::kTestWave), "1310");
    EXPECT_EQ(readConfig(cfg::kOtdr, cfg::kTestTime), "12");
    EXPECT_EQ(readConfig(cfg::kOtdr, cfg::kPluseWidth), "50000");
    EXPECT_TRUE(warnings.empty());
}

TEST_F(RemoteUiTest, SystemPageReadsAndSendsWithTheChosenMoment)
{
    connectToSim();
    sim.setSetting("Language", "0");
    sim.setSetting("AutoPowerOff", "3");
    sim.setSetting("LightLevel", "40");
    sim.setSetting("TouchSreeenStatus", "1");
    sheet->show();
    QWidget* page = sheet->systemPage();
    control(page, ids::kOtdrToPc)->click();
    ASSERT_TRUE(waitUntil([&] { return checked(page, ids::kPowerOff3); }));
    EXPECT_TRUE(checked(page, ids::kLangChinese));
    EXPECT_TRUE(checked(page, ids::kTouchOff));
    EXPECT_EQ(control<QSlider>(page, ids::kBrightnessSlider)->value(), 75);

    control<QRadioButton>(page, ids::kLangEnglish)->click();
    control<QRadioButton>(page, ids::kPowerOffNever)->click();
    control<QSlider>(page, ids::kBrightnessSlider)->setValue(65);
    control<QDateEdit>(page, ids::kDatePicker)->setDate(QDate(2025, 6, 7));
    control<QTimeEdit>(page, ids::kTimePicker)->setTime(QTime(8, 9, 10));
    control(page, ids::kPcToOtdr)->click();
    ASSERT_TRUE(sim.waitForLines(2, 3s));
    EXPECT_EQ(sim.receivedLines().back(), "1Language=1,AutoPowerOff=Never,LightLevel=50,"
                                          "DateTime=2025-06-07 08:09:10,TouchSreeenStatus=1,");
    ASSERT_EQ(clockSetTo.size(), 1u);
    EXPECT_EQ(clockSetTo[0], QDateTime(QDate(2025, 6, 7), QTime(8, 9, 10)));
    EXPECT_EQ(instrumentSettings().DateTime, "2025-06-07 08:09:10") << "a refused clock is ignored";
    EXPECT_EQ(readConfig(cfg::kOtdr, cfg::kOtdrLanguage), "1");
    EXPECT_EQ(readConfig(cfg::kOtdr, cfg::kLightLevel), "50");
    EXPECT_EQ(readConfig(cfg::kOtdr, cfg::kAutoPowerOff), "Never");
}

TEST_F(RemoteUiTest, SplitAndCoalescedRepliesRefreshBothPages)
{
    connectToSim();
    sim.setSplitReplies(3);
    sim.setCoalesceReplies(true);
    sim.setSetting("AutoSave", "1");    // last pair of the test line
    sim.setSetting("TouchSreeenStatus", "1"); // last pair of the system line
    sim.setSetting("TestRange", "500");
    sheet->show();
    control(sheet->testPage(), ids::kOtdrToPc)->click();
    ASSERT_TRUE(waitUntil([&] {
        return checked(sheet->testPage(), ids::kRange500m) && checked(sheet->systemPage(), ids::kTouchOff);
    }));
    EXPECT_TRUE(checked(sheet->testPage(), ids::kAutoSaveYes));
    EXPECT_EQ(instrumentSettings().AutoSave, "1");
    EXPECT_EQ(instrumentSettings().Language, "1");
}

TEST_F(RemoteUiTest, WithoutConnectionThePagesWarnButKeepTheValues)
{
    sheet->show();
    QWidget* test = sheet->testPage();
    control(test, ids::kOtdrToPc)->click();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].text, text(tk::IDS_NET_CONNECT));
    EXPECT_EQ(warnings[0].caption, QStringLiteral("VOVA Vuvaru"));

    control<QRadioButton>(test, ids::kRangeAuto)->click();
    control(test, ids::kPcToOtdr)->click();
    EXPECT_EQ(warnings.size(), 2u);
    EXPECT_EQ(instrumentSettings().TestRange, "500000");
    EXPECT_EQ(readConfig(cfg::kOtdr, cfg::kStrTestRange), "500000");

    control(sheet->systemPage(), ids::kPcToOtdr)->click();
    EXPECT_EQ(warnings.size(), 3u);
    EXPECT_EQ(clockSetTo.size(), 1u);
    EXPECT_FALSE(instrumentSettings().DateTime.empty());
    EXPECT_EQ(sim.connections(), 0);
}

TEST_F(RemoteUiTest, FailedConnectReportsAndCloses)
{
    const std::string storedIp = readConfig(cfg::kRemoteSetting, cfg::kIp);
    dialog->setAddress(QStringLiteral("127.0.0.1"));
    dialog->setPort(closedLoopbackPort());
    dialog->showCentered();
    control(dialog.get(), ids::kConnect)->click();
    EXPECT_FALSE(dialog->isConnected());
    EXPECT_EQ(dialog->socket().state(), CCESocket::Closed);
    EXPECT_EQ(status, text(tk::IDS_REMOTE_DISCONNECT));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].text, text(tk::IDS_REMOTE_DISCONNECT_CHECK));
    EXPECT_EQ(warnings[0].caption, text(tk::IDS_REMOTE_NOTICE));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(control(dialog.get(), ids::kConnect)->isEnabled());
    EXPECT_EQ(readConfig(cfg::kRemoteSetting, cfg::kIp), storedIp) << "only a working address is kept";

    // A port out of range fails the same way.
    dialog->setPort(70000);
    control(dialog.get(), ids::kConnect)->click();
    EXPECT_EQ(warnings.size(), 2u);
}

TEST_F(RemoteUiTest, UnansweredConnectGivesUpWithTheFailureMessage)
{
    // A listener that never accepts and whose queue is full: the connect gets no answer.
    const int listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::listen(listenFd, 0);
    socklen_t len = sizeof addr;
    ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&addr), &len);
    const int first = ::socket(AF_INET, SOCK_STREAM, 0);
    ::connect(first, reinterpret_cast<sockaddr*>(&addr), sizeof addr);

    dialog->socket().setConnectTimeout(300ms);
    dialog->setAddress(QStringLiteral("127.0.0.1"));
    dialog->setPort(ntohs(addr.sin_port));
    control(dialog.get(), ids::kConnect)->click();
    EXPECT_FALSE(dialog->isConnected());
    EXPECT_EQ(status, text(tk::IDS_REMOTE_DISCONNECT));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].text, text(tk::IDS_REMOTE_DISCONNECT_CHECK));
    ::close(first);
    ::close(listenFd);
}

TEST_F(RemoteUiTest, ConnectWhileConnectedClosesAndStaysOpen)
{
    connectToSim();
    dialog->showCentered();
    control(dialog.get(), ids::kConnect)->click();
    EXPECT_FALSE(dialog->isConnected());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(status, text(tk::IDS_REMOTE_DISCONNECT));
    EXPECT_TRUE(sim.waitForNoClient(3s));

    // Disconnect when asked; the reader ends quietly.
    connectToSim();
    control(dialog.get(), ids::kDisconnect)->click();
    EXPECT_FALSE(dialog->isConnected());
    EXPECT_EQ(status, text(tk::IDS_REMOTE_DISCONNECT));
    EXPECT_TRUE(warnings.empty());
}

TEST_F(RemoteUiTest, InstrumentClosingShowsDisconnected)
{
    connectToSim();
    ASSERT_EQ(status, text(tk::IDS_REMOTE_CONNECT));
    sim.closeClient();
    ASSERT_TRUE(waitUntil([&] { return status == text(tk::IDS_REMOTE_DISCONNECT); }));
    EXPECT_FALSE(dialog->isConnected());
    control(sheet->testPage(), ids::kOtdrToPc)->click();
    EXPECT_EQ(warnings.size(), 1u);
}

TEST_F(RemoteUiTest, StoredAddressIsShownAsDottedBytes)
{
    writeConfig(cfg::kRemoteSetting, cfg::kIp, "192.168.1.20");
    writeConfig(cfg::kRemoteSetting, cfg::kPort, "5000");
    CRemoteConnDlg stored;
    EXPECT_EQ(stored.address(), QStringLiteral("192.168.1.20"));
    EXPECT_EQ(stored.port(), 5000u);
    writeConfig(cfg::kRemoteSetting, cfg::kIp, "instrument");
    CRemoteConnDlg invalid;
    EXPECT_EQ(invalid.address(), QStringLiteral("255.255.255.255"));
    EXPECT_EQ(otdrFindChild<QLineEdit>(&invalid, ids::kIpAddress)->text(), QStringLiteral("255.255.255.255"));
}

TEST_F(RemoteUiTest, FrameEntryPointRunsTheCommandsAndFollowsTheLanguage)
{
    QWidget frame;
    QString frameStatus;
    auto* link = new CRemoteLink(&frame, [&](const QString& s) { frameStatus = s; });
    ASSERT_NE(link->dialog(), nullptr);
    EXPECT_FALSE(link->dialog()->isVisible());
    link->onRemoteConnect();
    EXPECT_TRUE(link->dialog()->isVisible());
    EXPECT_EQ(link->dialog()->windowTitle(), text(tk::IDS_REMOTE_SETTING_TITLE));

    link->dialog()->setAddress(QStringLiteral("127.0.0.1"));
    link->dialog()->setPort(sim.port());
    otdrFindChild<QPushButton>(link->dialog(), ids::kConnect)->click();
    EXPECT_EQ(frameStatus, text(tk::IDS_REMOTE_CONNECT));

    // The sheet runs modally; a reply arriving meanwhile refreshes its page.
    sim.setSetting("TestRange", "80000");
    bool refreshed = false;
    QTimer::singleShot(0, [&] {
        CRemotePageSheet* sheet = link->sheet();
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowTitle(), text(tk::IDS_REMOTE_SETTING_SYSTEM_SETTING));
        otdrFindChild<QPushButton>(sheet->testPage(), ids::kOtdrToPc)->click();
        refreshed = waitUntil([&] { return checked(sheet->testPage(), ids::kRange80km); });
        otdrFindChild<QPushButton>(sheet, otdr::ids::kSheetCancel)->click();
    });
    EXPECT_EQ(link->onRemoteSetting(), QDialog::Rejected);
    EXPECT_TRUE(refreshed);

    setLanguage(kLanguageChinese);
    link->applyLanguage();
    EXPECT_EQ(link->dialog()->windowTitle(), text(tk::IDS_REMOTE_SETTING_TITLE));
    EXPECT_EQ(link->sheet()->tabs()->tabText(1), text(tk::IDS_REMOTE_SETTING_TEST_TITLE));
    EXPECT_NE(text(tk::IDS_REMOTE_SETTING_TITLE), QStringLiteral("Remote Connection"));
    delete link;
    EXPECT_TRUE(sim.waitForNoClient(3s));
}

} // namespace
