#include "PlotGeometry.h"

#include "PlotFormats.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

ViewWindow& viewWindow()
{
    static ViewWindow w;
    return w;
}

MarkerSnapshot& markerSnapshot()
{
    static MarkerSnapshot s;
    return s;
}

void fillCurveLevels(PlotCurve& curve, const std::uint16_t* samples, std::size_t count)
{
    curve.levels.resize(samples ? count : 0);
    for (std::size_t i = 0; i < curve.levels.size(); ++i)
        curve.levels[i] = sampleLevel(samples[i]);
    curve.pointCount = static_cast<int>(curve.levels.size());
}

int maxWholeLevel(const std::vector<float>& levels)
{
    int m = 0;
    for (float v : levels)
        m = std::max(m, static_cast<int>(v));
    return m;
}

int updateFullScale(int fullScaleDb, int maxLevel, int slot)
{
    const float h = 1.2f * static_cast<float>(maxLevel);
    const int k = static_cast<int>(std::fabs(h - static_cast<float>(fullScaleDb)) / 5.0f);
    if (static_cast<float>(fullScaleDb) < h)
        fullScaleDb += 5 * k + 5;
    else if (slot == 0)
        fullScaleDb -= 5 * k;
    return std::max(fullScaleDb, 25);
}

// ---- PlotState -----------------------------------------------------------------------------

PlotState::PlotState(ViewWindow* shared) : m_shared(shared ? shared : &viewWindow())
{
    markerA.label = "A";
    markerB.label = "B";
    markerAB.label = "A-B:";
}

void PlotState::setPlotRect(int left, int top, int width, int height)
{
    m_left = left;
    m_top = top;
    m_width = std::max(width, 1);
    m_height = std::max(height, 1);
    if (m_xMax > m_xMin)
        m_metresPerPixel = (m_xMax - m_xMin) / m_width;
    if (m_yMax > m_yMin)
        m_dbPerPixel = (m_yMax - m_yMin) / m_height;
}

const PlotCurve* PlotState::currentCurve() const
{
    if (m_current < 0 || m_current >= static_cast<int>(m_curves.size()))
        return nullptr;
    return &m_curves[static_cast<std::size_t>(m_current)];
}

int PlotState::addCurve(PlotCurve curve)
{
    const float length = curve.length;
    m_curves.push_back(std::move(curve));
    setMaxLength(length);
    scroll.hRangeMax = static_cast<int>(m_maxLength);
    scroll.hMax = static_cast<int>(m_maxLength);
    setWindow(0, length, 0, 65.535f);
    resetMarkers();
    return static_cast<int>(m_curves.size()) - 1;
}

bool PlotState::removeCurve(int index)
{
    if (index < 0 || index >= static_cast<int>(m_curves.size()))
        return false;
    m_curves.erase(m_curves.begin() + index);
    return true;
}

void PlotState::selectCurve(int index, bool multiTrace)
{
    const int count = static_cast<int>(m_curves.size());
    if (index < 0 || index >= count) {
        if (m_current < 0 || m_current >= count)
            m_current = std::max(count - 1, 0);
        return;
    }
    m_current = index;
    for (int n = 0; n < count; ++n) {
        PlotCurve& c = m_curves[static_cast<std::size_t>(n)];
        c.visible = (multiTrace || n == index) ? 1 : 0;
        if (n != index) {
            c.showEvents = 0;
            c.highlighted = 0;
        }
    }
    if (eventMarksOn) {
        m_curves[static_cast<std::size_t>(index)].showEvents = 1;
        m_curves[static_cast<std::size_t>(index)].highlighted = 1;
    }
}

void PlotState::afterCurveClosed()
{
    const int count = static_cast<int>(m_curves.size());
    if (m_current >= count)
        m_current = std::max(count - 1, 0);
    if (PlotCurve* c = m_current < count ? &m_curves[static_cast<std::size_t>(m_current)] : nullptr)
        c->showEvents = eventMarksOn ? 1 : 0;
    recomputeMaxLength();
    setWindow(m_xMin, m_xMax, m_yMin, m_yMax);
    resetMarkers();
}

void PlotState::setMaxLength(float length)
{
    if (length > m_shared->maxLength)
        m_shared->maxLength = length;
    m_maxLength = m_shared->maxLength;
}

void PlotState::recomputeMaxLength()
{
    if (m_curves.empty())
        return;
    float m = 0;
    for (const PlotCurve& c : m_curves)
        m = std::max(m, c.length);
    m_shared->maxLength = m;
    m_maxLength = m;
}

void PlotState::showAll()
{
    for (PlotCurve& c : m_curves)
        c.verticalOffset = 0;
    setWindow(0, m_maxLength, 0, static_cast<float>(m_shared->fullScaleDb));
    scroll.hRangeMax = static_cast<int>(m_maxLength);
    scroll.hMax = static_cast<int>(m_maxLength);
}

bool PlotState::setWindow(float a, float b, float c, float d)
{
    if (b == a || d == c || b < a || c > d)
        return false;
    if (m_curves.empty())
        return false;
    const float a1 = std::max(a, 0.0f);
    const float b1 = std::min(b, m_maxLength);
    const float s = m_curves.front().spacing;
    if (!(s > 0))
        return false;
    const long firstPoint = static_cast<long>((a1 - 0.001) / s);
    const long lastPoint = static_cast<long>((b1 - 0.001) / s);
    if (lastPoint - firstPoint <= 9 || !(d - c > 0.01f))
        return false;
    const float c1 = std::max(c, 0.0f);
    const float d1 = std::min(d, static_cast<float>(m_shared->fullScaleDb));
    // Clamping may leave nothing to show (a window wholly above the full scale); such a window
    // would divide by zero in every mapping, so it is refused as well.
    if (!(d1 - c1 > 0.01f) || !(b1 > a1))
        return false;
    m_xMin = a1;
    m_xMax = b1;
    m_yMin = c1;
    m_yMax = d1;
    m_shared->xMin = a1;
    m_shared->xMax = b1;
    m_shared->yMin = c1;
    m_shared->yMax = d1;
    m_metresPerPixel = (b1 - a1) / m_width;
    m_dbPerPixel = (d1 - c1) / m_height;
    return true;
}

// ---- Mapping -------------------------------------------------------------------------------

int PlotState::distanceToColumn(double d) const
{
    if (!(m_xMax > m_xMin))
        return m_left;
    return static_cast<int>((d - m_xMin) * m_width / (m_xMax - m_xMin) + m_left);
}

int PlotState::pointColumn(const PlotCurve& c, int i) const
{
    return static_cast<int>(m_width * (static_cast<double>(i) * c.spacing - m_xMin) / (m_xMax - m_xMin));
}

int PlotState::levelToRow(float v, int verticalOffset) const
{
    return static_cast<int>(bottom() + verticalOffset - (v - m_yMin) * m_height / (m_yMax - m_yMin));
}

double PlotState::rowToLevelZoom(int y) const
{
    return m_yMin + static_cast<double>(bottom() - y - 40) * (m_yMax - m_yMin) / m_height;
}

double PlotState::columnToDistance(int x) const
{
    return m_xMin + static_cast<double>(m_xMax - m_xMin) * (x - m_left) / m_width;
}

// ---- Markers -------------------------------------------------------------------------------

float PlotState::levelAt(double distance) const
{
    const PlotCurve* c = currentCurve();
    if (!c || !(c->spacing > 0) || c->pointCount <= 0)
        return 0;
    const double idx = (distance - 0.001) / c->spacing;
    if (idx < 0 && static_cast<long>(idx) < 0)
        return 0;
    long i = static_cast<long>(idx);
    if (i >= c->pointCount)
        i = c->pointCount - 1;
    return c->levels[static_cast<std::size_t>(i)];
}

int PlotState::activeMarkerPointIndex() const
{
    const PlotCurve* c = currentCurve();
    if (!c || !(c->spacing > 0))
        return 0;
    const MarkerInfo* m = activeMarker == 1 ? &markerA : activeMarker == 2 ? &markerB : nullptr;
    if (!m)
        return 0;
    return static_cast<int>((m->position - 0.001) / c->spacing);
}

bool PlotState::moveActiveMarkerToEvent(int eventIndex)
{
    const PlotCurve* c = currentCurve();
    if (!c || eventIndex < 0 || eventIndex >= static_cast<int>(c->events.size()))
        return false;
    MarkerInfo& m = activeMarker == 2 ? markerB : markerA;
    m.position = c->events[static_cast<std::size_t>(eventIndex)].distance;
    m.pixelX = distanceToColumn(m.position);
    return true;
}

void PlotState::resetMarkers()
{
    if (m_curves.empty())
        return;
    const int w = m_width;
    markerA.pixelX = m_left + w / 2;
    markerB.pixelX = m_left + w / 3;
    markerA.position = static_cast<float>(m_xMin + static_cast<double>(m_xMax - m_xMin) * (w / 2) / w);
    markerB.position = static_cast<float>(m_xMin + static_cast<double>(m_xMax - m_xMin) * (w / 3) / w);
}

int PlotState::markerNear(int x, int tolerance) const
{
    // The marker columns follow from the positions, so the arrows stay on the lines after a zoom.
    auto distance = [&](const MarkerInfo& m) {
        if (m.position < m_xMin || m.position > m_xMax)
            return -1;
        const int d = std::abs(distanceToColumn(m.position) - x);
        return d <= tolerance ? d : -1;
    };
    const int da = distance(markerA);
    const int db = distance(markerB);
    if (da < 0 && db < 0)
        return 0;
    if (db < 0)
        return 1;
    if (da < 0)
        return 2;
    return db < da ? 2 : 1;
}

int PlotState::hitTest(int x) const
{
    return markerNear(x, 5);
}

int PlotState::hoverMarker(int x) const
{
    return dragTarget != 0 ? dragTarget : markerNear(x, 6);
}

void PlotState::dragTo(int x)
{
    if (dragTarget != 1 && dragTarget != 2)
        return;
    const PlotCurve* c = currentCurve();
    MarkerInfo& m = dragTarget == 1 ? markerA : markerB;
    MarkerInfo& other = dragTarget == 1 ? markerB : markerA;
    double d = columnToDistance(x);
    if (c && c->spacing > 0)
        d = c->spacing * static_cast<double>(static_cast<long>((d - 0.001) / c->spacing));
    const float before = m.position;
    m.pixelX = x;
    m.position = static_cast<float>(d);
    m.distanceText = formatText("%.3fm", m.position);
    if (linkedMarkers == 1) {
        other.position += m.position - before;
        other.pixelX = distanceToColumn(other.position);
        other.distanceText = formatText("%.3fm", other.position);
    }
}

void PlotState::refreshMarkerTexts(const std::string& unit)
{
    for (MarkerInfo* m : {&markerA, &markerB}) {
        if (auto t = markerDistanceText(m->position / 1000.0, unit))
            m->distanceText = *t;
        m->levelText = markerLevelText(levelAt(m->position));
    }
    if (auto t = markerDistanceText((markerA.position - markerB.position) / 1000.0, unit))
        markerAB.distanceText = *t;
    markerAB.levelText = markerLevelText(std::fabs(levelAt(markerA.position) - levelAt(markerB.position)));
}

void PlotState::publishMarkers(MarkerSnapshot& out) const
{
    if (!markersShown)
        return;
    const float span = m_xMax - m_xMin;
    out.shown = true;
    out.aFraction = span > 0 ? (markerA.position - m_xMin) / span : 0;
    out.aDistanceText = markerA.distanceText;
    out.aLevelText = markerA.levelText;
    out.aLabel = "A";
    out.bFraction = span > 0 ? (markerB.position - m_xMin) / span : 0;
    out.bDistanceText = markerB.distanceText;
    out.bLevelText = markerB.levelText;
    out.bLabel = "B";
}

// ---- Zoom ----------------------------------------------------------------------------------

double PlotState::zoomCentre() const
{
    const double mid = (static_cast<double>(markerA.position) + markerB.position) / 2;
    if (linkedMarkers)
        return mid;
    if (activeMarker == 1)
        return markerA.position;
    if (activeMarker == 2)
        return markerB.position;
    return mid;
}

bool PlotState::zoomHorizontal(bool in, double f)
{
    const double k = in ? (1 - f) : 1 / (1 - f);
    const double c = zoomCentre();
    return setWindow(static_cast<float>(c - k * (c - m_xMin)), static_cast<float>(c + k * (m_xMax - c)),
                     m_yMin, m_yMax);
}

bool PlotState::zoomVertical(bool in, double f)
{
    const double k = in ? (1 - f) : 1 / (1 - f);
    const double v = levelAt(zoomCentre());
    return setWindow(m_xMin, m_xMax, static_cast<float>(v - k * (v - m_yMin)),
                     static_cast<float>(v + k * (m_yMax - v)));
}

bool PlotState::zoomRect(int x0, int y0, int x1, int y1)
{
    int l = x0, r = x1, t = y0, b = y1;
    if (x0 == x1 && y0 == y1) {
        l -= 150;
        r += 150;
        t -= 150;
        b += 150;
    }
    return setWindow(static_cast<float>(columnToDistance(l)), static_cast<float>(columnToDistance(r)),
                     static_cast<float>(rowToLevelZoom(b)), static_cast<float>(rowToLevelZoom(t)));
}

// ---- Scroll bars ---------------------------------------------------------------------------

void PlotState::initScroll()
{
    scroll.hRangeMax = m_width;
    scroll.hPage = m_width;
    scroll.hPos = 0;
    scroll.hLine = 0;
    scroll.hMax = m_width;
    const float full = static_cast<float>(m_shared->fullScaleDb) * 1000;
    scroll.vMax = full;
    scroll.vPage = full;
    scroll.vPos = 0;
    scroll.vInternalPage = full / m_height;
    scroll.vLine = 0.02f * full;
}

void PlotState::syncScroll()
{
    scroll.hPage = static_cast<int>(m_xMax - m_xMin);
    scroll.hLine = static_cast<int>(0.02 * scroll.hPage);
    scroll.hPos = static_cast<int>(m_xMin);
    scroll.hRangeMax = static_cast<int>(m_maxLength);
    scroll.vPos = m_yMin * 1000;
    scroll.vPage = (m_yMax - m_yMin) * 1000;
    scroll.vLine = 0.02f * scroll.vPage;
    // The vertical range follows the full scale; a range fixed at its first value (0 before any
    // trace is open) would leave the levels above the first window unreachable.
    scroll.vMax = static_cast<float>(m_shared->fullScaleDb) * 1000;
}

bool PlotState::hScroll(ScrollAction action, int thumb)
{
    ScrollState& s = scroll;
    const float page = static_cast<float>(s.hPage);
    const float len = m_maxLength;
    const int lastPos = std::max(s.hMax - s.hPage, 0);
    switch (action) {
    case ScrollAction::LineBack:
        if (s.hPos == 0 || s.hLine == 0)
            return false;
        s.hPos = std::max(s.hPos - s.hLine, 0);
        if (s.hPos == 0)
            return setWindow(0, page, m_yMin, m_yMax);
        return setWindow(m_xMin - s.hLine, m_xMax - s.hLine, m_yMin, m_yMax);
    case ScrollAction::LineForward: {
        if (s.hMax < s.hPos + s.hPage)
            return false;
        const int next = std::min(s.hPos + s.hLine, lastPos);
        const int step = next - s.hPos;
        s.hPos = next;
        if (step <= 0)
            return false;
        return setWindow(m_xMin + step, m_xMax + step, m_yMin, m_yMax);
    }
    case ScrollAction::PageBack:
        if (s.hPos - s.hPage < 0) {
            s.hPos = 0;
            return setWindow(0, page, m_yMin, m_yMax);
        }
        s.hPos -= s.hPage;
        return setWindow(m_xMin - page, m_xMax - page, m_yMin, m_yMax);
    case ScrollAction::PageForward:
        if (s.hMax < s.hPos + s.hPage) {
            s.hPos = lastPos;
            return setWindow(len - page, len, m_yMin, m_yMax);
        }
        s.hPos += s.hPage;
        if (s.hPos + page > len) {
            s.hPos = lastPos;
            return setWindow(len - page, len, m_yMin, m_yMax);
        }
        return setWindow(static_cast<float>(s.hPos), s.hPos + page, m_yMin, m_yMax);
    case ScrollAction::Thumb:
        s.hPos = std::clamp(thumb, 0, lastPos);
        return setWindow(static_cast<float>(s.hPos), s.hPos + page, m_yMin, m_yMax);
    }
    return false;
}

bool PlotState::vScroll(ScrollAction action, float thumb)
{
    ScrollState& s = scroll;
    const float lastPos = std::max(s.vMax - s.vPage, 0.0f);
    switch (action) {
    case ScrollAction::LineBack:
        if (m_yMin == 0)
            return false;
        s.vPos = std::max(s.vPos - s.vLine, 0.0f);
        if (s.vPos == 0)
            return setWindow(m_xMin, m_xMax, 0, s.vPage / 1000);
        return setWindow(m_xMin, m_xMax, m_yMin - s.vLine / 1000, m_yMax - s.vLine / 1000);
    case ScrollAction::LineForward: {
        if (s.vPos >= lastPos)
            return false;
        const float next = std::min(s.vPos + s.vLine, lastPos);
        const float step = next - s.vPos;
        s.vPos = next;
        return setWindow(m_xMin, m_xMax, m_yMin + step / 1000, m_yMax + step / 1000);
    }
    case ScrollAction::PageBack:
        s.vPos = std::max(s.vPos - s.vPage, 0.0f);
        return setWindow(m_xMin, m_xMax, s.vPos / 1000, (s.vPos + s.vPage) / 1000);
    case ScrollAction::PageForward:
        s.vPos += s.vPage;
        if (s.vPos > lastPos) {
            s.vPos = lastPos;
            const float full = static_cast<float>(m_shared->fullScaleDb);
            return setWindow(m_xMin, m_xMax, full - s.vPage / 1000, full);
        }
        return setWindow(m_xMin, m_xMax, s.vPos / 1000, (s.vPos + s.vPage) / 1000);
    case ScrollAction::Thumb:
        s.vPos = std::clamp(thumb, 0.0f, lastPos);
        return setWindow(m_xMin, m_xMax, s.vPos / 1000, (s.vPos + s.vPage) / 1000);
    }
    return false;
}

// ---- Curve polyline ------------------------------------------------------------------------

std::vector<PlotPoint> curvePolyline(const PlotState& plot, const PlotCurve& curve, bool reduce, int* firstOut,
                                     int* lastOut, bool* reducedOut)
{
    std::vector<PlotPoint> out;
    if (reducedOut)
        *reducedOut = false;
    if (!(curve.spacing > 0) || curve.pointCount <= 0 || !(plot.xMax() > plot.xMin())
        || !(plot.yMax() > plot.yMin()))
        return out;
    const long first = static_cast<long>((plot.xMin() - 0.001) / curve.spacing);
    long last = static_cast<long>((plot.xMax() - 0.001) / curve.spacing);
    if (first >= curve.pointCount || first < 0)
        return out;
    const int w = plot.width();
    if (last - first < w)
        last += 1;
    if (last >= curve.pointCount)
        last = curve.pointCount - 1;
    if (firstOut)
        *firstOut = static_cast<int>(first);
    if (lastOut)
        *lastOut = static_cast<int>(last);
    if (last < first)
        return out;

    const double xMin = plot.xMin();
    const double xSpan = plot.xMax() - plot.xMin();
    const double ySpan = plot.yMax() - plot.yMin();
    const double yMin = plot.yMin();
    const double h = plot.height();
    const double base = plot.bottom() + curve.verticalOffset;
    const float* lv = curve.levels.data();
    const double sp = curve.spacing;
    auto column = [&](long i) { return static_cast<int>(w * (static_cast<double>(i) * sp - xMin) / xSpan); };
    auto row = [&](long i) { return static_cast<int>(base - (lv[i] - yMin) * h / ySpan); };

    if (!reduce || last - first + 1 <= 4L * w) {
        out.reserve(static_cast<std::size_t>(last - first + 1));
        for (long i = first; i <= last; ++i)
            out.push_back({column(i), row(i)});
        return out;
    }

    if (reducedOut)
        *reducedOut = true;
    out.reserve(static_cast<std::size_t>(w) * 4 + 8);
    auto push = [&](PlotPoint p) {
        if (out.empty() || !(out.back() == p))
            out.push_back(p);
    };
    // Points of one column: the column of a point never decreases along the trace, so each
    // column's range is found from the inverse mapping and corrected by a step or two; inside
    // it only the levels are compared (the highest level is the topmost row).
    long i = first;
    while (i <= last) {
        const int x = column(i);
        long j = static_cast<long>(std::ceil(((x + 1) * xSpan / w + xMin) / sp));
        j = std::clamp(j, i + 1, last + 1);
        while (j > i + 1 && column(j - 1) != x)
            --j;
        while (j <= last && column(j) == x)
            ++j;
        long hiLevelAt = i, loLevelAt = i;
        float hiLevel = lv[i], loLevel = lv[i];
        for (long k = i + 1; k < j; ++k) {
            const float v = lv[k];
            if (v > hiLevel) {
                hiLevel = v;
                hiLevelAt = k;
            }
            if (v < loLevel) {
                loLevel = v;
                loLevelAt = k;
            }
        }
        push({x, row(i)});
        if (hiLevelAt <= loLevelAt) {
            push({x, row(hiLevelAt)});
            push({x, row(loLevelAt)});
        } else {
            push({x, row(loLevelAt)});
            push({x, row(hiLevelAt)});
        }
        push({x, row(j - 1)});
        i = j;
    }
    return out;
}

BoxRect eventBox(int x, int y, int j)
{
    return {x - 8, y + 20, x + 8 + (j > 8 ? 2 : 0), y + 38};
}

std::vector<PlotPoint> thumbnailPoints(const std::uint16_t* samples, std::size_t count, int w, int h)
{
    std::vector<PlotPoint> out;
    if (!samples || count < 100 || w <= 0)
        return out;
    out.reserve(static_cast<std::size_t>(w) * 2);
    const float d = static_cast<float>(count) / static_cast<float>(w);
    const float hf = static_cast<float>(h);
    auto row = [&](std::uint16_t s) {
        return static_cast<int>((hf - 1.0938333f * hf) + static_cast<float>(s) * hf / 60000.0f);
    };
    std::size_t begin = 0;
    for (int x = 0; x < w; ++x) {
        std::size_t end = static_cast<std::size_t>(d * static_cast<float>(x + 1));
        if (begin >= count)
            begin = count - 1;
        end = std::clamp(end, begin + 1, count);
        std::size_t maxAt = begin, minAt = begin;
        for (std::size_t i = begin + 1; i < end; ++i) {
            if (samples[i] > samples[maxAt])
                maxAt = i;
            if (samples[i] < samples[minAt])
                minAt = i;
        }
        const std::size_t a = std::min(maxAt, minAt);
        const std::size_t b = std::max(maxAt, minAt);
        out.push_back({x, row(samples[a])});
        out.push_back({x, row(samples[b])});
        begin = end;
    }
    return out;
}

BoxRect thumbnailBox(const ViewWindow& win, float curveLength, int w, int h)
{
    if (!(curveLength > 0) || win.fullScaleDb <= 0)
        return {0, 0, 0, 0};
    const float full = static_cast<float>(win.fullScaleDb);
    return {static_cast<int>(w * win.xMin / curveLength), static_cast<int>(h - h * win.yMax / full),
            static_cast<int>(w * win.xMax / curveLength), static_cast<int>(h - h * win.yMin / full)};
}
