#pragma once

// The drawing of the trace printout on any QPainter (printer, PDF writer, preview, image): the
// printer fonts, one trace block (title, date line, job, configuration and comment boxes, the
// trace graph with its marker section, the event table) over any rectangle, and the whole
// single-trace printout with its continuation pages for long event tables. No widgets.

#include <QFont>
#include <QRect>
#include <QString>

#include <functional>

class QPainter;
class TraceTable;
struct MarkerSnapshot;
struct DisplaySettings;
class ConfigStore;

// The four fonts of a print job, sized for the device: s = horizontal dots per inch / 300, f the
// font factor (1.0 for one trace per page). Heights in device pixels: title f x s x 54 bold,
// text f x s x 36, bold s x 36 x f, vertical f x s x 32 (drawn rotated).
struct PrintFonts {
    QFont title, text, bold, vertical;
    double scale = 1.0;   // s x f
};
PrintFonts makePrintFonts(int dpiX, double factor);
// Pixel height of a font of nominal cell height h: the font mapper fits the character cell
// (ascent + descent) to h.
int fontPixelSize(double cellHeight);

// Where the parts of the last trace block went (device pixels), for the callers that continue a
// table on a further page and for tests.
struct TraceBlockLayout {
    int titleBottom = 0;
    int dateBottom = 0;
    QRect jobBox, configBox, commentBox, traceBox, graphRect, markerBox, eventBox;
    int commentLines = 0;
    int lineHeight = 0;  // c, the height of a text line
    int gap = 0;         // g, the gap between lines
    int eventRowsDrawn = 0;
    int eventRowsLeft = 0;
};

class CTracePrinter {
public:
    // Draws on painter for a device of dpiX horizontal dots per inch. fontFactor scales the fonts
    // (report pages with several traces); onePerPage says whether the page holds one trace (the
    // markers are drawn only then). The records read are the process-wide ones unless set.
    CTracePrinter(QPainter& painter, int dpiX, const TraceTable& table, double fontFactor = 1.0,
                  bool onePerPage = true);

    void setMarkerSnapshot(const MarkerSnapshot* snapshot) { m_markers = snapshot; }
    void setDisplaySettings(const DisplaySettings* display) { m_display = display; }
    void setConfigStore(const ConfigStore* store) { m_store = store; }
    void setLanguage(int language) { m_language = language; }
    // The date of the date line; the current local time when empty.
    void setPrintDate(const QString& date) { m_date = date; }

    // Draws the trace block of slot over rect. withMarkerSection: the comment box and the marker
    // section are part of the block (single-trace pages). Event rows that do not fit above
    // rect's bottom are left out; the count is returned (0 when all fit) and can be printed on
    // further pages with DrawEventTable. A slot out of range prints nothing.
    int DrawTraceBlock(int slot, bool withMarkerSection, const QRect& rect);
    // Draws the graph of slot's trace into the graph rectangle.
    void DrawTraceGraph(int slot, const QRect& graph);
    // Draws the event table of slot from row firstRow on, its top at top, inside block (the
    // block rectangle gives the margins and the bottom). Returns the rows left over.
    int DrawEventTable(int slot, const QRect& block, int top, int firstRow);

    const TraceBlockLayout& layout() const { return m_layout; }
    const PrintFonts& fonts() const { return m_fonts; }

private:
    int px(double v) const;  // a distance given in 300-dpi pixels, on this device
    void drawBoxFrame(const QRect& box, const QString& title);
    void drawText(int x, int y, const QString& s);

    QPainter& m_p;
    int m_dpiX;
    const TraceTable& m_table;
    double m_factor;
    bool m_onePerPage;
    const MarkerSnapshot* m_markers = nullptr;
    const DisplaySettings* m_display = nullptr;
    const ConfigStore* m_store = nullptr;
    int m_language = -1;
    QString m_date;
    PrintFonts m_fonts;
    TraceBlockLayout m_layout;
};

// Paints the single-trace printout of slot: the trace block over the painter's whole device
// page, then, while event rows are left, further pages (newPage is called before each; it
// returns false to stop) with the event table and its header repeated. Returns the page count.
int paintTracePrintout(QPainter& painter, const QRect& pageRect, int dpiX, const TraceTable& table,
                       int slot, const std::function<bool()>& newPage);

// Writes the single-trace printout of slot as an A4 portrait PDF. Returns false with a reason
// when the file could not be written.
bool writeTracePdf(const QString& path, const TraceTable& table, int slot, QString* error = nullptr);
