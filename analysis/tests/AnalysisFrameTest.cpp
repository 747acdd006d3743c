// Auto Search and the event table inside the main frame: the command, the refilled table, and
// the plot's active marker following the selected row (also when the waveform view's event
// buttons move the selection).
#include "CEventlist.h"
#include "COtdrTrace.h"
#include "ChildFrame.h"
#include "ConfigStore.h"
#include "MainFrame.h"
#include "OtdrIds.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceTable.h"
#include "UiPrompts.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

namespace fs = std::filesystem;
namespace ids = otdr::ids;

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "analysis_frame_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own globals may be gone by the time static objects are.
    static auto* a = new QApplication(argc, argv);
    return *a;
}

// Errors are collected instead of shown.
class QuietPrompts : public CUiPrompts {
public:
    QStringList errors;
    void error(QWidget*, const QString& text) override { errors << text; }
    bool confirm(QWidget*, const QString&) override { return true; }
};

} // namespace

TEST(AnalysisInFrame, AutoSearchFillsTheTableAndRowsMoveTheActiveMarker)
{
    const fs::path fixture = fs::path(OTDR_FIXTURES) / "sor" / "example2-exfo-maxtester730c.sor";
    if (!fs::exists(fixture))
        GTEST_SKIP() << "no fixtures";
    app();
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string root = tmp.path().toStdString();
    fs::copy(fs::path(OTDR_SOURCE_DIR) / "Config", fs::path(root) / "Config");
    setApplicationFolder(root);
    setConfigDir(root + "/Config");
    machineStore().setFilePath(root + "/machine.ini");
    traceTable().clearAllTraces();
    setLanguage(1);
    QuietPrompts prompts;
    setUiPrompts(&prompts);

    {
        CMainFrame frame;
        frame.resize(1200, 800);
        frame.finishStartup();
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        frame.openTraceFilePaths({QString::fromStdString(fixture.string())});
        ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join(' ').toStdString();

        auto* events = qobject_cast<CEventlist*>(frame.eventFrame()->view());
        ASSERT_NE(events, nullptr);
        // The trace view's plot (absent while the trace window holds a stand-in view).
        COtdrTrace* plot = wavePlot();
        TraceRecord& record = *traceTable().currentRecord();
        record.events.clear();
        events->fill();
        EXPECT_EQ(events->table()->rowCount(), 0);

        QAction* autoSearch = frame.menuAction(ids::kCmdAutoSearch);
        ASSERT_NE(autoSearch, nullptr);
        ASSERT_TRUE(autoSearch->isEnabled());
        autoSearch->trigger();

        ASSERT_GE(record.events.size(), 3u);
        QTableWidget* table = events->table();
        EXPECT_EQ(table->rowCount(), static_cast<int>(record.events.size()));
        EXPECT_EQ(table->item(0, 0)->text(), "1(S)");
        EXPECT_EQ(events->selectedRow(), 0);
        const auto activePosition = [&] {
            const PlotState& s = plot->state();
            return s.activeMarker == 2 ? s.markerB.position : s.markerA.position;
        };
        if (plot) {
            EXPECT_FLOAT_EQ(activePosition(), record.events[0].distance);
        }

        // A click on row 2 moves the marker to event 2.
        const QRect r = table->visualItemRect(table->item(2, 1));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, r.center());
        EXPECT_EQ(events->selectedRow(), 2);
        if (plot) {
            EXPECT_FLOAT_EQ(activePosition(), record.events[2].distance);
        }

        // The waveform view's previous-event button acts on the table's selection.
        if (auto* previous = otdrFindChild<QAbstractButton>(frame.waveFrame()->view(), ids::kWavePrevEvent)) {
            previous->click();
            EXPECT_EQ(events->selectedRow(), 1);
            if (plot) {
                EXPECT_FLOAT_EQ(activePosition(), record.events[1].distance);
            }
        }
    }
    setUiPrompts(nullptr);
    traceTable().clearAllTraces();
}
