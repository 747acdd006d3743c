#include "TracePrinter.h"

#include "PrintText.h"

#include "ConfigStore.h"
#include "EventTableFormat.h"
#include "PlotGeometry.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceTable.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

// One text line of the current font, left-aligned with its top at (x, y).
void textAt(QPainter& p, int x, int y, const QString& s)
{
    const QFontMetrics fm = p.fontMetrics();
    p.drawText(QRect(x, y, fm.horizontalAdvance(s) + 2, fm.height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, s);
}

// Height of one text line of the current font (the measuring text includes Chinese characters,
// which may come from a taller font).
int lineHeightOf(QPainter& p)
{
    const QFontMetrics fm = p.fontMetrics();
    return std::max(fm.height(), fm.boundingRect(QStringLiteral("Test char height 测试字体")).height());
}

// The row of a raw sample in the graph: a fixed 60 dB scale, truncated, kept inside the graph.
int sampleRow(std::uint16_t s, int top, int bottom)
{
    const int h = bottom - top;
    const int y = static_cast<int>(bottom - (65.63 - s / 1000.0) / 60.0 * h);
    return std::clamp(y, top, bottom);
}

// Draws s rotated to read upwards: the text ends at yTop and starts below it; its character
// cell lies right of x.
void verticalText(QPainter& p, int x, int yTop, const QString& s)
{
    const QFontMetrics fm = p.fontMetrics();
    const int w = fm.horizontalAdvance(s);
    p.save();
    p.translate(x, yTop + w);
    p.rotate(-90);
    p.drawText(QRect(0, 0, w + 2, fm.height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, s);
    p.restore();
}

} // namespace

int fontPixelSize(double cellHeight)
{
    return std::max(1, static_cast<int>(std::lround(cellHeight * 0.87)));
}

PrintFonts makePrintFonts(int dpiX, double factor)
{
    const double s = dpiX / 300.0;
    auto make = [](double height, bool bold) {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(fontPixelSize(static_cast<int>(height)));
        f.setWeight(bold ? QFont::Bold : QFont::Normal);
        f.setStyleHint(QFont::SansSerif);
        return f;
    };
    PrintFonts fonts;
    fonts.title = make(factor * s * 54, true);
    fonts.text = make(factor * s * 36, false);
    fonts.bold = make(s * 36 * factor, true);
    fonts.vertical = make(factor * s * 32, false);
    fonts.scale = s * factor;
    return fonts;
}

CTracePrinter::CTracePrinter(QPainter& painter, int dpiX, const TraceTable& table, double fontFactor,
                             bool onePerPage)
    : m_p(painter), m_dpiX(dpiX > 0 ? dpiX : 300), m_table(table), m_factor(fontFactor),
      m_onePerPage(onePerPage)
{
    m_fonts = makePrintFonts(m_dpiX, m_factor);
}

int CTracePrinter::px(double v) const
{
    return std::max(1, static_cast<int>(v * m_dpiX / 300.0));
}

void CTracePrinter::drawText(int x, int y, const QString& s)
{
    textAt(m_p, x, y, s);
}

// A box frame with its title centred on the top edge, drawn over the line.
void CTracePrinter::drawBoxFrame(const QRect& box, const QString& title)
{
    m_p.setPen(QPen(Qt::black, px(1)));
    m_p.setBrush(Qt::NoBrush);
    m_p.drawRect(box);
    if (title.isEmpty())
        return;
    m_p.save();
    m_p.setFont(m_fonts.bold);
    const QString t = QLatin1Char(' ') + title + QLatin1Char(' ');
    const QFontMetrics fm = m_p.fontMetrics();
    const int w = fm.horizontalAdvance(t);
    const QRect r(box.center().x() - w / 2, box.top() - fm.height() / 2, w, fm.height());
    m_p.fillRect(r, Qt::white);
    m_p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, t);
    m_p.restore();
}

int CTracePrinter::DrawTraceBlock(int slot, bool withMarkerSection, const QRect& rect)
{
    m_layout = {};
    if (!TraceTable::validSlot(slot))
        return 0;
    const ConfigStore& store = m_store ? *m_store : configStore();
    const int language = m_language >= 0 ? m_language : currentLanguage();
    m_fonts = makePrintFonts(m_dpiX, m_factor);
    const printout::PrintValues v = printout::loadPrintValues(store, m_table, slot);
    const printout::PrintCaptions cap = printout::loadPrintCaptions(store, language);
    const MarkerSnapshot& markers = m_markers ? *m_markers : markerSnapshot();

    const int left = rect.x(), top = rect.y();
    const int W = rect.width(), H = rect.height();
    const int right = left + W;
    const int t = H / 64, u = H / 256;
    const int margin = W / 18, pad = W / 36;
    const int x1 = left + margin + pad;
    const int I = left + right - 2 * x1;
    const int col2 = x1 + I / 3, col3 = x1 + 2 * I / 3;
    const int boxLeft = left + margin, boxWidth = W - 2 * margin;

    m_p.save();
    m_p.setPen(Qt::black);

    // Title.
    m_p.setFont(m_fonts.title);
    const int titleHeight = m_p.fontMetrics().height();
    m_p.drawText(QRect(left, top + 2 * t, W, titleHeight), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                 qs(printout::printTitle(store, language)));
    m_layout.titleBottom = top + 2 * t + titleHeight;

    // Date line.
    m_p.setFont(m_fonts.text);
    const int dateTop = m_layout.titleBottom + t;
    const int dateHeight = m_p.fontMetrics().height();
    if (v.show[printout::Logo])
        drawText(boxLeft, dateTop, QString::fromLatin1(printout::kLogoText));
    const QString date = m_date.isEmpty()
        ? QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : m_date;
    m_p.drawText(QRect(left, dateTop, W - margin, dateHeight), Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, date);
    m_layout.dateBottom = dateTop + dateHeight;

    const int c = lineHeightOf(m_p);
    const int g = c / 2;
    m_layout.lineHeight = c;
    m_layout.gap = g;
    auto rowTop = [&](const QRect& box, int row) { return box.top() + g + row * (c + g); };
    auto item = [](const std::string& label, const char* unit, const std::string& value) {
        return qs(label) + QString::fromLatin1(unit) + qs(value);
    };
    int y = m_layout.dateBottom;

    // Job.
    if (v.show[printout::Job]) {
        const QRect box(boxLeft, y + u, boxWidth, 3 * c + 4 * g);
        drawBoxFrame(box, qs(cap.JobTitle));
        m_p.setFont(m_fonts.text);
        const int xb = left + W / 2 - pad;
        drawText(x1, rowTop(box, 0), item(cap.JobID, ": ", v.job[0]));
        drawText(xb, rowTop(box, 0), item(cap.JobFile, ": ", v.fileName));
        drawText(x1, rowTop(box, 1), item(cap.JobContractor, ": ", v.job[1]));
        drawText(xb, rowTop(box, 1), item(cap.JobDate, ": ", v.testTime));
        drawText(x1, rowTop(box, 2), item(cap.JobCustomer, ": ", v.job[2]));
        drawText(xb, rowTop(box, 2), item(cap.JobOperator, ": ", v.job[3]));
        m_layout.jobBox = box;
        y = box.top() + box.height();
    }

    // Configuration.
    if (v.show[printout::Config]) {
        const QRect box(boxLeft, y + t / 2, boxWidth, 7 * c + 8 * g);
        drawBoxFrame(box, qs(cap.ConfigTitle));
        m_p.setFont(m_fonts.text);
        using namespace printout;
        const auto& m = v.measurement;
        drawText(x1, rowTop(box, 0), item(cap.ConfigWave, "(nm): ", m[Wavelength]));
        drawText(col2, rowTop(box, 0), item(cap.ConfigRange, "(m): ", m[Range]));
        drawText(col3, rowTop(box, 0), item(cap.ConfigRBS, "(dB): ", m[Backscatter]));
        drawText(x1, rowTop(box, 1), item(cap.ConfigPulse, "(ns): ", m[Pulse]));
        drawText(col2, rowTop(box, 1), item(cap.ConfigAverage, ": ", m[Average]));
        drawText(col3, rowTop(box, 1), item(cap.ConfigLossTH, "(dB): ", m[LossTh]));
        drawText(x1, rowTop(box, 2), qs(cap.ConfigOrigin));
        drawText(col2, rowTop(box, 2), qs(cap.ConfigEnd));
        drawText(col3, rowTop(box, 2), item(cap.ConfigReflectionTH, "(dB): ", m[ReflectionTh]));
        const std::string* originLabels[] = {&cap.ConfigOriginLocation, &cap.ConfigOriginCable,
                                             &cap.ConfigOriginFiber, &cap.ConfigOriginColor};
        const std::string* endLabels[] = {&cap.ConfigEndLocation, &cap.ConfigEndCable,
                                          &cap.ConfigEndFiber, &cap.ConfigEndColor};
        for (int i = 0; i < 4; ++i) {
            drawText(x1 + pad, rowTop(box, 3 + i), item(*originLabels[i], ": ", v.link[static_cast<size_t>(i)]));
            drawText(col2 + pad, rowTop(box, 3 + i), item(*endLabels[i], ": ", v.link[static_cast<size_t>(4 + i)]));
        }
        drawText(col3, rowTop(box, 3), item(cap.ConfigEndFiberTH, "(dB): ", m[EndTh]));
        drawText(col3, rowTop(box, 4), item(cap.ConfigIndex, ": ", m[Index]));
        m_layout.configBox = box;
        y = box.top() + box.height();
    }

    // Comment, wrapped to the inner width.
    if (v.show[printout::Comment] && withMarkerSection) {
        m_p.setFont(m_fonts.text);
        const QFontMetrics fm = m_p.fontMetrics();
        const std::vector<std::string> lines = printout::wrapText(
            v.comment, I, [&fm](std::string_view s) {
                return fm.horizontalAdvance(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())));
            });
        const int n = static_cast<int>(lines.size());
        const QRect box(boxLeft, y + t / 2, boxWidth, n * c + (n + 1) * g);
        drawBoxFrame(box, qs(cap.JobComment));
        m_p.setFont(m_fonts.text);
        for (int i = 0; i < n; ++i)
            drawText(x1, rowTop(box, i), qs(lines[static_cast<size_t>(i)]));
        m_layout.commentBox = box;
        m_layout.commentLines = n;
        y = box.top() + box.height();
    }

    // Trace, and the marker readouts under it.
    if (v.show[printout::Trace]) {
        const QRect box(boxLeft, y + t / 2, boxWidth, 24 * t);
        drawBoxFrame(box, qs(cap.TraceTitle));
        const int gl = static_cast<int>(left + 1.5 * margin + (W / 20) / 2);
        const int gr = static_cast<int>(left + W - 1.5 * margin - (W / 20) / 2);
        const int gt = box.top() + pad + g;
        const int gb = static_cast<int>(box.top() + box.height() - 1.5 * t);
        const QRect graph(gl, gt, gr - gl, gb - gt);
        m_layout.traceBox = box;
        m_layout.graphRect = graph;
        DrawTraceGraph(slot, graph);
        y = box.top() + box.height();

        if (withMarkerSection) {
            const printout::MarkerReadout r = printout::markerReadout(markers);
            const QRect mbox(boxLeft, y + u, boxWidth, 3 * c + 4 * g);
            drawBoxFrame(mbox, QString());
            m_p.setFont(m_fonts.text);
            drawText(x1, rowTop(mbox, 0), QStringLiteral("A: ") + qs(r.aDistance));
            drawText(col2, rowTop(mbox, 0), QStringLiteral("B: ") + qs(r.bDistance));
            drawText(col3, rowTop(mbox, 0), QStringLiteral("A-B: ") + qs(r.abDistance + r.abUnit));
            drawText(x1, rowTop(mbox, 1), QStringLiteral("    ") + qs(r.aLevel));
            drawText(col2, rowTop(mbox, 1), QStringLiteral("    ") + qs(r.bLevel));
            drawText(col3, rowTop(mbox, 1), QStringLiteral("        ") + qs(r.abLevel) + QStringLiteral("dB"));
            drawText(col3, rowTop(mbox, 2), QStringLiteral("        ") + qs(r.slope) + QStringLiteral("dB/km"));
            m_layout.markerBox = mbox;
            y = mbox.top() + mbox.height();
        }
    }

    int left_over = 0;
    if (v.show[printout::Events])
        left_over = DrawEventTable(slot, rect, y + t / 2, 0);
    m_p.restore();
    return left_over;
}

int CTracePrinter::DrawEventTable(int slot, const QRect& block, int y0, int firstRow)
{
    if (!TraceTable::validSlot(slot))
        return 0;
    const DisplaySettings& display = m_display ? *m_display : displaySettings();
    const int language = m_language >= 0 ? m_language : currentLanguage();
    const TraceRecord& record = m_table.record(slot);
    const auto rows = printout::eventCells(record.events, display.distanceUnit, language);
    const auto titles = evtable::columnTitles(display.distanceUnit, [](std::string_view key) { return loadText(key); });
    const ConfigStore& store = m_store ? *m_store : configStore();
    const printout::PrintCaptions cap = printout::loadPrintCaptions(store, language);

    m_p.save();
    m_p.setFont(m_fonts.text);
    m_p.setPen(Qt::black);
    const int left = block.x(), W = block.width(), H = block.height();
    const int bottom = block.y() + H;
    const int margin = W / 18;
    const int c = lineHeightOf(m_p);
    const int g = c / 2;
    const int pitch = c + g;
    const int total = static_cast<int>(rows.size());
    firstRow = std::clamp(firstRow, 0, total);
    const int wanted = total - firstRow;
    // Rows that fit: the frame ends at y0 + g + (n + 1) x pitch.
    const int fit = (bottom - y0 - g) / pitch - 1;
    if (fit < 0 || (fit == 0 && wanted > 0)) {
        // Not even the header and one row fit: the whole rest goes to a further page.
        m_p.restore();
        m_layout.eventRowsDrawn = 0;
        m_layout.eventRowsLeft = wanted;
        return wanted;
    }
    const int n = std::min(wanted, fit);

    const QRect frame(left + margin, y0, W - 2 * margin, g + (n + 1) * pitch);
    // Header.
    const int columns = static_cast<int>(titles.size());
    const int headerCell = (W - 2 * margin) / columns;
    for (int k = 0; k < columns; ++k)
        m_p.drawText(QRect(left + margin + k * headerCell, y0 + g, headerCell, H / 42),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, qs(titles[static_cast<size_t>(k)]));
    // Rows.
    const int cell = (W - 2 * margin) / 7;
    const int rowLeft = static_cast<int>(left + 1.2 * margin);
    m_p.setPen(QPen(Qt::black, px(1)));
    for (int i = 0; i < n; ++i) {
        const auto& cells = rows[static_cast<size_t>(firstRow + i)];
        const int top = y0 + g + (i + 1) * pitch;
        for (int k = 0; k < 7; ++k) {
            const QRect r(rowLeft + k * cell, top, cell, c);
            m_p.drawText(r, (k == 0 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignTop | Qt::TextSingleLine,
                         qs(cells[static_cast<size_t>(k)]));
        }
        const int line = top - g / 2;
        m_p.drawLine(frame.left(), line, frame.left() + frame.width(), line);
    }
    drawBoxFrame(frame, qs(cap.EventTitle));
    m_layout.eventBox = frame;
    m_layout.eventRowsDrawn = n;
    m_layout.eventRowsLeft = wanted - n;
    m_p.restore();
    return wanted - n;
}

void CTracePrinter::DrawTraceGraph(int slot, const QRect& graph)
{
    if (!TraceTable::validSlot(slot))
        return;
    const TraceRecord& r = m_table.record(slot);
    const DisplaySettings& display = m_display ? *m_display : displaySettings();
    const MarkerSnapshot& markers = m_markers ? *m_markers : markerSnapshot();
    const int L = graph.x(), T = graph.y(), Wg = graph.width(), Hg = graph.height();
    const int R = L + Wg, B = T + Hg;

    m_p.save();
    m_p.setFont(m_fonts.text);
    m_p.setPen(Qt::black);
    const QFontMetrics fm = m_p.fontMetrics();
    const bool grid = display.gridShown != 0;

    if (grid) {
        const auto xs = printout::distanceAxisLabels(r.length);
        const int labelTop = B + std::min(Hg / 20, px(10));
        for (int k = 0; k < 10; ++k) {
            const QString s = qs(xs[static_cast<size_t>(k)]);
            const int w = fm.horizontalAdvance(s);
            const int x = L + k * (Wg / 10);
            m_p.drawText(QRect(x - w / 2 - 1, labelTop, w + 2, fm.height()), Qt::AlignCenter | Qt::TextSingleLine, s);
        }
        const QString km = QStringLiteral("km");
        const int kmWidth = fm.horizontalAdvance(km);
        m_p.drawText(QRect(R - kmWidth - px(10), labelTop, kmWidth + 2, fm.height()), Qt::AlignLeft | Qt::TextSingleLine, km);

        const auto ys = printout::levelAxisLabels();
        const int labelWidth = fm.horizontalAdvance(QStringLiteral("0000"));
        const int labelRight = L - px(5);
        for (int i = 0; i < 8; ++i) {
            const int yy = B - i * (Hg / 8);
            m_p.drawText(QRect(labelRight - labelWidth * 2, yy - fm.height() / 2, labelWidth * 2, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, qs(ys[static_cast<size_t>(i)]));
        }
        m_p.drawText(QRect(labelRight - labelWidth * 2, T + px(5), labelWidth * 2, fm.height()),
                     Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, QStringLiteral("dB"));
    }

    m_p.setPen(QPen(Qt::black, px(1)));
    m_p.setBrush(Qt::NoBrush);
    m_p.drawRect(graph);

    if (grid) {
        m_p.setPen(QPen(QColor(0xCC, 0xCC, 0xCC), px(1), Qt::DotLine));
        for (int k = 1; k <= 9; ++k) {
            const int x = L + k * (Wg / 10);
            m_p.drawLine(x, T, x, B);
        }
        for (int k = 1; k <= 7; ++k) {
            const int yy = B - k * (Hg / 8);
            m_p.drawLine(L, yy, R, yy);
        }
    }

    // The trace: one point per sample; samples falling on one device column are reduced to
    // the column's entry, extremes and exit, which covers the same pixels.
    const std::uint32_t n = std::min<std::uint32_t>(r.sampleCount, static_cast<std::uint32_t>(r.samples.size()));
    if (n >= 100) {
        QPolygon points;
        points.reserve(static_cast<int>(std::min<std::uint32_t>(n, static_cast<std::uint32_t>(Wg) * 4 + 4)));
        int colX = 0, colFirst = 0, colMin = 0, colMax = 0, colLast = 0, minAt = 0, maxAt = 0;
        bool open = false;
        auto flush = [&] {
            points << QPoint(colX, colFirst);
            if (minAt <= maxAt) {
                points << QPoint(colX, colMin) << QPoint(colX, colMax);
            } else {
                points << QPoint(colX, colMax) << QPoint(colX, colMin);
            }
            points << QPoint(colX, colLast);
        };
        for (std::uint32_t i = 0; i < n; ++i) {
            const int x = std::min(static_cast<int>(static_cast<long long>(i) * Wg / n + L), R);
            const int yy = sampleRow(r.samples[i], T, B);
            if (!open || x != colX) {
                if (open)
                    flush();
                open = true;
                colX = x;
                colFirst = colMin = colMax = colLast = yy;
                minAt = maxAt = static_cast<int>(i);
            } else {
                colLast = yy;
                if (yy < colMin) {
                    colMin = yy;
                    minAt = static_cast<int>(i);
                }
                if (yy > colMax) {
                    colMax = yy;
                    maxAt = static_cast<int>(i);
                }
            }
        }
        if (open)
            flush();
        m_p.setPen(QPen(Qt::black, px(1)));
        m_p.drawPolyline(points);
    }

    // Event marks: a tick at the trace and, reading upwards under it, the loss and distance; the
    // section attenuation halfway to the previous event, lower down.
    if (r.length > 0 && n > 0) {
        m_p.setFont(m_fonts.vertical);
        const QFontMetrics vfm = m_p.fontMetrics();
        const int textHeight = vfm.height();
        int previousX = -1;
        for (const EventItem& e : r.events) {
            const int x = static_cast<int>(L + Wg * static_cast<double>(e.distance) / r.length);
            const std::uint32_t index = std::min<std::uint32_t>(
                static_cast<std::uint32_t>(std::max(e.sampleIndex, 0)), n - 1);
            const int yy = sampleRow(r.samples[index], T, B);
            const int tickBottom = yy + Hg / 10;
            m_p.setPen(QPen(Qt::black, px(1)));
            m_p.drawLine(x, yy - Hg / 60, x, tickBottom);
            // Texts that would run out of the bottom of the graph (a trace low on the scale) go
            // above the tick instead, so that they stay inside the graph.
            const int tickTop = yy - Hg / 60;
            auto placeTop = [&](int below, int width, int raise) {
                if (below + width <= B)
                    return below;
                return std::max(T, tickTop - px(4) - width - raise);
            };
            const QString loss = qs(printout::eventLossText(e));
            const QString distance = qs(printout::eventDistanceText(e, display.distanceUnit));
            const int textTop = tickBottom + px(4);
            verticalText(m_p, x - textHeight, placeTop(textTop, vfm.horizontalAdvance(loss), 0), loss);
            verticalText(m_p, x, placeTop(textTop, vfm.horizontalAdvance(distance), 0), distance);
            const QString att = qs(printout::eventAttenuationText(e));
            if (!att.isEmpty()) {
                const int ax = previousX < 0 ? x : (previousX + x) / 2;
                verticalText(m_p, ax, placeTop(textTop + Hg / 10, vfm.horizontalAdvance(att), Hg / 10), att);
            }
            previousX = x;
        }
        m_p.setFont(m_fonts.text);
    }

    // Markers, only when the page holds this one trace.
    if (markers.shown && m_onePerPage) {
        m_p.setPen(QPen(Qt::black, px(1)));
        const QFontMetrics mfm = m_p.fontMetrics();
        auto drawMarker = [&](float fraction, const std::string& label) {
            if (!(fraction > 0) || fraction > 1)
                return;
            const int x = static_cast<int>(L + fraction * Wg);
            const int yTop = T + Hg / 10;
            m_p.drawLine(x, yTop, x, B);
            const QString s = qs(label);
            const int w = mfm.horizontalAdvance(s) + px(8);
            const QRect box(x - w / 2, yTop - mfm.height() / 2, w, mfm.height());
            m_p.fillRect(box, Qt::white);
            m_p.drawRect(box);
            m_p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, s);
        };
        drawMarker(markers.aFraction, markers.aLabel);
        drawMarker(markers.bFraction, markers.bLabel);
    }
    m_p.restore();
}

int paintTracePrintout(QPainter& painter, const QRect& pageRect, int dpiX, const TraceTable& table, int slot,
                       const std::function<bool()>& newPage)
{
    CTracePrinter printer(painter, dpiX, table);
    int left = printer.DrawTraceBlock(slot, true, pageRect);
    int pages = 1;
    const int continuationTop = pageRect.y() + 2 * (pageRect.height() / 64);
    while (left > 0) {
        if (!newPage || !newPage())
            break;
        ++pages;
        const int total = static_cast<int>(table.record(slot).events.size());
        const int next = printer.DrawEventTable(slot, pageRect, continuationTop, total - left);
        if (next >= left)
            break;  // not one row fits on a page: stop rather than loop
        left = next;
    }
    return pages;
}

bool writeTracePdf(const QString& path, const TraceTable& table, int slot, QString* error)
{
    constexpr int kDpi = 300;
    QPdfWriter writer(path);
    writer.setResolution(kDpi);
    writer.setCreator(QStringLiteral("OTDR"));
    writer.setTitle(QString::fromStdString(printout::printTitle(configStore(), currentLanguage())));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    const QRect page(QPoint(0, 0), writer.pageLayout().paintRectPixels(kDpi).size());
    paintTracePrintout(painter, page, kDpi, table, slot, [&writer] { return writer.newPage(); });
    if (!painter.end()) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}
