#pragma once

// The trace plot: up to eight curves over a dotted grid with scale texts, numbered event marks,
// markers A and B with their readouts, rubber-band and click zoom, its own scroll bars and a
// context menu with three toggles. The curves are drawn into an off-screen layer only when the
// window, the curves or their flags change; a repaint copies that layer and draws the rest.

#include "PlotGeometry.h"

#include <QImage>
#include <QObject>
#include <QWidget>

#include <cstdint>

class QScrollBar;
struct TraceRecord;

// Notifications between the trace views that are not parent and child (the thumbnail follows
// the plot's window; the event table moves the plot's active marker).
class CTraceViewsHub : public QObject {
    Q_OBJECT
Q_SIGNALS:
    // The plot's window, current curve or curves changed.
    void plotChanged();
};
CTraceViewsHub& traceViewsHub();

class COtdrTrace;
// The plot of the waveform view (nullptr before it exists).
COtdrTrace* wavePlot();

class COtdrTrace : public QWidget {
    Q_OBJECT
public:
    explicit COtdrTrace(QWidget* parent = nullptr);
    ~COtdrTrace() override;

    PlotState& state() { return m_state; }
    const PlotState& state() const { return m_state; }

    // ---- Curves --------------------------------------------------------------------------
    void AddCurve(const TraceRecord& record, std::uint32_t colour);
    void RemoveCurve(int index);
    void ReplaceCurve(int index, const TraceRecord& record, std::uint32_t colour);
    void SelectCurve(int index);
    void SetCurveVisible(int index, bool visible);
    void AfterCurveClosed();
    void RefreshCurveEvents(int curve, const TraceRecord& record);
    int curveCount() const { return static_cast<int>(m_state.curves().size()); }
    int currentCurve() const { return m_state.current(); }
    // Removes every curve and forgets the longest length and the full scale.
    void ClearCurves();

    // ---- Window --------------------------------------------------------------------------
    bool SetWindow(float xMin, float xMax, float yMin, float yMax, bool sync);
    void ShowAll();
    void ZoomHorizontal(bool in, double factor);
    void ZoomVertical(bool in, double factor);
    void SetMaxLength(float length);
    void RecomputeMaxLength();
    // Sets the scroll bars up for the present size and full scale (done once by the view).
    void InitScrollBars();

    // ---- Markers -------------------------------------------------------------------------
    float LevelAt(double distance) const { return m_state.levelAt(distance); }
    int ActiveMarkerPointIndex() const { return m_state.activeMarkerPointIndex(); }
    // Moves the active marker to event eventIndex of the current curve (the event table calls
    // this when a row is selected).
    void MoveActiveMarkerToEvent(int eventIndex);
    void ResetMarkers();
    void PublishMarkers();
    void setMarkersShown(bool on);
    bool markersShown() const { return m_state.markersShown; }
    void setLinkedMarkers(bool on);
    void setScaleTextShown(bool on);
    void setEventMarksOn(bool on);
    // Current curve's vertical offset in pixels (the view's offset spinner).
    void setCurrentVerticalOffset(int pixels);

    // ---- Drawing -------------------------------------------------------------------------
    // Draws every curve into the trace layer; the curve `current` (-1 none) is drawn last.
    void RebuildTraceLayer(int current = -1);
    // Everything the plot shows, into a painter covering the plot area.
    void renderPlot(QPainter& p);
    const QImage& traceLayer() const { return m_layer; }
    // Long curves are reduced to their extremes per pixel column (on by default); off draws the
    // polyline of every visible point.
    void setColumnReduction(bool on) { m_reduce = on; }
    QScrollBar* horizontalBar() const { return m_hBar; }
    QScrollBar* verticalBar() const { return m_vBar; }
    QRect plotRect() const;

Q_SIGNALS:
    // The context menu toggled the markers (the view's check box follows).
    void markersShownChanged(bool on);
    // The trace layer was rebuilt with a current curve: the view refreshes its distance texts.
    void curveDistanceTextsNeeded(int curve);
    // The window changed through the plot itself (mouse, scroll bars).
    void windowChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    PlotCurve buildCurve(const TraceRecord& record, std::uint32_t colour, int showEvents) const;
    void drawCurve(QPainter& p, int n);
    void drawGrid(QPainter& p);
    void drawScaleTexts(QPainter& p);
    void drawMarkers(QPainter& p);
    void drawHoverArrows(QPainter& p);
    void applyScrollBars();
    void onHorizontalAction(int action);
    void onVerticalAction(int action);
    void notifyChanged();

    PlotState m_state;
    QImage m_layer;
    uchar* m_layerBits = nullptr;
    bool m_layerCreated = false;
    bool m_reduce = true;
    QScrollBar* m_hBar = nullptr;
    QScrollBar* m_vBar = nullptr;
    bool m_rubber = false;
    QPoint m_rubberStart, m_rubberEnd;
    QPoint m_mouse{-1000, -1000};
    bool m_updatingBars = false;
};
