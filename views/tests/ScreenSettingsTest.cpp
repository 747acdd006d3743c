// Screen-settings sheet: what the pages read, what Apply / OK / Cancel write, and which
// changes take effect in memory at once.
#include "CColorStatic.h"
#include "ConfigStore.h"
#include "OtdrIds.h"
#include "ScreenSettingsSheet.h"
#include "Settings.h"
#include "UiPrompts.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>

#include <fstream>

namespace ids = otdr::ids;

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "screen_settings_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own globals may be gone by the time static objects are.
    static auto* a = new QApplication(argc, argv);
    return *a;
}

// Hands the colour dialog a fixed answer.
class ColourAnswer : public CUiPrompts {
public:
    std::optional<QColor> answer;
    int asked = 0;
    std::optional<QColor> chooseColour(QWidget*) override
    {
        ++asked;
        return answer;
    }
};

class ScreenSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        ASSERT_TRUE(dir.isValid());
        store.setConfigDir(dir.path().toStdString());
        std::ofstream(store.configFilePath()) << "[Color]\nTrace1=255\nTrace3=65280\nBack=16777215\n"
                                                 "Grid=8421504\nCursor=255\n[Condition]\nGrid=0\n"
                                                 "[Unit]\nFigure=3\nDFigure=4\n";
        loadDisplaySettings(store, settings);
        setUiPrompts(&prompts);
    }
    void TearDown() override { setUiPrompts(nullptr); }

    void click(QWidget* root, int id)
    {
        auto* b = otdrFindChild<QAbstractButton>(root, id);
        ASSERT_NE(b, nullptr) << id;
        b->click();
    }

    QTemporaryDir dir;
    ConfigStore store;
    DisplaySettings settings;
    ColourAnswer prompts;
};

TEST_F(ScreenSettingsTest, ChangedBackgroundTakesEffectAtOnceAndCancelWritesNothing)
{
    CConfigSheet sheet(store, settings);
    QSignalSpy rebuild(&sheet, &CConfigSheet::backgroundOrGridChanged);
    prompts.answer = QColor(0x10, 0x20, 0x30);
    click(&sheet, ids::kColourButtonFirst + 8); // background

    const std::uint32_t chosen = 0x302010;
    EXPECT_EQ(settings.backgroundColour, chosen);
    EXPECT_EQ(settings.storedBackgroundColour, chosen);
    EXPECT_EQ(otdrFindChild<CColorStatic>(&sheet, ids::kColourSwatchFirst + 16)->colour(), chosen);
    EXPECT_EQ(rebuild.count(), 1);

    click(&sheet, ids::kSheetCancel);
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
    EXPECT_EQ(store.read("Color", "Back"), "16777215");
    EXPECT_EQ(settings.backgroundColour, chosen); // stays in memory until the colours are reloaded

    // The next start reads the configured colour again.
    DisplaySettings next;
    loadDisplaySettings(store, next);
    EXPECT_EQ(next.backgroundColour, 0xFFFFFFu);
}

TEST_F(ScreenSettingsTest, CancelledColourDialogChangesNothing)
{
    CConfigSheet sheet(store, settings);
    QSignalSpy rebuild(&sheet, &CConfigSheet::backgroundOrGridChanged);
    prompts.answer.reset();
    click(&sheet, ids::kColourButtonFirst + 9); // grid
    EXPECT_EQ(prompts.asked, 1);
    EXPECT_EQ(settings.gridColour, 8421504u);
    EXPECT_EQ(rebuild.count(), 0);
}

TEST_F(ScreenSettingsTest, TraceColourAppliedIsWrittenAndAnnounced)
{
    CConfigSheet sheet(store, settings);
    QSignalSpy applied(&sheet, &CConfigSheet::coloursApplied);
    QSignalSpy rebuild(&sheet, &CConfigSheet::backgroundOrGridChanged);
    prompts.answer = QColor(0, 0, 255);
    click(&sheet, ids::kColourButtonFirst + 2); // trace 3
    EXPECT_EQ(rebuild.count(), 0);              // only background and grid rebuild the plot
    EXPECT_EQ(settings.storedTraceColour[2], 0xFF0000u);

    click(&sheet, ids::kSheetApply);
    EXPECT_EQ(applied.count(), 1);
    EXPECT_EQ(store.read("Color", "Trace3"), "16711680");
    // Every swatch is written, also the ones that were not configured before.
    EXPECT_EQ(store.read("Color", "EventMarker"), "0");
}

TEST_F(ScreenSettingsTest, OkAppliesOnlyVisitedPages)
{
    CConfigSheet sheet(store, settings);
    QSignalSpy units(&sheet, &CConfigSheet::unitsApplied);
    QSignalSpy grid(&sheet, &CConfigSheet::gridApplied);
    click(&sheet, ids::kSheetOk);
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(units.count(), 0);
    EXPECT_EQ(grid.count(), 0);
    EXPECT_EQ(store.read("Unit", "Distance"), "");
    EXPECT_EQ(store.read("Color", "EventMarker"), "0"); // the colours page is always visited
}

TEST_F(ScreenSettingsTest, GridHiddenAndAppliedWritesOne)
{
    CConfigSheet sheet(store, settings);
    sheet.tabs()->setCurrentIndex(2);
    EXPECT_TRUE(otdrFindChild<QRadioButton>(&sheet, ids::kGridShow)->isChecked());
    EXPECT_EQ(settings.gridShown, 1);

    click(&sheet, ids::kGridHide);
    EXPECT_EQ(settings.gridShown, 0); // at once, before Apply
    EXPECT_EQ(store.read("Condition", "Grid"), "0");

    click(&sheet, ids::kSheetOk);
    EXPECT_EQ(store.read("Condition", "Grid"), "1");
    DisplaySettings next;
    loadDisplaySettings(store, next);
    EXPECT_EQ(next.gridShown, 0);
}

TEST_F(ScreenSettingsTest, GridPageReadsTheStoredValueAsInteger)
{
    for (const char* value : {"1", "7", "0", ""}) {
        store.write("Condition", "Grid", value);
        CConfigSheet sheet(store, settings);
        sheet.tabs()->setCurrentIndex(2);
        const bool hidden = std::string(value) == "1" || std::string(value) == "7";
        EXPECT_EQ(otdrFindChild<QRadioButton>(&sheet, ids::kGridHide)->isChecked(), hidden) << value;
        EXPECT_EQ(settings.gridShown, hidden ? 0 : 1) << value;
    }
}

TEST_F(ScreenSettingsTest, UnitsPageWithoutDistanceShowsKmAndWritesOnApply)
{
    CConfigSheet sheet(store, settings);
    QSignalSpy units(&sheet, &CConfigSheet::unitsApplied);
    sheet.tabs()->setCurrentIndex(1);
    EXPECT_TRUE(otdrFindChild<QRadioButton>(&sheet, ids::kUnitKm)->isChecked());
    EXPECT_TRUE(otdrFindChild<QRadioButton>(&sheet, ids::kUnitDb3)->isChecked());
    EXPECT_TRUE(otdrFindChild<QRadioButton>(&sheet, ids::kUnitDist4)->isChecked());
    EXPECT_EQ(settings.distanceUnit, "");

    click(&sheet, ids::kUnitDb1);
    click(&sheet, ids::kUnitDist5);
    EXPECT_EQ(settings.dbDecimals, 3); // radio buttons change nothing before Apply
    click(&sheet, ids::kSheetApply);
    EXPECT_EQ(units.count(), 1);
    EXPECT_EQ(settings.distanceUnit, "m");
    EXPECT_EQ(settings.dbDecimals, 1);
    EXPECT_EQ(settings.distanceDecimals, 5);
    EXPECT_EQ(store.read("Unit", "Distance"), "m");
    EXPECT_EQ(store.read("Unit", "Figure"), "1");
    EXPECT_EQ(store.read("Unit", "DFigure"), "5");
}

TEST_F(ScreenSettingsTest, UnitsPageFollowsTheConfiguredUnit)
{
    const struct {
        const char* stored;
        int button;
    } cases[] = {{"ft", ids::kUnitKfeet}, {"mi", ids::kUnitMiles}, {"m", ids::kUnitKm}, {"yd", ids::kUnitKm}};
    for (const auto& c : cases) {
        store.write("Unit", "Distance", c.stored);
        CConfigSheet sheet(store, settings);
        sheet.tabs()->setCurrentIndex(1);
        EXPECT_TRUE(otdrFindChild<QRadioButton>(&sheet, c.button)->isChecked()) << c.stored;
    }
}

TEST_F(ScreenSettingsTest, ButtonsSitAtTheRightInOkCancelApplyOrder)
{
    CConfigSheet sheet(store, settings);
    sheet.resize(700, 500);
    sheet.show();
    QApplication::processEvents();
    auto* ok = otdrFindChild<QPushButton>(&sheet, ids::kSheetOk);
    auto* cancel = otdrFindChild<QPushButton>(&sheet, ids::kSheetCancel);
    auto* apply = otdrFindChild<QPushButton>(&sheet, ids::kSheetApply);
    ASSERT_TRUE(ok && cancel && apply);
    EXPECT_LT(ok->x(), cancel->x());
    EXPECT_LT(cancel->x(), apply->x());
    EXPECT_GT(apply->geometry().right(), sheet.width() - 40);
    EXPECT_EQ(otdrFindChild<QPushButton>(&sheet, ids::kSheetHelp), nullptr);
}

} // namespace
