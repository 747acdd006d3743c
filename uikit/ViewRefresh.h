#pragma once

// What the main frame asks of the long-lived views in its child frames. A view implements
// the calls it cares about; the frame calls them on every view it holds.
class CViewRefresh {
public:
    virtual ~CViewRefresh() = default;

    // The set of loaded traces changed (a trace was read, closed, or the table emptied).
    virtual void onTracesChanged() {}
    // Another trace became the current one.
    virtual void onCurrentTraceChanged() {}
    // The interface language changed: fetch every text again.
    virtual void retranslate() {}
    // Colours, units, decimals or the grid of the display settings changed.
    virtual void onDisplaySettingsChanged() {}
    // Shows or hides the view's side panel (the trace view's trace list and conditions).
    virtual void showLeftPanel(bool) {}
};
