#include "CThumbnail.h"

#include "COtdrTrace.h"
#include "ColourRef.h"
#include "OtdrIds.h"
#include "PlotGeometry.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceTable.h"
#include "resources/ResourceIds.h"

#include <QPainter>

CThumbnail::CThumbnail(QWidget* parent) : QWidget(parent)
{
    otdrTagObject(this, otdr::ids::kThumbnailView);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(40, 30);
    connect(&traceViewsHub(), &CTraceViewsHub::plotChanged, this, qOverload<>(&QWidget::update));
    ApplyLanguage();
}

void CThumbnail::ApplyLanguage()
{
    const std::string t = loadText("IDS_FRM_THUMBNAIL_TITLE");
    setWindowTitle(t.empty() ? QStringLiteral("Thumbnail") : QString::fromStdString(t));
}

void CThumbnail::RebuildThumbnails()
{
    TraceTable& table = traceTable();
    for (int i = 0; i < table.loadedCount && TraceTable::validSlot(i); ++i) {
        if (!table.slots[static_cast<std::size_t>(i)].loaded)
            continue;
        TraceRecord& r = table.record(i);
        const std::size_t n = std::min<std::size_t>(r.sampleCount, r.samples.size());
        if (n < 100)
            continue;  // a short trace keeps no points
        const std::vector<PlotPoint> pts = thumbnailPoints(r.sampleData(), n, width(), height());
        r.thumbnailPoints.resize(pts.size());
        for (std::size_t k = 0; k < pts.size(); ++k)
            r.thumbnailPoints[k] = {pts[k].x, pts[k].y};
        r.thumbnailPointCount = static_cast<int>(pts.size());
    }
}

void CThumbnail::onTracesChanged()
{
    RebuildThumbnails();
    update();
}

void CThumbnail::resizeEvent(QResizeEvent*)
{
    RebuildThumbnails();
}

void CThumbnail::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    render(p);
}

void CThumbnail::render(QPainter& p)
{
    const DisplaySettings& ds = displaySettings();
    const QRect r = rect();
    p.fillRect(r, colourFromRef(0xD8E9EC));
    p.fillRect(r, colourFromRef(ds.storedBackgroundColour));
    const TraceTable& table = traceTable();
    if (table.loadedCount <= 0)
        return;
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(colourFromRef(ds.storedBackgroundColour));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setBrush(Qt::NoBrush);
    const TraceRecord& rec = table.record(table.currentTrace);
    const int n = std::min<int>(rec.thumbnailPointCount, static_cast<int>(rec.thumbnailPoints.size()));
    if (n > 0) {
        p.setPen(QPen(colourFromRef(rec.colour), 0));
        static_assert(sizeof(TracePoint) == sizeof(QPoint));
        p.drawPolyline(reinterpret_cast<const QPoint*>(rec.thumbnailPoints.data()), n);
    }
    const std::size_t samples = std::min<std::size_t>(rec.sampleCount, rec.samples.size());
    const COtdrTrace* plot = wavePlot();
    if (samples < 100 || !plot)
        return;
    const PlotState& s = plot->state();
    const PlotCurve* c = s.currentCurve();
    if (!c)
        return;
    const BoxRect b = thumbnailBox(s.shared(), c->length, width(), height());
    if (b.right <= b.left && b.bottom <= b.top)
        return;
    p.setPen(QPen(QColor(0, 255, 0), 0));
    p.drawRect(QRect(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1)));
}
