// The numeric spin, the analysis-conditions sheet and the event table view.
#include "CEventSearchPageSheet.h"
#include "CEventlist.h"
#include "CNumericSpin.h"
#include "ConfigKeys.h"
#include "ConfigStore.h"
#include "OtdrIds.h"
#include "Settings.h"
#include "TraceFile.h"
#include "TraceTable.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace ids = otdr::ids;

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "analysis_ui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own globals may be gone by the time static objects are.
    static auto* a = new QApplication(argc, argv);
    return *a;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

// ---- Numeric spin -------------------------------------------------------------------------------

TEST(NumericSpin, FixedDecimalsArrowsStopAtTheLimitsTypedValuesAreNotClamped)
{
    app();
    CNumericSpin spin;
    spin.setIds(1551, 1552);
    spin.setup(0.01, 32.00, 0.01, 2);
    EXPECT_EQ(otdrFindChild<QLineEdit>(&spin, 1551), spin.editBox());
    EXPECT_EQ(otdrFindChild<QWidget>(&spin, 1552), spin.arrows());

    spin.setValue(32);
    EXPECT_EQ(spin.text(), "32.00");
    spin.upButton()->click();
    EXPECT_EQ(spin.text(), "32.00");
    spin.downButton()->click();
    EXPECT_EQ(spin.text(), "31.99");

    spin.setValue(0.01);
    spin.downButton()->click();
    EXPECT_EQ(spin.text(), "0.01");
    // Many small steps do not drift.
    for (int i = 0; i < 150; ++i)
        spin.stepUp();
    EXPECT_EQ(spin.text(), "1.51");

    // 0 (automatic) lies below the range; the first step up lands on the minimum.
    spin.setValue(0);
    EXPECT_EQ(spin.text(), "0.00");
    spin.stepUp();
    EXPECT_EQ(spin.text(), "0.01");

    // The Up and Down keys in the edit box step as the arrows do.
    spin.setValue(5);
    QTest::keyClick(spin.editBox(), Qt::Key_Up);
    EXPECT_EQ(spin.text(), "5.01");
    QTest::keyClick(spin.editBox(), Qt::Key_Down);
    QTest::keyClick(spin.editBox(), Qt::Key_Down);
    EXPECT_EQ(spin.text(), "4.99");

    struct Typed {
        const char* text;
        double value;
    };
    for (const Typed& t : {Typed{"40", 40}, Typed{"-3.5", -3.5}, Typed{" 1.7 ", 1.7}, Typed{"abc", 0}, Typed{"", 0},
                           Typed{"12abc", 12}, Typed{"1,5", 1}, Typed{".5", 0.5}, Typed{"nan", 0}, Typed{"+2", 2}}) {
        spin.editBox()->setText(QString::fromUtf8(t.text));
        EXPECT_DOUBLE_EQ(spin.value(), t.value) << t.text;
        EXPECT_EQ(spin.text(), QString::fromUtf8(t.text));   // reading does not rewrite the text
    }
}

TEST(NumericSpin, WholeNumbersAndDisabling)
{
    app();
    CNumericSpin spin;
    spin.setup(3, 15, 1, 0);
    spin.setValue(0);
    EXPECT_EQ(spin.text(), "0");
    spin.setValue(14.6);
    EXPECT_EQ(spin.text(), "15");
    spin.upButton()->click();
    EXPECT_EQ(spin.text(), "15");
    spin.setEnabled(false);
    EXPECT_FALSE(spin.editBox()->isEnabled());
    EXPECT_FALSE(spin.arrows()->isEnabled());
    spin.stepDown();
    EXPECT_EQ(spin.text(), "15");
    EXPECT_EQ(CNumericSpin::formatValue(-0.001, 2), "0.00");
    EXPECT_EQ(CNumericSpin::formatValue(-79.44, 2), "-79.44");
}

// ---- Analysis-conditions sheet ------------------------------------------------------------------

class ConditionsSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        ASSERT_TRUE(dir.isValid());
        store.setConfigDir(dir.path().toStdString());
    }
    void writeConfig(const std::string& text)
    {
        std::ofstream(store.configFilePath()) << text;
        loadAnalysisSettings(store, settings);
    }
    std::string stored(const char* key) const { return store.read(cfg::kEventAnal, key); }
    QPushButton* button(CEventSearchPageSheet& sheet, int id) { return otdrFindChild<QPushButton>(&sheet, id); }

    QTemporaryDir dir;
    ConfigStore store;
    AnalysisSettings settings;
};

TEST_F(ConditionsSheetTest, FreshConfigurationShowsAutomaticThresholdsAndZeros)
{
    writeConfig("[Unit]\nDFigure=3\n");
    CEventSearchPageSheet sheet(store, settings);
    CEventSearchCon* page = sheet.searchPage();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(page->autoBox(i)->isChecked()) << i;
        EXPECT_FALSE(page->thresholdSpin(i)->editBox()->isEnabled()) << i;
        EXPECT_FALSE(page->thresholdSpin(i)->arrows()->isEnabled()) << i;
        EXPECT_EQ(page->backscatterSpin(i)->text(), "0.00") << i;
    }
    EXPECT_EQ(page->thresholdSpin(0)->text(), "0.00");
    EXPECT_EQ(page->thresholdSpin(2)->text(), "0");
    EXPECT_FALSE(button(sheet, ids::kSheetApply)->isEnabled());
    EXPECT_EQ(otdrFindChild<QCheckBox>(&sheet, 1007), page->autoBox(2));

    EXPECT_FALSE(sheet.pageVisited(1));
    sheet.tabs()->setCurrentIndex(1);
    EXPECT_TRUE(sheet.pageVisited(1));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(sheet.analysisPage()->refractionSpin(i)->text(), "0.0000") << i;
}

TEST_F(ConditionsSheetTest, OkWritesWhatThePagesHold)
{
    writeConfig("[EventAnal]\nBendTH=0.20\nReflectTH=32.00\nTermial=0\nBackScatter=-79.44\n"
                "BackScatter1550=-79.00\nBackScatter1625=-79.00\nRefraction=1.4677\n"
                "Refraction1550=1.4682\nRefraction1625=1.4685\n");
    CEventSearchPageSheet sheet(store, settings);
    CEventSearchCon* page = sheet.searchPage();
    EXPECT_FALSE(page->autoBox(0)->isChecked());
    EXPECT_TRUE(page->thresholdSpin(0)->isEnabled());
    EXPECT_EQ(page->thresholdSpin(0)->text(), "0.20");
    EXPECT_EQ(page->backscatterSpin(0)->text(), "-79.44");

    // Loss threshold to automatic: its row is disabled.
    page->autoBox(0)->click();
    EXPECT_FALSE(page->thresholdSpin(0)->editBox()->isEnabled());
    // The reflection threshold's up arrow stops at 32.00.
    page->thresholdSpin(1)->upButton()->click();
    EXPECT_EQ(page->thresholdSpin(1)->text(), "32.00");
    // Fibre end out of automatic, then 7 with the arrows (3 .. 7).
    page->autoBox(2)->click();
    EXPECT_TRUE(page->thresholdSpin(2)->editBox()->isEnabled());
    for (int i = 0; i < 5; ++i)
        page->thresholdSpin(2)->upButton()->click();
    EXPECT_EQ(page->thresholdSpin(2)->text(), "7");
    page->backscatterSpin(1)->setText("-70.5");

    sheet.tabs()->setCurrentIndex(1);
    sheet.analysisPage()->refractionSpin(0)->setText("1.7");
    button(sheet, ids::kSheetOk)->click();

    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(stored("BendTH"), "0");
    EXPECT_EQ(settings.BendTH, 0.0f);
    EXPECT_EQ(stored("ReflectTH"), "32.00");
    EXPECT_EQ(stored("Termial"), "7.00");
    EXPECT_FLOAT_EQ(settings.Termial, 7.0f);
    EXPECT_EQ(stored("BackScatter1550"), "-70.50");
    EXPECT_EQ(stored("Refraction"), "1.7000");   // beyond the arrow range, stored as typed
    EXPECT_FLOAT_EQ(settings.Refraction, 1.7f);
    EXPECT_EQ(stored("Refraction1625"), "1.4685");

    // The next opening shows the loss threshold automatic.
    CEventSearchPageSheet again(store, settings);
    EXPECT_TRUE(again.searchPage()->autoBox(0)->isChecked());
    EXPECT_FALSE(again.searchPage()->autoBox(2)->isChecked());
}

TEST_F(ConditionsSheetTest, UnvisitedPageIsNotAppliedAndCancelChangesNothing)
{
    // Refractive indices written with other decimals show whether the keys were rewritten.
    writeConfig("[EventAnal]\nBendTH=0\nReflectTH=0\nTermial=0\nBackScatter=-79.44\n"
                "BackScatter1550=-79.00\nBackScatter1625=-79.00\nRefraction=1.46770\n"
                "Refraction1550=1.46820\nRefraction1625=1.46850\n");
    {
        CEventSearchPageSheet sheet(store, settings);
        sheet.searchPage()->backscatterSpin(0)->setText("-75");
        button(sheet, ids::kSheetOk)->click();
    }
    EXPECT_EQ(stored("BackScatter"), "-75.00");
    EXPECT_EQ(stored("BendTH"), "0");
    EXPECT_EQ(stored("Refraction"), "1.46770");
    EXPECT_EQ(stored("Refraction1625"), "1.46850");

    const std::string before = readFile(store.configFilePath());
    const AnalysisSettings record = settings;
    {
        CEventSearchPageSheet sheet(store, settings);
        sheet.searchPage()->autoBox(1)->click();
        sheet.searchPage()->backscatterSpin(2)->setText("-60");
        sheet.tabs()->setCurrentIndex(1);
        sheet.analysisPage()->refractionSpin(1)->setText("1.5");
        button(sheet, ids::kSheetCancel)->click();
        EXPECT_EQ(sheet.result(), QDialog::Rejected);
    }
    EXPECT_EQ(readFile(store.configFilePath()), before);
    EXPECT_EQ(std::memcmp(&record, &settings, sizeof record), 0);
}

// ---- Event table view ---------------------------------------------------------------------------

class EventTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        traceTable().clearAllTraces();
        DisplaySettings& d = displaySettings();
        d.distanceUnit = "m";
        d.distanceDecimals = 3;
    }
    void TearDown() override { traceTable().clearAllTraces(); }

    // Puts a record with the given events into slot 0 as the current trace.
    TraceRecord& loadEvents(const std::vector<EventItem>& events)
    {
        TraceTable& t = traceTable();
        t.slots[0].loaded = 1;
        t.loadedCount = 1;
        t.currentTrace = 0;
        TraceRecord& r = t.record(0);
        r.events = events;
        return r;
    }
    static EventItem event(float distance, char code, int type)
    {
        EventItem e;
        e.distance = distance;
        e.codeLetter = code;
        e.eventType = type;
        e.eventLoss = 0.25f;
        return e;
    }
};

TEST_F(EventTableTest, FillSelectsRowZeroAndSelectionMovesTheMarker)
{
    CEventlist view;
    std::vector<int> moved;
    view.setActiveMarkerMover([&](int i) { moved.push_back(i); });
    QTableWidget* list = view.table();
    EXPECT_EQ(otdrFindChild<QTableWidget>(&view, ids::kEventTableList), list);
    EXPECT_EQ(list->columnCount(), 7);
    EXPECT_EQ(list->columnWidth(3), 137);

    view.fill();   // no trace: empty
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_TRUE(moved.empty());

    loadEvents({event(120, 'S', 0), event(1000, 'F', 1), event(2500, 'E', 1)});
    view.fill();
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->item(0, 0)->text(), "1(S)");
    EXPECT_EQ(list->item(2, 0)->text(), "3(E)");
    EXPECT_EQ(list->item(0, 1)->text(), "0.000");
    EXPECT_EQ(list->item(2, 2)->text(), "1.500");
    EXPECT_EQ(list->item(1, 3)->text(), "0.250");
    // Rows 1 and 2 are reflective and carry the other icon than row 0.
    const QImage nonReflective = list->item(0, 0)->icon().pixmap(16).toImage();
    const QImage reflective = list->item(1, 0)->icon().pixmap(16).toImage();
    EXPECT_FALSE(nonReflective.isNull());
    EXPECT_FALSE(reflective.isNull());
    EXPECT_NE(nonReflective, reflective);
    EXPECT_EQ(list->item(2, 0)->icon().pixmap(16).toImage(), reflective);
    EXPECT_EQ(view.selectedRow(), 0);
    EXPECT_EQ(moved, (std::vector<int>{0}));

    // A click on a row moves the marker to that event.
    view.resize(800, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QRect r = list->visualItemRect(list->item(2, 4));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(view.selectedRow(), 2);
    EXPECT_EQ(moved.back(), 2);

    // The list follows the view's size.
    view.resize(700, 260);
    QApplication::processEvents();
    EXPECT_EQ(list->width(), 700 - 4);
    EXPECT_EQ(list->y() + list->height(), 260 - 2);

    // Units: the titles and cells change with the display settings.
    displaySettings().distanceUnit = "ft";
    view.onDisplaySettingsChanged();
    EXPECT_TRUE(list->horizontalHeaderItem(1)->text().endsWith("(kft)"));
    EXPECT_TRUE(list->horizontalHeaderItem(2)->text().endsWith("(kft)"));
    EXPECT_EQ(list->item(1, 1)->text(), "3.281");

    // Closing every trace empties the table.
    traceTable().clearAllTraces();
    view.onTracesChanged();
    EXPECT_EQ(list->rowCount(), 0);
}

TEST_F(EventTableTest, AutoSearchOnARealFileFillsTheTable)
{
    const std::string folder = std::string(OTDR_FIXTURES) + "/sor";
    if (!std::filesystem::is_directory(folder))
        GTEST_SKIP() << "no fixtures";
    CEndDravik engine;
    ASSERT_TRUE(readTraceIntoSlot(traceTable(), engine, folder + "/demo_ab.sor", "demo_ab.sor", 0).loaded());
    TraceRecord& record = traceTable().record(0);
    record.events.clear();

    // A fresh configuration: automatic thresholds and no refractive index.
    const AnalysisSettings saved = analysisSettings();
    analysisSettings() = AnalysisSettings{};

    CEventlist view;
    std::vector<int> moved;
    view.setActiveMarkerMover([&](int i) { moved.push_back(i); });
    ASSERT_TRUE(view.autoSearch());
    EXPECT_FALSE(QApplication::overrideCursor());   // the busy cursor is gone again
    ASSERT_FALSE(record.events.empty());
    view.fill();
    EXPECT_EQ(view.table()->rowCount(), static_cast<int>(record.events.size()));
    EXPECT_EQ(view.table()->item(0, 0)->text(), "1(S)");
    EXPECT_EQ(view.selectedRow(), 0);
    EXPECT_EQ(moved, (std::vector<int>{0}));
    analysisSettings() = saved;
}
