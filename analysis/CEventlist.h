#pragma once

// The event window: one table row per event of the current trace (number and code, distance,
// section, loss, total loss, slope, reflectance) and the Auto Search command, which analyses the
// current trace with the analysis conditions and replaces its events.

#include "Dravik.h"
#include "ViewRefresh.h"

#include <QIcon>
#include <QWidget>

#include <functional>

class QTableWidget;

class CEventlist : public QWidget, public CViewRefresh {
    Q_OBJECT
public:
    explicit CEventlist(QWidget* parent = nullptr);
    ~CEventlist() override;

    // Rebuilds every row from the current trace's events and selects row 0. Without loaded
    // traces only the distance titles are refreshed and the table is emptied.
    void fill();
    // Column titles (and the frame caption) in the current language.
    void retitle();

    // Analyses the current trace with the analysis conditions of its wavelength; the trace's
    // engine record and events are replaced. Shows a busy cursor while the engine runs. False
    // when no trace is loaded or the engine failed (the trace is then unchanged). The table is
    // not refilled here: the caller redraws the plot first and then calls fill().
    bool autoSearch();

    // The first selected row, or -1.
    int selectedRow() const;
    void selectRow(int row);
    QTableWidget* table() const { return m_list; }

    // Called with the row index whenever a row becomes selected: moves the plot's active marker
    // to that event. Set by the main frame, which owns both views.
    void setActiveMarkerMover(std::function<void(int eventIndex)> mover) { m_moveMarker = std::move(mover); }

    // CViewRefresh
    void onTracesChanged() override { fill(); }
    void onCurrentTraceChanged() override { fill(); }
    void onDisplaySettingsChanged() override { fill(); }
    void retranslate() override { retitle(); }

Q_SIGNALS:
    // A row became selected (the same moment the active marker is moved).
    void eventSelected(int eventIndex);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void onSelectionChanged();
    void refreshDistanceTitles();

    QTableWidget* m_list = nullptr;
    QIcon m_images[2];
    CEndDravik m_engine;
    std::function<void(int)> m_moveMarker;
    bool m_filling = false;
};
