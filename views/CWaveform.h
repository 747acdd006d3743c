#pragma once

// The trace view: the trace list panel on the left, the plot, the distance texts under it, and
// the buttons that zoom, step through events and add or delete events through the engine.

#include "Dravik.h"
#include "ViewRefresh.h"

struct TraceRecord;

#include <QWidget>

#include <map>
#include <optional>
#include <string>

class COtdrTrace;
class CWaveFormLeftDlg;
class QAbstractButton;
class QAbstractItemView;
class QCheckBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class QToolButton;

class CWaveform : public QWidget, public CViewRefresh {
    Q_OBJECT
public:
    explicit CWaveform(QWidget* parent = nullptr);
    ~CWaveform() override;

    COtdrTrace* plot() const { return m_plot; }
    CWaveFormLeftDlg* panel() const { return m_panel; }
    QSpinBox* offsetSpinner() const { return m_spin; }

    void RefreshDistanceTexts();
    void RefreshCurveDistanceTexts(int curve);
    void RefreshLevelText();
    void ShowLeftPanel(bool show);
    void ApplyLanguage();

    // Button actions.
    void zoom(bool horizontal, bool in);
    void showEverything();
    void previousEvent();
    void nextEvent();
    void addEvent();
    void deleteEvent();
    // Closes the trace of a list row (the current trace).
    void closeTrace(int row);
    // Makes a row of the trace list the current trace.
    void selectTrace(int row);

    // CViewRefresh
    void onTracesChanged() override;
    void onCurrentTraceChanged() override;
    void retranslate() override { ApplyLanguage(); }
    void onDisplaySettingsChanged() override;
    void showLeftPanel(bool show) override { ShowLeftPanel(show); }

    // The event table's list control (found in the same main window), or nullptr.
    QAbstractItemView* eventList() const;

Q_SIGNALS:
    // Traces were closed or events edited here: the other views must refresh.
    void tracesEdited();
    // The user picked another current trace in the list.
    void currentTraceSelected();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Takes an edited engine record into the current trace and redraws its events.
    void applyEventEdit(TraceRecord& record, const Dravik_Result& result);
    QToolButton* makeButton(int id, const char* icon, const char* tip);
    void layoutControls();
    void firstShow();
    void setStatic(QLabel* label, const std::optional<std::string>& text);
    int selectedEventRow() const;
    void selectEventRow(int row);

    CEndDravik m_engine;
    CWaveFormLeftDlg* m_panel = nullptr;
    COtdrTrace* m_plot = nullptr;
    std::map<int, QToolButton*> m_buttons;
    QCheckBox* m_markers = nullptr;
    QRadioButton* m_independent = nullptr;
    QRadioButton* m_linked = nullptr;
    QSpinBox* m_spin = nullptr;
    QLabel* m_first = nullptr;
    QLabel* m_last = nullptr;
    QLabel* m_perDiv = nullptr;
    QLabel* m_levelPerDiv = nullptr;
    bool m_panelShown = true;
    bool m_shown = false;
    bool m_spinQuiet = false;
};
