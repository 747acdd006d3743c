#pragma once

// The views of the five child frames. Each view is a QWidget that also implements CViewRefresh,
// through which the main frame tells it what changed. Until the full views are built, simple
// placeholder views stand in for them.

#include "ViewRefresh.h"

#include <QWidget>

enum class FrameKind { Wave, Event, Thumbnail, Report, MainSetting };

// Creates the view of a child frame.
QWidget* createFrameView(FrameKind kind, QWidget* parent);

// The refresh interface of a view (nullptr when it has none).
CViewRefresh* viewRefresh(QWidget* view);

class QTreeWidget;

// A stand-in view: the trace view and the thumbnail draw the loaded traces, the event table
// lists the current trace's events, the report views show their title.
class CPlaceholderView : public QWidget, public CViewRefresh {
    Q_OBJECT
public:
    CPlaceholderView(FrameKind kind, QWidget* parent = nullptr);

    void onTracesChanged() override;
    void onCurrentTraceChanged() override;
    void retranslate() override;
    void onDisplaySettingsChanged() override;

    FrameKind kind() const { return m_kind; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refillEvents();

    FrameKind m_kind;
    QTreeWidget* m_events = nullptr;
};
