#pragma once

// The arithmetic of the trace plot, free of widgets: the plotted curves, the visible window and
// its refusals, the mapping between distances / levels and pixels, the markers and their hit
// test, zoom, the scroll-bar rules, the full-scale level, and the reduction of long curves to
// one minimum / maximum per pixel column. COtdrTrace draws what this computes.

#include <cstdint>
#include <string>
#include <vector>

// The plot's visible window, shared with the thumbnail and the printout.
struct ViewWindow {
    float yMin = 0;        // lowest visible level, dB
    float yMax = 0;        // highest visible level, dB
    float xMin = 0;        // first visible distance, metres
    float xMax = 0;        // last visible distance, metres
    int fullScaleDb = 0;   // highest level the window may show, dB
    float maxLength = 0;   // longest length of all plotted curves, metres
};

// A copy of the markers A and B as last drawn, read by the printout and the report drawing.
struct MarkerSnapshot {
    bool shown = false;
    float aFraction = 0;   // (A - xMin) / (xMax - xMin)
    std::string aDistanceText, aLevelText, aLabel = "A";
    float bFraction = 0;
    std::string bDistanceText, bLevelText, bLabel = "B";
};

ViewWindow& viewWindow();
MarkerSnapshot& markerSnapshot();

struct CurveEventMark {
    int pointIndex = 0;
    float distance = 0;    // metres
};

// One plotted trace, with its levels already in dB.
struct PlotCurve {
    int visible = 1;
    int showEvents = 0;
    int highlighted = 0;       // drawn in yellow instead of its trace colour
    int reserved = 0;
    std::uint32_t colour = 0;  // colour handed in when added (drawing uses the display settings)
    std::string name;
    int pointCount = 0;
    int verticalOffset = 0;    // pixels added to every row of this curve
    float length = 0;          // metres
    float spacing = 0;         // metres between two points
    std::vector<float> levels;
    std::vector<CurveEventMark> events;
    const void* source = nullptr;  // the trace record the curve was built from (identity only)
};

// Level of a 16-bit sample, dB.
inline float sampleLevel(std::uint16_t s) { return static_cast<float>(65535 - s) / 1000.0f; }

// Builds a curve's levels from samples (count values).
void fillCurveLevels(PlotCurve& curve, const std::uint16_t* samples, std::size_t count);
// The largest integer part of the levels (0 when there are none).
int maxWholeLevel(const std::vector<float>& levels);
// The full-scale level after a trace with maximum level maxLevel was opened into slot `slot`:
// grows in steps of 5 dB to 1.2 x the maximum, shrinks only for slot 0, never below 25.
int updateFullScale(int fullScaleDb, int maxLevel, int slot);

struct MarkerInfo {
    int pixelX = 0;
    float position = 0;               // metres
    std::string label;
    std::string distanceText = "0km";
    std::string levelText = "0dB";
    std::uint32_t lineColour = 0xFF0000;
    std::uint32_t textColour = 0xFFFFFF;
};

// Scroll-bar state: horizontal in whole metres, vertical in thousandths of a dB.
struct ScrollState {
    int hPos = 0, hMax = 0, hPage = 0, hLine = 0, hRangeMax = 0;
    float vPos = 0, vMax = 0, vPage = 0, vLine = 0, vInternalPage = 0;
};

enum class ScrollAction { LineBack, LineForward, PageBack, PageForward, Thumb };

struct PlotPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PlotPoint&) const = default;
};

// The plot's state and rules. The window is kept both here and in a ViewWindow record (the
// process-wide one unless another is given, as the tests do).
class PlotState {
public:
    explicit PlotState(ViewWindow* shared = nullptr);

    // Plot rectangle (left, top, width, height).
    void setPlotRect(int left, int top, int width, int height);
    int left() const { return m_left; }
    int top() const { return m_top; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int bottom() const { return m_top + m_height; }

    ViewWindow& shared() { return *m_shared; }
    const ViewWindow& shared() const { return *m_shared; }
    float xMin() const { return m_xMin; }
    float xMax() const { return m_xMax; }
    float yMin() const { return m_yMin; }
    float yMax() const { return m_yMax; }
    float maxLength() const { return m_maxLength; }
    double metresPerPixel() const { return m_metresPerPixel; }
    double dbPerPixel() const { return m_dbPerPixel; }

    // ---- Curves --------------------------------------------------------------------------
    std::vector<PlotCurve>& curves() { return m_curves; }
    const std::vector<PlotCurve>& curves() const { return m_curves; }
    int current() const { return m_current; }
    const PlotCurve* currentCurve() const;
    // Appends a curve and shows it whole (see COtdrTrace::AddCurve); returns its index.
    int addCurve(PlotCurve curve);
    bool removeCurve(int index);
    void selectCurve(int index, bool multiTrace);
    void afterCurveClosed();
    void setMaxLength(float length);
    void recomputeMaxLength();
    void showAll();

    // ---- Window --------------------------------------------------------------------------
    // Accepts or refuses a window; true when accepted (and stored).
    bool setWindow(float a, float b, float c, float d);

    // ---- Mapping -------------------------------------------------------------------------
    int distanceToColumn(double d) const;          // markers, client columns
    int pointColumn(const PlotCurve& c, int i) const;  // trace layer columns
    int levelToRow(float v, int verticalOffset) const;  // trace layer rows
    double rowToLevelZoom(int y) const;            // zoom rectangle rule (with its 40-pixel term)
    double columnToDistance(int x) const;

    // ---- Markers -------------------------------------------------------------------------
    MarkerInfo markerA, markerB, markerAB;
    bool markersShown = false;
    bool scaleTextShown = true;
    bool eventMarksOn = false;
    int activeMarker = 1;   // 1 A, 2 B
    int dragTarget = 0;     // 0 none, 1 A, 2 B
    int linkedMarkers = 0;

    float levelAt(double distance) const;
    int activeMarkerPointIndex() const;
    bool moveActiveMarkerToEvent(int eventIndex);
    void resetMarkers();
    // 0 no marker, 1 A, 2 B: a marker within 5 pixels of column x whose position is visible;
    // the nearer wins, A on a tie.
    int hitTest(int x) const;
    // The marker whose hover arrows are drawn for mouse column x (0 none).
    int hoverMarker(int x) const;
    // Drags the dragTarget marker to column x (snapped to the current curve's point grid).
    void dragTo(int x);
    // Texts of both markers and of the A-B readout in the display unit.
    void refreshMarkerTexts(const std::string& unit);
    void publishMarkers(MarkerSnapshot& out) const;

    // ---- Zoom ----------------------------------------------------------------------------
    double zoomCentre() const;
    bool zoomHorizontal(bool in, double f);
    bool zoomVertical(bool in, double f);
    // The rubber band from (x0, y0) to (x1, y1) (a click when both are equal).
    bool zoomRect(int x0, int y0, int x1, int y1);

    // ---- Scroll bars ---------------------------------------------------------------------
    ScrollState scroll;
    void initScroll();
    void syncScroll();
    // Each returns true when the window changed.
    bool hScroll(ScrollAction action, int thumb = 0);
    bool vScroll(ScrollAction action, float thumb = 0);

private:
    // 0 no marker, 1 A, 2 B: the visible marker within `tolerance` pixels of column x, the nearer
    // winning, A on a tie.
    int markerNear(int x, int tolerance) const;
    ViewWindow* m_shared;
    int m_left = 0, m_top = 0, m_width = 1, m_height = 1;
    float m_xMin = 0, m_xMax = 0, m_yMin = 0, m_yMax = 0, m_maxLength = 0;
    double m_metresPerPixel = 0, m_dbPerPixel = 0;
    std::vector<PlotCurve> m_curves;
    int m_current = 0;
};

// The points of one curve on the trace layer, first visible point to last (plus one). The
// polyline of every visible point is what the plot is defined as; with reduce, each pixel column
// keeps only its entry point, its extremes (in trace order) and its exit point, which covers the
// same pixels with at most four points per column.
// `reduced` tells whether the reduction took place (more than four points per column).
std::vector<PlotPoint> curvePolyline(const PlotState& plot, const PlotCurve& curve, bool reduce,
                                     int* first = nullptr, int* last = nullptr, bool* reduced = nullptr);

// A reduced polyline (consecutive columns, points of one column together) as one vertical run of
// rows per column: the column's own rows plus its half of the step to each neighbour, which are
// the pixels a one-pixel polyline through the points covers. Calls span(x, top, bottom).
template <class Span>
void forEachColumnSpan(const std::vector<PlotPoint>& pts, Span span)
{
    std::size_t i = 0;
    bool pending = false;
    int px = 0, plo = 0, phi = 0, pexit = 0;
    while (i < pts.size()) {
        const int x = pts[i].x;
        const int entry = pts[i].y;
        int lo = entry, hi = entry, exit = entry;
        for (; i < pts.size() && pts[i].x == x; ++i) {
            lo = pts[i].y < lo ? pts[i].y : lo;
            hi = pts[i].y > hi ? pts[i].y : hi;
            exit = pts[i].y;
        }
        if (pending) {
            // The step from the previous column's exit to this column's entry is split between them.
            if (entry > pexit) {
                const int mid = (pexit + entry) / 2;
                phi = mid > phi ? mid : phi;
                lo = mid + 1 < lo ? mid + 1 : lo;
            } else if (entry < pexit) {
                const int mid = (pexit + entry + 1) / 2;
                plo = mid < plo ? mid : plo;
                hi = mid - 1 > hi ? mid - 1 : hi;
            }
            span(px, plo, phi);
        }
        pending = true;
        px = x;
        plo = lo;
        phi = hi;
        pexit = exit;
    }
    if (pending)
        span(px, plo, phi);
}

// The box of event mark j (0-based) under an event at (x, y): left, top, right, bottom.
struct BoxRect {
    int left, top, right, bottom;
};
BoxRect eventBox(int x, int y, int j);

// Thumbnail: two points per column (the extremes of the column's samples, earlier first), on a
// fixed 60 dB scale. Empty for traces of fewer than 100 samples.
std::vector<PlotPoint> thumbnailPoints(const std::uint16_t* samples, std::size_t count, int w, int h);
// The thumbnail's window box for the window w and the current curve's length.
BoxRect thumbnailBox(const ViewWindow& win, float curveLength, int w, int h);
