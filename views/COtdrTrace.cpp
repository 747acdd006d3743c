#include "COtdrTrace.h"

#include "ColourRef.h"
#include "OtdrIds.h"
#include "PlotFormats.h"
#include "Settings.h"
#include "TraceRecord.h"
#include "resources/ResourceIds.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace ids = otdr::ids;

CTraceViewsHub& traceViewsHub()
{
    static CTraceViewsHub hub;
    return hub;
}

namespace {
COtdrTrace* g_plot = nullptr;

QColor ref(std::uint32_t c) { return colourFromRef(c); }

// Marker readouts are white on dark backgrounds and black on light ones, so they stay legible
// whatever background the user chose.
QColor readoutColour(std::uint32_t background)
{
    const QColor b = colourFromRef(background);
    return b.lightness() > 140 ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

QFont arialFont(int pixelSize, int weight)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setWeight(static_cast<QFont::Weight>(weight));
    return f;
}
} // namespace

COtdrTrace* wavePlot()
{
    return g_plot;
}

COtdrTrace::COtdrTrace(QWidget* parent) : QWidget(parent)
{
    otdrTagObject(this, ids::kWavePlot);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(120, 80);
    m_hBar = new QScrollBar(Qt::Horizontal, this);
    m_vBar = new QScrollBar(Qt::Vertical, this);
    connect(m_hBar, &QScrollBar::actionTriggered, this, &COtdrTrace::onHorizontalAction);
    connect(m_vBar, &QScrollBar::actionTriggered, this, &COtdrTrace::onVerticalAction);
    if (!g_plot)
        g_plot = this;
}

COtdrTrace::~COtdrTrace()
{
    if (g_plot == this)
        g_plot = nullptr;
}

QRect COtdrTrace::plotRect() const
{
    const int sb = m_vBar->sizeHint().width();
    const int sh = m_hBar->sizeHint().height();
    return QRect(0, 0, std::max(width() - sb, 1), std::max(height() - sh, 1));
}

void COtdrTrace::notifyChanged()
{
    Q_EMIT traceViewsHub().plotChanged();
}

// ---- Curves ----------------------------------------------------------------------------------

PlotCurve COtdrTrace::buildCurve(const TraceRecord& record, std::uint32_t colour, int showEvents) const
{
    PlotCurve c;
    c.visible = 1;
    c.showEvents = showEvents;
    c.colour = colour;
    fillCurveLevels(c, record.sampleData(), std::min<std::size_t>(record.sampleCount, record.samples.size()));
    c.length = record.length;
    c.spacing = record.sampleSpacing;
    c.source = &record;
    for (const EventItem& e : record.events)
        c.events.push_back({e.sampleIndex, e.distance});
    return c;
}

void COtdrTrace::AddCurve(const TraceRecord& record, std::uint32_t colour)
{
    const QRect r = plotRect();
    m_state.setPlotRect(r.left(), r.top(), r.width(), r.height());
    m_state.addCurve(buildCurve(record, colour, m_state.eventMarksOn ? 1 : 0));
    m_state.syncScroll();
    applyScrollBars();
    SelectCurve(curveCount() - 1);
    RebuildTraceLayer(-1);
    update();
    notifyChanged();
}

void COtdrTrace::RemoveCurve(int index)
{
    if (!m_state.removeCurve(index))
        return;
    RebuildTraceLayer(-1);
    update();
    notifyChanged();
}

void COtdrTrace::ReplaceCurve(int index, const TraceRecord& record, std::uint32_t colour)
{
    auto& curves = m_state.curves();
    index = std::clamp(index, 0, static_cast<int>(curves.size()));
    curves.insert(curves.begin() + index, buildCurve(record, colour, 1));
    SelectCurve(curveCount() - 1);
}

void COtdrTrace::ClearCurves()
{
    m_state.curves().clear();
    m_state.shared().maxLength = 0;
    m_state.shared().fullScaleDb = 0;
    m_state.setMaxLength(0);
    RebuildTraceLayer(-1);
    update();
    notifyChanged();
}

void COtdrTrace::SelectCurve(int index)
{
    m_state.selectCurve(index, displaySettings().multiTraceDisplay != 0);
    if (index >= 0 && index < curveCount()) {
        RebuildTraceLayer(index);
        update();
    }
    notifyChanged();
}

void COtdrTrace::SetCurveVisible(int index, bool visible)
{
    if (index >= 0 && index < curveCount())
        m_state.curves()[static_cast<std::size_t>(index)].visible = visible ? 1 : 0;
}

void COtdrTrace::AfterCurveClosed()
{
    m_state.afterCurveClosed();
    if (!m_state.curves().empty())
        m_state.syncScroll();
    applyScrollBars();
    RebuildTraceLayer(m_state.curves().empty() ? -1 : m_state.current());
    update();
    notifyChanged();
}

void COtdrTrace::RefreshCurveEvents(int curve, const TraceRecord& record)
{
    if (curve < 0 || curve >= curveCount())
        return;
    PlotCurve& c = m_state.curves()[static_cast<std::size_t>(curve)];
    c.events.clear();
    for (const EventItem& e : record.events)
        c.events.push_back({e.sampleIndex, e.distance});
}

// ---- Window ----------------------------------------------------------------------------------

bool COtdrTrace::SetWindow(float xMin, float xMax, float yMin, float yMax, bool sync)
{
    if (!m_state.setWindow(xMin, xMax, yMin, yMax))
        return false;
    RebuildTraceLayer(m_state.current());
    if (sync) {
        m_state.syncScroll();
        applyScrollBars();
    }
    update();
    notifyChanged();
    return true;
}

void COtdrTrace::ShowAll()
{
    for (PlotCurve& c : m_state.curves())
        c.verticalOffset = 0;
    SetWindow(0, m_state.maxLength(), 0, static_cast<float>(m_state.shared().fullScaleDb), true);
    m_state.scroll.hRangeMax = static_cast<int>(m_state.maxLength());
    m_state.scroll.hMax = static_cast<int>(m_state.maxLength());
    applyScrollBars();
}

void COtdrTrace::ZoomHorizontal(bool in, double factor)
{
    const double k = in ? (1 - factor) : 1 / (1 - factor);
    const double c = m_state.zoomCentre();
    SetWindow(static_cast<float>(c - k * (c - m_state.xMin())), static_cast<float>(c + k * (m_state.xMax() - c)),
              m_state.yMin(), m_state.yMax(), true);
}

void COtdrTrace::ZoomVertical(bool in, double factor)
{
    const double k = in ? (1 - factor) : 1 / (1 - factor);
    const double v = m_state.levelAt(m_state.zoomCentre());
    SetWindow(m_state.xMin(), m_state.xMax(), static_cast<float>(v - k * (v - m_state.yMin())),
              static_cast<float>(v + k * (m_state.yMax() - v)), true);
}

void COtdrTrace::SetMaxLength(float length)
{
    m_state.setMaxLength(length);
}

void COtdrTrace::RecomputeMaxLength()
{
    m_state.recomputeMaxLength();
}

void COtdrTrace::InitScrollBars()
{
    const QRect r = plotRect();
    m_state.setPlotRect(r.left(), r.top(), r.width(), r.height());
    m_state.initScroll();
    applyScrollBars();
}

void COtdrTrace::applyScrollBars()
{
    // The bars move over the positions whose page still fits (position + page <= range).
    const ScrollState& s = m_state.scroll;
    m_updatingBars = true;
    m_hBar->setRange(0, std::max(s.hRangeMax - s.hPage, 0));
    m_hBar->setPageStep(std::max(s.hPage, 1));
    m_hBar->setSingleStep(std::max(s.hLine, 1));
    m_hBar->setValue(s.hPos);
    m_vBar->setRange(0, std::max(static_cast<int>(s.vMax - s.vPage), 0));
    m_vBar->setPageStep(std::max(static_cast<int>(s.vPage), 1));
    m_vBar->setSingleStep(std::max(static_cast<int>(s.vLine), 1));
    m_vBar->setValue(static_cast<int>(s.vPos));
    m_updatingBars = false;
}

static ScrollAction scrollActionOf(int action, bool& known)
{
    known = true;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollAction::LineBack;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollAction::LineForward;
    case QAbstractSlider::SliderPageStepSub: return ScrollAction::PageBack;
    case QAbstractSlider::SliderPageStepAdd: return ScrollAction::PageForward;
    case QAbstractSlider::SliderMove: return ScrollAction::Thumb;
    default: known = false; return ScrollAction::Thumb;
    }
}

void COtdrTrace::onHorizontalAction(int action)
{
    bool known = false;
    const ScrollAction a = scrollActionOf(action, known);
    if (!known || m_updatingBars)
        return;
    const bool changed = m_state.hScroll(a, m_hBar->sliderPosition());
    m_hBar->setSliderPosition(m_state.scroll.hPos);
    if (changed) {
        RebuildTraceLayer(m_state.current());
        update();
        Q_EMIT windowChanged();
        notifyChanged();
    }
}

void COtdrTrace::onVerticalAction(int action)
{
    bool known = false;
    const ScrollAction a = scrollActionOf(action, known);
    if (!known || m_updatingBars)
        return;
    const bool changed = m_state.vScroll(a, static_cast<float>(m_vBar->sliderPosition()));
    m_vBar->setSliderPosition(static_cast<int>(m_state.scroll.vPos));
    if (changed) {
        RebuildTraceLayer(m_state.current());
        update();
        Q_EMIT windowChanged();
        notifyChanged();
    }
}

// ---- Markers ---------------------------------------------------------------------------------

void COtdrTrace::MoveActiveMarkerToEvent(int eventIndex)
{
    if (m_state.moveActiveMarkerToEvent(eventIndex))
        update();
}

void COtdrTrace::ResetMarkers()
{
    m_state.resetMarkers();
    update();
}

void COtdrTrace::PublishMarkers()
{
    m_state.publishMarkers(markerSnapshot());
}

void COtdrTrace::setMarkersShown(bool on)
{
    m_state.markersShown = on;
    if (on)
        m_state.resetMarkers();
    update();
}

void COtdrTrace::setLinkedMarkers(bool on)
{
    m_state.linkedMarkers = on ? 1 : 0;
    update();
}

void COtdrTrace::setScaleTextShown(bool on)
{
    m_state.scaleTextShown = on;
    update();
}

void COtdrTrace::setEventMarksOn(bool on)
{
    m_state.eventMarksOn = on;
    for (PlotCurve& c : m_state.curves())
        c.showEvents = on ? 1 : 0;
    RebuildTraceLayer(-1);
    update();
}

void COtdrTrace::setCurrentVerticalOffset(int pixels)
{
    const int i = m_state.current();
    if (i < 0 || i >= curveCount())
        return;
    m_state.curves()[static_cast<std::size_t>(i)].verticalOffset = pixels;
    RebuildTraceLayer(-1);
    update();
}

// ---- Trace layer -----------------------------------------------------------------------------

void COtdrTrace::RebuildTraceLayer(int current)
{
    const QRect r = plotRect();
    m_state.setPlotRect(r.left(), r.top(), r.width(), r.height());
    if (!m_layerCreated || m_layer.size() != r.size()) {
        m_layer = QImage(r.size(), QImage::Format_ARGB32_Premultiplied);
        m_layerCreated = true;
    }
    m_layer.fill(Qt::transparent);
    // Reduced curves are written into the pixels directly; the painter draws into the same memory.
    m_layerBits = m_layer.bits();
    const int count = curveCount();
    QPainter p(&m_layer);
    for (int n = 0; n < count; ++n)
        if (n != current && m_state.curves()[static_cast<std::size_t>(n)].visible == 1)
            drawCurve(p, n);
    if (current >= 0 && current < count) {
        Q_EMIT curveDistanceTextsNeeded(current);
        drawCurve(p, current);
    }
}

void COtdrTrace::drawCurve(QPainter& p, int n)
{
    const PlotCurve& c = m_state.curves()[static_cast<std::size_t>(n)];
    int first = 0, last = -1;
    bool reduced = false;
    const std::vector<PlotPoint> pts = curvePolyline(m_state, c, m_reduce, &first, &last, &reduced);
    if (pts.empty())
        return;
    const DisplaySettings& ds = displaySettings();
    const std::uint32_t colour = c.highlighted ? 0x00FFFFu : ds.traceColour[static_cast<std::size_t>(n % 8)];
    if (reduced) {
        // One run of rows per column, written straight into the layer.
        const QRgb pixel = ref(colour).rgb() | 0xFF000000u;
        const int w = m_layer.width(), h = m_layer.height();
        uchar* bits = m_layerBits;
        const qsizetype stride = m_layer.bytesPerLine();
        forEachColumnSpan(pts, [&](int x, int top, int bottom) {
            if (x < 0 || x >= w)
                return;
            top = std::max(top, 0);
            bottom = std::min(bottom, h - 1);
            for (int y = top; y <= bottom; ++y)
                reinterpret_cast<QRgb*>(bits + y * stride)[x] = pixel;
        });
    } else {
        p.setRenderHint(QPainter::Antialiasing, false);
        QPen pen(ref(colour));
        pen.setWidth(0);
        p.setPen(pen);
        static_assert(sizeof(PlotPoint) == sizeof(QPoint));
        p.drawPolyline(reinterpret_cast<const QPoint*>(pts.data()), static_cast<int>(pts.size()));
    }

    if (!c.showEvents || c.events.empty())
        return;
    p.save();
    const QFont upright = arialFont(13, 700);
    const QFont rotated = arialFont(13, 400);
    const QFontMetrics rm(rotated);
    const std::string& unit = ds.distanceUnit;
    for (std::size_t j = 0; j < c.events.size(); ++j) {
        const CurveEventMark& e = c.events[j];
        if (e.pointIndex < first || e.pointIndex > last || e.pointIndex >= c.pointCount || e.pointIndex < 0)
            continue;
        const int x = m_state.distanceToColumn(e.distance) - m_state.left();
        const int y = m_state.levelToRow(c.levels[static_cast<std::size_t>(e.pointIndex)], c.verticalOffset);
        p.setPen(QPen(ref(0x0000FF), 0));
        p.setBrush(Qt::NoBrush);
        p.drawLine(x, y - 10, x, y + 20);
        const BoxRect b = eventBox(x, y, static_cast<int>(j));
        p.drawRect(QRect(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1)));
        p.setPen(ref(ds.eventMarkerColour));
        p.setFont(upright);
        p.drawText(QRect(QPoint(b.left + 2, b.top + 2), QPoint(b.right - 3, b.bottom - 3)),
                   Qt::AlignCenter | Qt::TextSingleLine, QString::number(j + 1));
        const std::optional<std::string> dist = markerDistanceText(e.distance / 1000.0, unit);
        if (!dist)
            continue;
        const QString text = QString::fromStdString(*dist);
        const int tw = rm.horizontalAdvance(text);
        const int th = rm.height();
        p.save();
        p.setFont(rotated);
        p.translate(x - th / 2, b.bottom + 2 + tw);
        p.rotate(-90);
        p.drawText(QPoint(0, rm.ascent()), text);
        p.restore();
    }
    p.restore();
}

// ---- Painting --------------------------------------------------------------------------------

void COtdrTrace::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    renderPlot(p);
    // The corner between the two scroll bars.
    const QRect r = plotRect();
    p.fillRect(QRect(r.right() + 1, r.bottom() + 1, width() - r.width(), height() - r.height()),
               palette().color(QPalette::Window));
}

void COtdrTrace::renderPlot(QPainter& p)
{
    if (!m_layerCreated)
        RebuildTraceLayer(-1);
    const QRect r = plotRect();
    const DisplaySettings& ds = displaySettings();
    p.fillRect(r, ref(ds.backgroundColour));
    if (ds.gridShown)
        drawGrid(p);
    p.drawImage(r.topLeft(), m_layer);
    if (m_rubber) {
        p.setPen(QPen(ref(0x0000FF), 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(m_rubberStart, m_rubberEnd).normalized());
    }
    if (m_state.scaleTextShown)
        drawScaleTexts(p);
    if (m_state.markersShown)
        drawMarkers(p);
    drawHoverArrows(p);
}

void COtdrTrace::drawGrid(QPainter& p)
{
    const QRect r = plotRect();
    const int w = r.width(), h = r.height();
    QPen pen(ref(displaySettings().gridColour), 0);
    pen.setDashPattern({1, 1});
    p.setPen(pen);
    for (int q = 1; q <= 9; ++q)
        p.drawLine(q * (w / 10), h, q * (w / 10), 0);
    for (int q = 1; q <= 7; ++q)
        p.drawLine(0, h - q * (h / 8), w, h - q * (h / 8));
}

void COtdrTrace::drawScaleTexts(QPainter& p)
{
    const QRect r = plotRect();
    const int w = r.width(), h = r.height();
    const DisplaySettings& ds = displaySettings();
    p.save();
    p.setFont(arialFont(12, 700));
    p.setPen(QColor(0xB4, 0xB4, 0xB4));
    p.setBackground(ref(ds.backgroundColour));
    p.setBackgroundMode(Qt::OpaqueMode);
    const QFontMetrics fm(p.font());
    const float yMin = m_state.yMin(), yMax = m_state.yMax();
    const float xMin = m_state.xMin(), xMax = m_state.xMax();
    if (static_cast<int>(yMax) <= 100 && curveCount() > 0) {
        for (int q = 1; q <= 7; ++q) {
            const QString t = QString::asprintf("%.1f", yMin + q * (yMax - yMin) * 0.125);
            const int row = h - q * (h / 8);
            p.drawText(QRect(r.left() + 5, row - fm.height() / 2, fm.horizontalAdvance(t) + 2, fm.height()),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, t);
        }
        p.drawText(QRect(r.left() + 5, r.top() + 5, fm.horizontalAdvance(QStringLiteral("dB")) + 2, fm.height()),
                   Qt::AlignLeft | Qt::AlignTop, QStringLiteral("dB"));
    }
    if (static_cast<int>(xMax) > 0) {
        for (int m = 1; m <= 9; ++m) {
            const QString t = QString::asprintf("%.1f", (xMax - xMin) * 0.001 * m / 10 + xMin * 0.001);
            const int tw = fm.horizontalAdvance(t) + 2;
            const int col = m * (w / 10);
            p.drawText(QRect(col - tw / 2, r.bottom() - 3 - fm.height(), tw, fm.height()),
                       Qt::AlignCenter | Qt::TextSingleLine, t);
        }
        const int tw = fm.horizontalAdvance(QStringLiteral("km")) + 2;
        p.drawText(QRect(r.right() - 10 - tw, r.bottom() - 3 - fm.height(), tw, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("km"));
    }
    p.restore();
}

void COtdrTrace::drawMarkers(QPainter& p)
{
    const QRect r = plotRect();
    const DisplaySettings& ds = displaySettings();
    m_state.refreshMarkerTexts(ds.distanceUnit);
    p.save();
    p.setFont(arialFont(13, 400));
    const QFontMetrics fm(p.font());
    const QColor textColour = readoutColour(ds.backgroundColour);
    int which = 1;
    for (MarkerInfo* m : {&m_state.markerA, &m_state.markerB}) {
        const bool visible = m->position >= m_state.xMin() && m->position <= m_state.xMax();
        if (visible) {
            const int x = m_state.distanceToColumn(m->position);
            const bool active = m_state.activeMarker == which;
            p.setPen(QPen(ref(active ? ds.cursorColour : m->lineColour), 0));
            p.drawLine(x, r.top() + 30, x, r.bottom());
            const QString t = QString::fromStdString(m->label + " " + m->distanceText + " " + m->levelText);
            const int tw = fm.horizontalAdvance(t);
            const int top = r.top() + (which == 1 ? 30 : 50);
            p.setPen(textColour);
            if (x + 1 + tw <= r.right())
                p.drawText(QRect(x + 1, top, tw + 1, fm.height()), Qt::AlignLeft | Qt::TextSingleLine, t);
            else
                p.drawText(QRect(x - 1 - tw - 1, top, tw + 1, fm.height()), Qt::AlignRight | Qt::TextSingleLine, t);
        }
        ++which;
    }
    const MarkerInfo& ab = m_state.markerAB;
    const QString t = QString::fromStdString("A-B: " + ab.distanceText + " " + ab.levelText);
    const int tw = fm.horizontalAdvance(t);
    p.setPen(textColour);
    p.drawText(QRect(r.right() - 1 - tw - 1, r.top(), tw + 1, fm.height()), Qt::AlignRight | Qt::TextSingleLine, t);
    p.restore();
    PublishMarkers();
}

void COtdrTrace::drawHoverArrows(QPainter& p)
{
    if (!m_state.markersShown || !plotRect().contains(m_mouse))
        return;
    const int which = m_state.hoverMarker(m_mouse.x());
    if (which == 0)
        return;
    const MarkerInfo& m = which == 1 ? m_state.markerA : m_state.markerB;
    const int x = m_state.dragTarget ? m.pixelX : m_state.distanceToColumn(m.position);
    const int y = m_mouse.y();
    p.setPen(QPen(QColor(0xC8, 0xC8, 0xC8), 0));
    const QPoint left[3] = {{x - 6, y - 3}, {x - 9, y}, {x - 6, y + 3}};
    const QPoint right[3] = {{x + 3, y - 3}, {x + 6, y}, {x + 3, y + 3}};
    p.drawPolyline(left, 3);
    p.drawPolyline(right, 3);
}

// ---- Size and mouse --------------------------------------------------------------------------

void COtdrTrace::resizeEvent(QResizeEvent*)
{
    const QRect r = plotRect();
    const int sb = m_vBar->sizeHint().width();
    const int sh = m_hBar->sizeHint().height();
    m_hBar->setGeometry(0, height() - sh, std::max(width() - sb, 1), sh);
    m_vBar->setGeometry(width() - sb, 0, sb, std::max(height() - sh, 1));
    m_state.setPlotRect(r.left(), r.top(), r.width(), r.height());
    if (m_layerCreated)
        RebuildTraceLayer(-1);
}

void COtdrTrace::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !plotRect().contains(event->position().toPoint()))
        return;
    const QPoint pos = event->position().toPoint();
    // Hidden markers cannot be grabbed: a click where one would be zooms as anywhere else.
    const int hit = m_state.markersShown ? m_state.hitTest(pos.x()) : 0;
    if (hit) {
        m_state.dragTarget = hit;
        m_state.activeMarker = hit;
    } else if (!m_rubber) {
        m_rubber = true;
        m_rubberStart = m_rubberEnd = pos;
    }
    update();
}

void COtdrTrace::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (!plotRect().contains(pos))
        return;
    m_mouse = pos;
    if (m_state.dragTarget)
        m_state.dragTo(pos.x());
    else if (m_rubber)
        m_rubberEnd = pos;
    update();
}

void COtdrTrace::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (!m_rubber) {
        m_state.dragTarget = 0;
        update();
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (plotRect().contains(pos))
        m_rubberEnd = pos;
    m_rubber = false;
    int l = m_rubberStart.x(), t = m_rubberStart.y(), r = m_rubberEnd.x(), b = m_rubberEnd.y();
    if (l == r && t == b) {
        l -= 150;
        r += 150;
        t -= 150;
        b += 150;
    }
    const bool changed = SetWindow(static_cast<float>(m_state.columnToDistance(l)),
                                   static_cast<float>(m_state.columnToDistance(r)),
                                   static_cast<float>(m_state.rowToLevelZoom(b)),
                                   static_cast<float>(m_state.rowToLevelZoom(t)), true);
    m_rubberStart = m_rubberEnd = QPoint();
    update();
    if (changed)
        Q_EMIT windowChanged();
}

void COtdrTrace::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    otdrTagObject(&menu, ids::kPlotMenu);
    QAction* markers = menu.addAction(QStringLiteral("A<->B"));
    QAction* scale = menu.addAction(QStringLiteral("X / Y"));
    QAction* events = menu.addAction(QStringLiteral("1/2..."));
    otdrTagObject(markers, ids::kCmdPlotMarkers);
    otdrTagObject(scale, ids::kCmdPlotScaleText);
    otdrTagObject(events, ids::kCmdPlotEventMarks);
    for (QAction* a : {markers, scale, events})
        a->setCheckable(true);
    markers->setChecked(m_state.markersShown);
    scale->setChecked(m_state.scaleTextShown);
    events->setChecked(m_state.eventMarksOn);
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == markers) {
        setMarkersShown(!m_state.markersShown);
        Q_EMIT markersShownChanged(m_state.markersShown);
    } else if (chosen == scale) {
        setScaleTextShown(!m_state.scaleTextShown);
    } else if (chosen == events) {
        setEventMarksOn(!m_state.eventMarksOn);
    }
}
