// The plot's arithmetic without widgets: window refusals and clamping, mappings, full scale,
// marker hit test, zoom and scroll rules, texts, event boxes, thumbnail columns and the
// reduction of long curves to per-column extremes.
#include "PlotFormats.h"
#include "PlotGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// A straight trace: 1 m between points, levels falling from 30 dB by 0.01 dB per point.
PlotCurve rampCurve(int points = 1000, float spacing = 1.0f)
{
    PlotCurve c;
    c.spacing = spacing;
    c.length = spacing * static_cast<float>(points);
    c.levels.resize(static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i)
        c.levels[static_cast<std::size_t>(i)] = 30.0f - 0.01f * static_cast<float>(i);
    c.pointCount = points;
    return c;
}

struct Fixture {
    ViewWindow win;
    PlotState plot{&win};
    explicit Fixture(int fullScale = 40, int points = 1000)
    {
        win.fullScaleDb = fullScale;
        plot.setPlotRect(0, 0, 1000, 400);
        plot.addCurve(rampCurve(points));
    }
};

} // namespace

TEST(PlotWindow, RefusalsAndClamping)
{
    Fixture f;
    struct Case {
        float a, b, c, d;
        bool accepted;
        const char* why;
    };
    const Case cases[] = {
        {100, 100, 0, 10, false, "no width"},
        {0, 500, 5, 5, false, "no height"},
        {500, 100, 0, 10, false, "reversed distances"},
        {0, 500, 10, 5, false, "reversed levels"},
        {0, 10, 0, 10, false, "nine points"},
        {0, 11, 0, 10, true, "ten points"},
        {0, 500, 5, 5.005f, false, "less than 0.01 dB"},
        {0, 500, 5, 5.02f, true, "more than 0.01 dB"},
        {0, 500, 45, 60, false, "wholly above the full scale"},
    };
    for (const Case& c : cases) {
        Fixture g;
        EXPECT_EQ(g.plot.setWindow(c.a, c.b, c.c, c.d), c.accepted) << c.why;
    }
    // Clamped to 0 .. maxLength and 0 .. fullScaleDb, and published.
    ASSERT_TRUE(f.plot.setWindow(-50, 5000, -5, 100));
    EXPECT_FLOAT_EQ(f.plot.xMin(), 0);
    EXPECT_FLOAT_EQ(f.plot.xMax(), 1000);
    EXPECT_FLOAT_EQ(f.plot.yMin(), 0);
    EXPECT_FLOAT_EQ(f.plot.yMax(), 40);
    EXPECT_FLOAT_EQ(f.win.xMax, 1000);
    EXPECT_FLOAT_EQ(f.win.yMax, 40);
    EXPECT_DOUBLE_EQ(f.plot.metresPerPixel(), 1.0);
    EXPECT_NEAR(f.plot.dbPerPixel(), 0.1, 1e-6);
    // A refused window changes nothing; nor does any window without curves.
    EXPECT_FALSE(f.plot.setWindow(0, 5, 0, 10));
    EXPECT_FLOAT_EQ(f.plot.xMax(), 1000);
    ViewWindow empty;
    empty.fullScaleDb = 40;
    PlotState none(&empty);
    EXPECT_FALSE(none.setWindow(0, 100, 0, 10));
}

TEST(PlotWindow, Mappings)
{
    Fixture f;
    ASSERT_TRUE(f.plot.setWindow(100, 600, 10, 30));
    f.plot.setPlotRect(20, 0, 500, 400);
    EXPECT_EQ(f.plot.distanceToColumn(100), 20);
    EXPECT_EQ(f.plot.distanceToColumn(350), 270);
    EXPECT_DOUBLE_EQ(f.plot.columnToDistance(270), 350);
    // Layer rows: 10 dB at the bottom, 30 dB at the top; the offset moves a curve down.
    EXPECT_EQ(f.plot.levelToRow(10, 0), 400);
    EXPECT_EQ(f.plot.levelToRow(30, 0), 0);
    EXPECT_EQ(f.plot.levelToRow(20, -15), 185);
    // The zoom rule counts rows 40 pixels higher than they are drawn.
    EXPECT_DOUBLE_EQ(f.plot.rowToLevelZoom(400), 10 - 40 * 20.0 / 400);
    EXPECT_DOUBLE_EQ(f.plot.rowToLevelZoom(200), 20 - 40 * 20.0 / 400);
}

TEST(PlotWindow, FullScale)
{
    struct Case {
        int before, maxLevel, slot, after;
    };
    const Case cases[] = {
        {0, 5, 0, 25},    // the first trace gives at least 25
        {0, 20, 0, 25},   // 1.2 x 20 = 24 -> 25
        {0, 30, 0, 40},   // 36 -> 40
        {40, 10, 1, 40},  // a lower later trace never lowers it
        {40, 10, 0, 25},  // slot 0 shrinks it, not below 25
        {40, 50, 3, 65},  // 60 -> 65
    };
    for (const Case& c : cases)
        EXPECT_EQ(updateFullScale(c.before, c.maxLevel, c.slot), c.after) << c.before << " " << c.maxLevel;
    std::vector<float> levels{1.5f, 29.99f, 12.0f};
    EXPECT_EQ(maxWholeLevel(levels), 29);
}

TEST(PlotMarkers, HitTestNearerWinsATie)
{
    Fixture f;  // window 0 .. 1000 m on 1000 columns: 1 m per column
    f.plot.markersShown = true;
    f.plot.markerA.position = 500;
    f.plot.markerB.position = 506;
    EXPECT_EQ(f.plot.hitTest(499), 1);
    EXPECT_EQ(f.plot.hitTest(502), 1);  // 2 from A, 4 from B
    EXPECT_EQ(f.plot.hitTest(504), 2);  // 4 from A, 2 from B
    EXPECT_EQ(f.plot.hitTest(503), 1);  // a tie: A
    EXPECT_EQ(f.plot.hitTest(512), 0);  // 6 from B
    // A marker outside the window cannot be hit.
    ASSERT_TRUE(f.plot.setWindow(0, 400, 0, 40));
    f.plot.markerA.position = 200;
    EXPECT_EQ(f.plot.hitTest(f.plot.distanceToColumn(200)), 1);
    f.plot.markerA.position = 450;
    EXPECT_EQ(f.plot.hitTest(999), 0);
}

TEST(PlotMarkers, ResetDragLevelsAndTexts)
{
    Fixture f;
    f.plot.resetMarkers();
    EXPECT_EQ(f.plot.markerA.pixelX, 500);
    EXPECT_EQ(f.plot.markerB.pixelX, 333);
    EXPECT_FLOAT_EQ(f.plot.markerA.position, 500);
    EXPECT_FLOAT_EQ(f.plot.markerB.position, 333);

    // Dragging snaps to the point grid; linked markers move together.
    ASSERT_TRUE(f.plot.setWindow(0, 500, 0, 40));  // 0.5 m per column
    f.plot.dragTarget = 1;
    f.plot.linkedMarkers = 1;
    f.plot.dragTo(401);  // 200.5 m -> 200 m
    EXPECT_FLOAT_EQ(f.plot.markerA.position, 200);
    EXPECT_FLOAT_EQ(f.plot.markerB.position, 33);
    EXPECT_EQ(f.plot.markerA.distanceText, "200.000m");

    // Levels: index truncated, clamped to the last point, 0 before the start.
    EXPECT_FLOAT_EQ(f.plot.levelAt(200), 30.0f - 0.01f * 199);
    EXPECT_FLOAT_EQ(f.plot.levelAt(5000), 30.0f - 0.01f * 999);
    EXPECT_FLOAT_EQ(f.plot.levelAt(-10), 0);
    EXPECT_EQ(f.plot.activeMarkerPointIndex(), 199);

    // A left of B gives a negative A-B distance; the level difference is unsigned.
    f.plot.markerA.position = 1000;
    f.plot.markerB.position = 2000;
    f.plot.refreshMarkerTexts("m");
    EXPECT_EQ(f.plot.markerA.distanceText, "1.000km");
    EXPECT_EQ(f.plot.markerAB.distanceText, "-1.000km");
    EXPECT_EQ(f.plot.markerAB.levelText, "0.00dB");  // both past the end
    f.plot.markerA.position = 100;
    f.plot.markerB.position = 300;
    f.plot.refreshMarkerTexts("mi");
    EXPECT_EQ(f.plot.markerAB.distanceText, "-0.124miles");
    EXPECT_EQ(f.plot.markerAB.levelText, "2.00dB");
    // An unknown unit leaves the distance texts as they were.
    f.plot.markerA.position = 700;
    f.plot.refreshMarkerTexts("yd");
    EXPECT_EQ(f.plot.markerA.distanceText, "0.062miles");

    MarkerSnapshot snap;
    f.plot.publishMarkers(snap);
    EXPECT_FALSE(snap.shown);  // only written while markers are shown
    f.plot.markersShown = true;
    f.plot.publishMarkers(snap);
    EXPECT_TRUE(snap.shown);
    EXPECT_FLOAT_EQ(snap.aFraction, 700.0f / 500.0f);
}

TEST(PlotZoomScroll, ZoomAroundTheActiveMarker)
{
    Fixture f;
    f.plot.markerA.position = 500;
    f.plot.activeMarker = 1;
    ASSERT_TRUE(f.plot.zoomHorizontal(true, 0.02));
    EXPECT_FLOAT_EQ(f.plot.xMin(), 10);
    EXPECT_FLOAT_EQ(f.plot.xMax(), 990);
    ASSERT_TRUE(f.plot.zoomHorizontal(false, 0.02));
    EXPECT_NEAR(f.plot.xMin(), 0, 1e-3);
    // Vertical zoom centres on the level under the marker (25.01 dB at 500 m).
    ASSERT_TRUE(f.plot.zoomVertical(true, 0.5));
    EXPECT_NEAR(f.plot.yMin(), 25.01 / 2, 1e-4);
    EXPECT_NEAR(f.plot.yMax(), 25.01 + (40 - 25.01) / 2, 1e-4);
    // A click zooms to 150 pixels around it; a reversed rectangle is refused.
    ASSERT_TRUE(f.plot.setWindow(0, 1000, 0, 40));
    ASSERT_TRUE(f.plot.zoomRect(100, 200, 100, 200));
    EXPECT_FLOAT_EQ(f.plot.xMin(), 0);  // clamped
    EXPECT_FLOAT_EQ(f.plot.xMax(), 250);
    EXPECT_FALSE(f.plot.zoomRect(200, 100, 100, 150));
}

TEST(PlotZoomScroll, ScrollRules)
{
    Fixture f(40, 10000);  // 10 km
    ASSERT_TRUE(f.plot.setWindow(1000, 2000, 0, 40));
    f.plot.syncScroll();
    EXPECT_EQ(f.plot.scroll.hPage, 1000);
    EXPECT_EQ(f.plot.scroll.hLine, 20);
    EXPECT_EQ(f.plot.scroll.hPos, 1000);
    EXPECT_FLOAT_EQ(f.plot.scroll.vPage, 40000);

    ASSERT_TRUE(f.plot.hScroll(ScrollAction::LineForward));
    EXPECT_FLOAT_EQ(f.plot.xMin(), 1020);
    ASSERT_TRUE(f.plot.hScroll(ScrollAction::PageBack));
    EXPECT_FLOAT_EQ(f.plot.xMin(), 20);
    ASSERT_TRUE(f.plot.hScroll(ScrollAction::PageBack));  // below 0: (0, page)
    EXPECT_FLOAT_EQ(f.plot.xMin(), 0);
    EXPECT_FLOAT_EQ(f.plot.xMax(), 1000);
    EXPECT_EQ(f.plot.scroll.hPos, 0);
    EXPECT_FALSE(f.plot.hScroll(ScrollAction::LineBack));  // at 0 nothing moves
    ASSERT_TRUE(f.plot.hScroll(ScrollAction::Thumb, 9500));  // thumb past the end stops at the last page
    EXPECT_FLOAT_EQ(f.plot.xMin(), 9000);
    EXPECT_FLOAT_EQ(f.plot.xMax(), 10000);

    // A page under 50 m has line step 0: the arrows do not move the window.
    ASSERT_TRUE(f.plot.setWindow(3000, 3049, 0, 40));
    f.plot.syncScroll();
    EXPECT_EQ(f.plot.scroll.hLine, 0);
    EXPECT_FALSE(f.plot.hScroll(ScrollAction::LineForward));
    EXPECT_FLOAT_EQ(f.plot.xMin(), 3000);
    EXPECT_FALSE(f.plot.hScroll(ScrollAction::LineBack));
    EXPECT_FLOAT_EQ(f.plot.xMin(), 3000);

    // Vertical: in thousandths of a dB, up to the full scale.
    ASSERT_TRUE(f.plot.setWindow(0, 10000, 0, 10));
    f.plot.syncScroll();
    ASSERT_TRUE(f.plot.vScroll(ScrollAction::PageForward));
    EXPECT_FLOAT_EQ(f.plot.yMin(), 10);
    EXPECT_FLOAT_EQ(f.plot.yMax(), 20);
    ASSERT_TRUE(f.plot.vScroll(ScrollAction::Thumb, 35000));  // past the top: the last page
    EXPECT_FLOAT_EQ(f.plot.yMin(), 30);
    EXPECT_FLOAT_EQ(f.plot.yMax(), 40);
    ASSERT_TRUE(f.plot.vScroll(ScrollAction::LineBack));
    EXPECT_FLOAT_EQ(f.plot.yMin(), 29.8f);
}

TEST(PlotFormats, DistanceAndLevelTexts)
{
    EXPECT_EQ(markerDistanceText(1.0, "mi").value(), "0.621miles");
    EXPECT_EQ(markerDistanceText(1.0, "ft").value(), "3.281kft");
    EXPECT_EQ(markerDistanceText(12.3456, "m").value(), "12.346km");
    EXPECT_FALSE(markerDistanceText(1.0, "").has_value());
    EXPECT_EQ(markerLevelText(3.14159), "3.14dB");
    // Texts under the plot: kfeet with 4 decimals for a 0 .. 10000 m window.
    EXPECT_EQ(scaleDistanceText(0, "ft", 4, false).value(), "0.0000kft");
    EXPECT_EQ(scaleDistanceText(10, "ft", 4, false).value(), "32.8100kft");
    EXPECT_EQ(scaleDistanceText(1, "ft", 4, true).value(), "3.2810kft/div");
    EXPECT_EQ(scaleDistanceText(1.5, "m", 5, true).value(), "1.50000km/div");
    EXPECT_EQ(scaleDistanceText(2, "mi", 3, false).value(), "1.243miles");
    EXPECT_FALSE(scaleDistanceText(1, "m", 2, false).has_value());
    EXPECT_FALSE(scaleDistanceText(1, "x", 3, false).has_value());
    EXPECT_EQ(levelPerDivText(2.5, 1).value(), "2.5dB/Div");
    EXPECT_EQ(levelPerDivText(2.5, 3).value(), "2.500dB/Div");
    EXPECT_FALSE(levelPerDivText(2.5, 0).has_value());
}

TEST(PlotFormats, ConditionTexts)
{
    EXPECT_EQ(pulseWidthText(1000), "1us");
    EXPECT_EQ(pulseWidthText(999), "999ns");
    EXPECT_EQ(pulseWidthText(2500), "2us");
    EXPECT_EQ(rangeText(25000, "m"), "25.00km");
    EXPECT_EQ(rangeText(10000, "mi"), "6.21miles");
    EXPECT_EQ(rangeText(10000, "ft"), "32.81kft");
    EXPECT_EQ(rangeText(10000, "km"), "");
    EXPECT_EQ(keepUnitSuffix("--.-- nm", "1550"), "1550 nm");
    EXPECT_EQ(keepUnitSuffix("1310 nm", "1550"), "1550 nm");
    EXPECT_EQ(keepUnitSuffix("---", "1us"), "1us");
}

TEST(PlotGeometry, EventBoxesWidenForTwoDigits)
{
    const BoxRect nine = eventBox(100, 50, 8);   // number 9
    const BoxRect ten = eventBox(100, 50, 9);    // number 10
    EXPECT_EQ(nine.left, 92);
    EXPECT_EQ(nine.top, 70);
    EXPECT_EQ(nine.bottom, 88);
    EXPECT_EQ(nine.right - nine.left, 16);
    EXPECT_EQ(ten.right - ten.left, 18);
}

TEST(PlotGeometry, ThumbnailColumns)
{
    // 10 000 samples on 200 columns: 50 samples per column; in column x the lowest sample lies at
    // 50x + 10 and the highest at 50x + 30 (x even) or the other way round (x odd).
    std::vector<std::uint16_t> s(10000, 30000);
    for (int x = 0; x < 200; ++x) {
        s[static_cast<std::size_t>(50 * x + (x % 2 ? 30 : 10))] = 20000;
        s[static_cast<std::size_t>(50 * x + (x % 2 ? 10 : 30))] = 40000;
    }
    const std::vector<PlotPoint> pts = thumbnailPoints(s.data(), s.size(), 200, 120);
    ASSERT_EQ(pts.size(), 400u);
    const int low = static_cast<int>((120.f - 1.0938333f * 120.f) + 20000.f * 120.f / 60000.f);
    const int high = static_cast<int>((120.f - 1.0938333f * 120.f) + 40000.f * 120.f / 60000.f);
    for (int x = 0; x < 200; ++x) {
        EXPECT_EQ(pts[static_cast<std::size_t>(2 * x)].x, x);
        EXPECT_EQ(pts[static_cast<std::size_t>(2 * x + 1)].x, x);
        EXPECT_EQ(pts[static_cast<std::size_t>(2 * x)].y, x % 2 ? high : low) << x;
        EXPECT_EQ(pts[static_cast<std::size_t>(2 * x + 1)].y, x % 2 ? low : high) << x;
    }
    EXPECT_TRUE(thumbnailPoints(s.data(), 99, 200, 120).empty());

    // The box: the second half of the trace starts in the middle; full scale sets the height.
    ViewWindow w;
    w.xMin = 5000;
    w.xMax = 10000;
    w.yMin = 0;
    w.yMax = 30;
    w.fullScaleDb = 30;
    const BoxRect box = thumbnailBox(w, 10000, 200, 120);
    EXPECT_EQ(box.left, 100);
    EXPECT_EQ(box.right, 200);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.bottom, 120);
}

TEST(PlotGeometry, ColumnReductionKeepsEveryColumnsExtremes)
{
    ViewWindow win;
    win.fullScaleDb = 40;
    PlotState plot(&win);
    plot.setPlotRect(0, 0, 300, 200);
    PlotCurve c = rampCurve(50000, 0.5f);
    for (std::size_t i = 0; i < c.levels.size(); ++i)  // noise on the ramp
        c.levels[i] = 35.0f - 0.0005f * static_cast<float>(i) + static_cast<float>((i * 7919) % 13) * 0.05f;
    plot.addCurve(c);
    for (auto window : {std::pair{0.0f, 25000.0f}, std::pair{3000.0f, 9000.0f}}) {
        ASSERT_TRUE(plot.setWindow(window.first, window.second, 0, 40));
        const auto full = curvePolyline(plot, plot.curves()[0], false);
        const auto reduced = curvePolyline(plot, plot.curves()[0], true);
        ASSERT_GT(full.size(), reduced.size());
        EXPECT_LE(reduced.size(), 4u * 301);
        EXPECT_EQ(full.front(), reduced.front());
        EXPECT_EQ(full.back(), reduced.back());
        std::map<int, std::pair<int, int>> a, b;
        auto collect = [](const std::vector<PlotPoint>& pts, std::map<int, std::pair<int, int>>& out) {
            for (const PlotPoint& p : pts) {
                auto [it, fresh] = out.try_emplace(p.x, p.y, p.y);
                if (!fresh) {
                    it->second.first = std::min(it->second.first, p.y);
                    it->second.second = std::max(it->second.second, p.y);
                }
            }
        };
        collect(full, a);
        collect(reduced, b);
        EXPECT_EQ(a, b);
    }
}
