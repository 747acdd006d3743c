#pragma once

// The thumbnail: the whole current trace, one column per pixel, with a green box around the part
// the trace plot shows.

#include "ViewRefresh.h"

#include <QWidget>

class CThumbnail : public QWidget, public CViewRefresh {
    Q_OBJECT
public:
    explicit CThumbnail(QWidget* parent = nullptr);

    // Recomputes the thumbnail points of every loaded trace for the present size.
    void RebuildThumbnails();
    void ApplyLanguage();

    void onTracesChanged() override;
    void onCurrentTraceChanged() override { update(); }
    void retranslate() override { ApplyLanguage(); }
    void onDisplaySettingsChanged() override { update(); }

    // Draws the view into a painter of the view's size.
    void render(QPainter& p);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
