#include "FrameViews.h"

#include "CThumbnail.h"
#include "CWaveform.h"
#include "CEventlist.h"
#include "COtdrTrace.h"
#include "ColourRef.h"
#include "MainFrame.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceTable.h"

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

QWidget* createFrameView(FrameKind kind, QWidget* parent)
{
    if (kind == FrameKind::Wave) {
        auto* view = new CWaveform(parent);
        // Traces closed, events edited or another trace chosen in the trace view: every view
        // follows, and the frame learns when no trace is left.
        auto refresh = [view] {
            if (auto* frame = qobject_cast<CMainFrame*>(view->window())) {
                frame->refreshTraceViews();
                if (traceTable().loadedCount == 0)
                    frame->setHasTraces(false);
            }
        };
        QObject::connect(view, &CWaveform::tracesEdited, view, refresh);
        QObject::connect(view, &CWaveform::currentTraceSelected, view, refresh);
        return view;
    }
    if (kind == FrameKind::Thumbnail)
        return new CThumbnail(parent);
    if (kind == FrameKind::Event) {
        auto* view = new CEventlist(parent);
        // Selecting a row moves the trace plot's active marker to that event.
        view->setActiveMarkerMover([](int eventIndex) {
            if (COtdrTrace* plot = wavePlot())
                plot->MoveActiveMarkerToEvent(eventIndex);
        });
        return view;
    }
    return new CPlaceholderView(kind, parent);
}

CViewRefresh* viewRefresh(QWidget* view)
{
    return dynamic_cast<CViewRefresh*>(view);
}

namespace {

QString text(const char* key)
{
    return QString::fromStdString(loadText(key));
}

const char* const kEventColumns[] = {"IDS_FRM_VIEW_EVENT_ORDER", "IDS_FRM_VIEW_EVENT_DIST",
                                     "IDS_FRM_VIEW_EVENT_SEGMENT", "IDS_FRM_VIEW_EVENT_LOSS",
                                     "IDS_FRM_VIEW_EVENT_REFLECTION", "IDS_FRM_VIEW_EVENT_SLOPE",
                                     "IDS_FRM_VIEW_EVENT_TOTAL_LOSS"};

// Distance in the unit of the display settings, with its decimals.
QString distanceText(double metres)
{
    const DisplaySettings& ds = displaySettings();
    double km = metres / 1000.0;
    if (ds.distanceUnit == "mi")
        km *= 0.621388181;
    else if (ds.distanceUnit == "ft")
        km *= 3.281;
    const int decimals = ds.distanceDecimals > 0 ? ds.distanceDecimals : 3;
    return QString::number(km, 'f', decimals);
}

} // namespace

CPlaceholderView::CPlaceholderView(FrameKind kind, QWidget* parent) : QWidget(parent), m_kind(kind)
{
    setMinimumSize(60, 40);
    if (kind == FrameKind::Event) {
        m_events = new QTreeWidget(this);
        m_events->setRootIsDecorated(false);
        m_events->setColumnCount(static_cast<int>(std::size(kEventColumns)));
        m_events->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_events);
    }
    retranslate();
}

void CPlaceholderView::retranslate()
{
    if (m_events) {
        QStringList headers;
        for (const char* key : kEventColumns)
            headers << text(key);
        m_events->setHeaderLabels(headers);
    }
    update();
}

void CPlaceholderView::onTracesChanged()
{
    refillEvents();
    update();
}

void CPlaceholderView::onCurrentTraceChanged()
{
    refillEvents();
    update();
}

void CPlaceholderView::onDisplaySettingsChanged()
{
    refillEvents();
    update();
}

void CPlaceholderView::refillEvents()
{
    if (!m_events)
        return;
    m_events->clear();
    const TraceRecord* record = traceTable().currentRecord();
    if (!record)
        return;
    float previous = 0;
    int n = 1;
    for (const EventItem& e : record->events) {
        auto* item = new QTreeWidgetItem(m_events);
        item->setText(0, QString::number(n++));
        item->setText(1, distanceText(e.distance));
        item->setText(2, distanceText(e.distance - previous));
        item->setText(3, QString::number(e.eventLoss, 'f', 3));
        item->setText(4, e.eventType ? QString::number(e.reflectance, 'f', 3) : QString());
        item->setText(5, QString::number(e.attenuation, 'f', 3));
        item->setText(6, QString::number(e.totalLoss, 'f', 3));
        previous = e.distance;
    }
}

void CPlaceholderView::paintEvent(QPaintEvent*)
{
    if (m_kind == FrameKind::Event)
        return;
    QPainter p(this);
    const DisplaySettings& ds = displaySettings();
    if (m_kind == FrameKind::Report || m_kind == FrameKind::MainSetting) {
        p.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    p.fillRect(rect(), colourFromRef(ds.backgroundColour));
    const QRectF area = QRectF(rect()).adjusted(8, 8, -8, -8);
    if (ds.gridShown && m_kind == FrameKind::Wave) {
        p.setPen(QPen(colourFromRef(ds.gridColour), 1, Qt::DotLine));
        for (int i = 1; i < 10; ++i)
            p.drawLine(QPointF(area.left() + area.width() * i / 10, area.top()),
                       QPointF(area.left() + area.width() * i / 10, area.bottom()));
        for (int i = 1; i < 8; ++i)
            p.drawLine(QPointF(area.left(), area.top() + area.height() * i / 8),
                       QPointF(area.right(), area.top() + area.height() * i / 8));
    }

    // Every loaded trace (or only the current one) on a common scale: distance across,
    // level upwards.
    const TraceTable& table = traceTable();
    const bool all = ds.multiTraceDisplay != 0 && m_kind == FrameKind::Wave;
    double maxLength = 0;
    for (int i = 0; i < table.loadedCount; ++i) {
        const TraceRecord& r = table.record(i);
        maxLength = std::max(maxLength, double(r.sampleCount) * r.sampleSpacing);
    }
    if (maxLength <= 0)
        return;
    std::uint16_t lo = 65535;
    std::uint16_t hi = 0;
    for (int i = 0; i < table.loadedCount; ++i) {
        const TraceRecord& r = table.record(i);
        for (std::uint32_t k = 0; k < r.sampleCount && k < r.samples.size(); ++k) {
            lo = std::min(lo, r.samples[k]);
            hi = std::max(hi, r.samples[k]);
        }
    }
    const double span = hi > lo ? double(hi - lo) : 1.0;
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < table.loadedCount; ++i) {
        if (!all && i != table.currentTrace)
            continue;
        const TraceRecord& r = table.record(i);
        if (r.sampleCount == 0)
            continue;
        // Larger samples are weaker backscatter and are drawn lower.
        const int pixels = std::max(1, int(area.width()));
        const double step = std::max(1.0, double(r.sampleCount) / pixels);
        QPainterPath path;
        for (double s = 0; s < r.sampleCount && s < r.samples.size(); s += step) {
            const auto idx = static_cast<std::uint32_t>(s);
            const double x = area.left() + area.width() * (idx * r.sampleSpacing) / maxLength;
            const double y = area.top() + area.height() * ((r.samples[idx] - lo) / span);
            if (s == 0)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        const std::uint32_t colour = m_kind == FrameKind::Wave ? r.colour : 0xFF0000;
        p.setPen(QPen(colourFromRef(colour), i == table.currentTrace ? 1.6 : 1.0));
        p.drawPath(path);
        if (m_kind == FrameKind::Wave && i == table.currentTrace) {
            p.setPen(colourFromRef(ds.eventMarkerColour));
            int n = 1;
            for (const EventItem& e : r.events) {
                const double x = area.left() + area.width() * e.distance / maxLength;
                p.drawLine(QPointF(x, area.bottom() - 12), QPointF(x, area.bottom()));
                p.drawText(QPointF(x + 2, area.bottom() - 2), QString::number(n++));
            }
        }
    }
}
