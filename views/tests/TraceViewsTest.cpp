// The trace views as widgets (offscreen): what the plot draws, the trace list and its close
// command, the measurement conditions, and event stepping, adding and deleting through the engine.
#include "COtdrTrace.h"
#include "ConfigStore.h"
#include "CThumbnail.h"
#include "CWaveFormLeftDlg.h"
#include "CWaveform.h"
#include "OtdrIds.h"
#include "Settings.h"
#include "TraceAnalysis.h"
#include "TraceFile.h"
#include "TraceTable.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>
#include <filesystem>

namespace ids = otdr::ids;

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "trace_views_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's input devices created by the simulated mouse are torn down with the
    // application's children, which at static destruction time would outlive the platform.
    static auto* a = new QApplication(argc, argv);
    return *a;
}

constexpr std::uint32_t kBlue = 0xFF0000;   // 0x00BBGGRR
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kWhite = 0xFFFFFF;

QRgb rgbOf(std::uint32_t ref)
{
    return qRgb(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF), static_cast<int>((ref >> 16) & 0xFF));
}

// A trace of `count` samples at a constant level (or with noise), 1 m apart.
void fillRecord(TraceRecord& r, std::uint32_t count, float levelDb, bool noise = false)
{
    r.samples.assign(count, static_cast<std::uint16_t>(65535 - static_cast<int>(levelDb * 1000)));
    if (noise)
        for (std::uint32_t i = 0; i < count; ++i)
            r.samples[i] = static_cast<std::uint16_t>(65535 - 30000 + static_cast<int>(i / 4) - static_cast<int>((i * 7919) % 3000));
    r.sampleCount = count;
    r.sampleSpacing = 1.0f;
    r.length = static_cast<float>(count);
    r.wavelengthNm = 1550;
    r.pulseWidthNs = 1000;
    r.rangeMetres = 25000;
    r.refractiveIndex = 1.4685f;
    r.sampleRateMHz = 100;
}

class TraceViewsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        static QTemporaryDir configDir;
        setConfigDir(configDir.path().toStdString());
        traceTable().clearAllTraces();
        viewWindow() = ViewWindow{};
        DisplaySettings& ds = displaySettings();
        ds.backgroundColour = ds.storedBackgroundColour = kWhite;
        ds.gridColour = kGrey;
        ds.cursorColour = kRed;
        ds.eventMarkerColour = 0;
        for (std::size_t i = 0; i < 8; ++i)
            ds.traceColour[i] = ds.storedTraceColour[i] = 0x101010u * static_cast<std::uint32_t>(i + 1) + 0x20;
        ds.traceColour[0] = kBlue;
        ds.gridShown = 1;
        ds.multiTraceDisplay = 1;
        ds.distanceUnit = "m";
        ds.distanceDecimals = 3;
        ds.dbDecimals = 2;
    }
    void TearDown() override { traceTable().clearAllTraces(); }

    void load(int slot, const std::string& name, std::uint32_t count, float level, bool noise = false)
    {
        TraceTable& t = traceTable();
        TraceSlot& s = t.slots[static_cast<std::size_t>(slot)];
        fillRecord(*s.record, count, level, noise);
        s.loaded = 1;
        s.fileName = name;
        s.filePath = "/traces/" + name;
        t.loadedCount = slot + 1;
        t.currentTrace = slot;
        s.record->colour = t.traceColourFor(slot + 1);
    }
};

} // namespace

TEST_F(TraceViewsTest, PlotDrawsGridCurveAndMarker)
{
    load(0, "flat.sor", 1000, 20.0f);
    viewWindow().fullScaleDb = 40;
    COtdrTrace plot;
    plot.resize(520, 420);
    plot.InitScrollBars();
    plot.AddCurve(traceTable().record(0), kBlue);
    plot.setMarkersShown(true);
    plot.state().markerA.position = 250;
    plot.state().activeMarker = 1;

    const QRect r = plot.plotRect();
    QImage img(plot.size(), QImage::Format_ARGB32);
    {
        QPainter p(&img);
        plot.renderPlot(p);
    }
    const int w = r.width(), h = r.height();
    // The curve: 20 dB in a 0 .. 40 dB window lies on the middle row.
    const int curveRow = plot.state().levelToRow(20.0f, 0);
    EXPECT_NEAR(curveRow, h / 2, 1);
    EXPECT_EQ(img.pixel(w * 6 / 10 + 7, curveRow), rgbOf(kBlue));
    // The grid: a dotted vertical line at 3 x (W / 10), grid colour every other pixel.
    const int gx = 3 * (w / 10);
    int gridPixels = 0, background = 0;
    for (int y = h - 5 * (h / 8) + 10; y < h - 5 * (h / 8) + 20; ++y) {
        gridPixels += img.pixel(gx, y) == rgbOf(kGrey);
        background += img.pixel(gx, y) == rgbOf(kWhite);
    }
    EXPECT_EQ(gridPixels, 5);
    EXPECT_EQ(background, 5);
    // Marker A, the active one, in the cursor colour from 30 pixels below the top.
    const int ax = plot.state().distanceToColumn(250);
    EXPECT_EQ(img.pixel(ax, h * 3 / 4), rgbOf(kRed));
    EXPECT_EQ(img.pixel(ax, 20), rgbOf(kWhite));
    // Readout of A beside its line (dark text on the white background).
    int dark = 0;
    for (int y = 30; y < 46; ++y)
        for (int x = ax + 2; x < ax + 60; ++x)
            dark += qGray(img.pixel(x, y)) < 100;
    EXPECT_GT(dark, 10);
    EXPECT_EQ(plot.state().markerA.distanceText, "0.250km");
    EXPECT_TRUE(markerSnapshot().shown);
}

TEST_F(TraceViewsTest, MouseDragsMarkersAndZoomsWithTheRubberBand)
{
    load(0, "m.sor", 2000, 20.0f);
    viewWindow().fullScaleDb = 40;
    COtdrTrace plot;
    plot.resize(520, 420);
    plot.AddCurve(traceTable().record(0), kBlue);
    plot.setMarkersShown(true);
    PlotState& s = plot.state();
    const float a = s.markerA.position;
    const int bx = s.distanceToColumn(s.markerB.position);

    // Pressing 3 pixels beside B drags B; the position snaps to the point grid.
    QTest::mousePress(&plot, Qt::LeftButton, {}, QPoint(bx + 3, 200));
    EXPECT_EQ(s.dragTarget, 2);
    EXPECT_EQ(s.activeMarker, 2);
    QTest::mouseMove(&plot, QPoint(bx + 40, 200));
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, QPoint(bx + 40, 200));
    EXPECT_EQ(s.dragTarget, 0);
    EXPECT_FLOAT_EQ(s.markerB.position, std::floor(s.columnToDistance(bx + 40) - 0.001));
    EXPECT_FLOAT_EQ(s.markerA.position, a);  // independent markers: A stays

    // A rectangle dragged away from the markers zooms to it.
    const QRect r = plot.plotRect();
    const QPoint from(r.width() - 120, 100), to(r.width() - 20, 300);
    QTest::mousePress(&plot, Qt::LeftButton, {}, from);
    QTest::mouseMove(&plot, to);
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, to);
    EXPECT_NEAR(s.xMin(), 2000.0 * (r.width() - 120) / r.width(), 0.01);
    EXPECT_NEAR(s.xMax(), 2000.0 * (r.width() - 20) / r.width(), 0.01);
    EXPECT_NEAR(s.yMax(), 40.0 * (r.height() - 100 - 40) / r.height(), 1e-3);
    // Dragged from right to left it is refused.
    const float before = s.xMin();
    QTest::mousePress(&plot, Qt::LeftButton, {}, to);
    QTest::mouseMove(&plot, from);
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, from);
    EXPECT_FLOAT_EQ(s.xMin(), before);
}

TEST_F(TraceViewsTest, ReducedLayerMatchesThePolylineOfEveryPoint)
{
    load(0, "noise.sor", 120000, 0, true);
    viewWindow().fullScaleDb = 40;
    COtdrTrace plot;
    plot.resize(700, 400);
    plot.AddCurve(traceTable().record(0), kBlue);
    // Painted rows of each column: the reduced layer covers the same run of rows as the polyline
    // through every point, give or take the pixel where a step between two columns is split.
    auto columns = [](const QImage& img) {
        std::vector<std::pair<int, int>> out(static_cast<std::size_t>(img.width()), {-1, -1});
        for (int x = 0; x < img.width(); ++x)
            for (int y = 0; y < img.height(); ++y)
                if (qAlpha(img.pixel(x, y)) != 0) {
                    auto& c = out[static_cast<std::size_t>(x)];
                    c.first = c.first < 0 ? y : c.first;
                    c.second = y;
                }
        return out;
    };
    for (auto window : {std::pair{0.0f, 120000.0f}, std::pair{20000.0f, 50000.0f}}) {
        ASSERT_TRUE(plot.SetWindow(window.first, window.second, 0, 40, true));
        plot.setColumnReduction(false);
        plot.RebuildTraceLayer(0);
        const auto full = columns(plot.traceLayer());
        plot.setColumnReduction(true);
        plot.RebuildTraceLayer(0);
        const auto reduced = columns(plot.traceLayer());
        int painted = 0;
        for (std::size_t x = 0; x < full.size(); ++x) {
            ASSERT_EQ(full[x].first < 0, reduced[x].first < 0) << x;
            if (full[x].first < 0)
                continue;
            ++painted;
            EXPECT_NEAR(full[x].first, reduced[x].first, 1) << x;
            EXPECT_NEAR(full[x].second, reduced[x].second, 1) << x;
        }
        EXPECT_GT(painted, 600);
    }
}

TEST_F(TraceViewsTest, ClosingATraceRenumbersRowsAndSwatchesFollow)
{
    const char* names[4] = {"a.sor", "b.sor", "c.sor", "d.sor"};
    for (int i = 0; i < 4; ++i)
        load(i, names[i], 2000 + 100 * static_cast<std::uint32_t>(i), 10.0f + static_cast<float>(i));
    CWaveform view;
    view.resize(1000, 500);
    view.onTracesChanged();
    COtdrTrace* plot = view.plot();
    QTreeWidget* list = view.panel()->traceList();
    ASSERT_EQ(plot->curveCount(), 4);
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_GE(viewWindow().fullScaleDb, 25);

    // The fourth trace is current; closing the second acts on the second in table and plot.
    view.panel()->closeRow(1);
    const TraceTable& t = traceTable();
    ASSERT_EQ(t.loadedCount, 3);
    ASSERT_EQ(list->topLevelItemCount(), 3);
    ASSERT_EQ(plot->curveCount(), 3);
    const char* left[3] = {"a.sor", "c.sor", "d.sor"};
    for (int i = 0; i < 3; ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        EXPECT_EQ(item->text(0), QString::number(i + 1));
        EXPECT_EQ(item->text(1), QString::fromLatin1(left[i]));
        EXPECT_EQ(t.slots[static_cast<std::size_t>(i)].fileName, left[i]);
        EXPECT_EQ(plot->state().curves()[static_cast<std::size_t>(i)].source, &t.record(i));
        const QImage swatch = item->icon(0).pixmap(16, 16).toImage();
        EXPECT_EQ(swatch.pixel(5, 5), rgbOf(displaySettings().storedTraceColour[static_cast<std::size_t>(i)]));
    }
    EXPECT_EQ(plot->currentCurve(), t.currentTrace);
    EXPECT_EQ(t.currentTrace, 0);

    // Multi-trace display off: selecting a row shows that trace only; on: every trace.
    view.panel()->multiTraceBox()->setChecked(false);
    view.panel()->selectRow(-1);
    list->topLevelItem(2)->setSelected(true);
    EXPECT_EQ(t.currentTrace, 2);
    EXPECT_EQ(plot->currentCurve(), 2);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(plot->state().curves()[static_cast<std::size_t>(i)].visible, i == 2 ? 1 : 0);
    view.panel()->multiTraceBox()->setChecked(true);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(plot->state().curves()[static_cast<std::size_t>(i)].visible, 1);

    // Closing every trace leaves the plot empty.
    while (t.loadedCount > 0)
        view.panel()->closeRow(0);
    EXPECT_EQ(plot->curveCount(), 0);
    EXPECT_EQ(list->topLevelItemCount(), 0);
}

TEST_F(TraceViewsTest, MeasurementConditions)
{
    CWaveFormLeftDlg panel;
    auto value = [&](int id) { return otdrFindChild<QLabel>(&panel, id)->text(); };
    struct Case {
        int pulse;
        const char* unit;
        const char* pulseText;
        const char* rangeText;
    };
    const Case cases[] = {{1000, "m", "1us", "10.00km"},
                          {999, "mi", "999ns", "6.21miles"},
                          {2500, "ft", "2us", "32.81kft"},
                          {10, "km", "10ns", ""}};
    for (const Case& c : cases) {
        load(0, "c.sor", 1200, 5.0f);
        traceTable().record(0).pulseWidthNs = c.pulse;
        traceTable().record(0).rangeMetres = 10000;
        displaySettings().distanceUnit = c.unit;
        panel.ShowConditions();
        EXPECT_EQ(value(ids::kLeftWavelength), QStringLiteral("1550 nm"));
        EXPECT_EQ(value(ids::kLeftPulse), QString::fromLatin1(c.pulseText));
        EXPECT_EQ(value(ids::kLeftRange), QString::fromLatin1(c.rangeText));
        EXPECT_EQ(value(ids::kLeftIndex), QStringLiteral("1.469"));
        EXPECT_EQ(value(ids::kLeftSamples), QStringLiteral("1200"));
    }
}

TEST_F(TraceViewsTest, ThumbnailDrawsTheTraceAndTheWindowBox)
{
    load(0, "t.sor", 10000, 15.0f);
    viewWindow().fullScaleDb = 30;
    COtdrTrace plot;
    plot.resize(600, 300);
    plot.AddCurve(traceTable().record(0), kBlue);
    ASSERT_TRUE(plot.SetWindow(5000, 10000, 0, 30, true));
    CThumbnail thumb;
    thumb.resize(200, 120);
    thumb.RebuildThumbnails();
    EXPECT_EQ(traceTable().record(0).thumbnailPointCount, 400);
    QImage img(thumb.size(), QImage::Format_ARGB32);
    {
        QPainter p(&img);
        thumb.render(p);
    }
    // The green box starts in the middle (the second half is shown) and spans the full height.
    EXPECT_EQ(img.pixel(100, 60), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(150, 0), qRgb(0, 255, 0));
    // 15 dB on the fixed 60 dB scale.
    const int row = static_cast<int>((120.f - 1.0938333f * 120.f) + 50535.f * 120.f / 60000.f);
    EXPECT_EQ(img.pixel(40, row), rgbOf(traceTable().record(0).colour));
}

TEST_F(TraceViewsTest, EventsAreSteppedAddedAndDeletedThroughTheEngine)
{
    const std::filesystem::path file = std::filesystem::path(OTDR_SOURCE_DIR) / "default/curve/link-10km-1310nm.sor";
    if (!std::filesystem::exists(file))
        GTEST_SKIP() << "no sample trace";
    CEndDravik engine;
    const auto results = readTraceFiles(traceTable(), engine, {file.string()});
    ASSERT_EQ(results.size(), 1u);
    ASSERT_TRUE(results[0].loaded());
    TraceRecord& rec = traceTable().record(0);
    ASSERT_TRUE(runAutoSearch(rec, engine, autoSearchParametersFor(rec, analysisSettings())));
    ASSERT_GE(rec.events.size(), 2u);

    // The trace view and an event table side by side in one window.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* view = new CWaveform(&window);
    auto* table = new QTreeWidget(&window);
    otdrTagObject(table, ids::kEventTableList);
    layout->addWidget(view);
    layout->addWidget(table);
    window.resize(1100, 700);
    auto refill = [&] {
        table->clear();
        for (const EventItem& e : traceTable().record(0).events)
            new QTreeWidgetItem(table, {QString::number(e.distance)});
    };
    QObject::connect(view, &CWaveform::tracesEdited, view, refill);
    view->onTracesChanged();
    refill();
    COtdrTrace* plot = view->plot();

    // Next and previous event move the active marker and the selection.
    table->setCurrentItem(table->topLevelItem(0));
    view->nextEvent();
    EXPECT_EQ(table->currentIndex().row(), 1);
    EXPECT_FLOAT_EQ(plot->state().markerA.position, rec.events[1].distance);
    view->previousEvent();
    EXPECT_EQ(table->currentIndex().row(), 0);
    EXPECT_FLOAT_EQ(plot->state().markerA.position, rec.events[0].distance);
    view->previousEvent();  // on row 0 nothing happens
    EXPECT_EQ(table->currentIndex().row(), 0);

    // Add an event halfway between the first two, then delete it again.
    const std::size_t before = rec.events.size();
    const float mid = (rec.events[0].distance + rec.events[1].distance) / 2;
    plot->state().markerA.position = mid;
    plot->state().activeMarker = 1;
    view->addEvent();
    ASSERT_EQ(rec.events.size(), before + 1);
    EXPECT_EQ(rec.events[1].codeLetter, 'A');
    EXPECT_NEAR(rec.events[1].distance, mid, 2 * rec.sampleSpacing);
    EXPECT_EQ(plot->state().curves()[0].events.size(), before + 1);
    EXPECT_EQ(table->topLevelItemCount(), static_cast<int>(before + 1));
    EXPECT_EQ(table->currentIndex().row(), static_cast<int>(before));  // the last row

    table->setCurrentItem(table->topLevelItem(1));
    view->deleteEvent();
    EXPECT_EQ(rec.events.size(), before);
    EXPECT_EQ(plot->state().curves()[0].events.size(), before);
    EXPECT_EQ(table->currentIndex().row(), 0);
}
