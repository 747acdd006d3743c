#include "ScreenSettingsPreview.h"

#include "ColourRef.h"
#include "ConfigStore.h"
#include "Settings.h"

#include <QPainter>
#include <QPixmap>

namespace {

// Dotted grid: four vertical lines at i x (W / 5) and three horizontal ones at H - i x (H / 4).
void drawDottedGrid(QPainter& p, int w, int h, const QColor& colour)
{
    QPen pen(colour, 1, Qt::DotLine);
    p.setPen(pen);
    for (int i = 1; i <= 4; ++i)
        p.drawLine(i * (w / 5), 0, i * (w / 5), h);
    for (int i = 1; i <= 3; ++i)
        p.drawLine(0, h - i * (h / 4), w, h - i * (h / 4));
}

} // namespace

CDrawStaticColor::CDrawStaticColor(const DisplaySettings& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings)
{
    setMinimumSize(160, 110);
}

void CDrawStaticColor::paintEvent(QPaintEvent*)
{
    const int w = width();
    const int h = height();
    QPixmap buffer(size());
    {
        QPainter p(&buffer);
        p.fillRect(0, 0, w, h, colourFromRef(0xD8E9EC));
        p.fillRect(0, 0, w, h, colourFromRef(m_settings.storedBackgroundColour));
        drawDottedGrid(p, w, h, colourFromRef(m_settings.storedGridColour));
        for (int i = 1; i <= 8; ++i) {
            p.setPen(QPen(colourFromRef(m_settings.storedTraceColour[static_cast<size_t>(i - 1)]), 1));
            p.drawLine(10, i * (h / 10), 90, i * (h / 10));
        }
        p.setPen(QPen(colourFromRef(m_settings.storedCursorColour), 1));
        p.drawLine(2 * (w / 3), 0, 2 * (w / 3), h);
        p.drawLine(0, 5 * (h / 6), w, 5 * (h / 6));
    }
    QPainter(this).drawPixmap(0, 0, buffer);
}

CDrawStaticWave::CDrawStaticWave(const ConfigStore& store, const DisplaySettings& settings, QWidget* parent)
    : QWidget(parent), m_store(store), m_settings(settings)
{
    setMinimumSize(160, 110);
}

void CDrawStaticWave::paintEvent(QPaintEvent*)
{
    const int w = width();
    const int h = height();
    const QColor back = colourFromRef(m_store.readColour("Color", "Back"));
    const QColor grid = colourFromRef(m_store.readColour("Color", "Grid"));
    const QColor cursor = colourFromRef(m_store.readColour("Color", "Cursor"));
    QPixmap buffer(size());
    {
        QPainter p(&buffer);
        p.fillRect(0, 0, w, h, back);
        if (m_settings.gridShown)
            drawDottedGrid(p, w, h, grid);
        p.setPen(QPen(cursor, 1));
        p.drawLine(w / 3, 0, w / 3, h);
        if (m_settings.previewGhost) {
            p.setPen(QPen(cursor, 1, Qt::DotLine));
            p.drawLine(2 * (w / 3), 0, 2 * (w / 3), h);
        }
        if (m_settings.previewCursor) {
            // The cursor's cross-hair: a horizontal line through the middle and a short tick
            // at its crossing with the cursor line.
            p.setPen(QPen(cursor, 1));
            p.drawLine(0, h / 2, w, h / 2);
            p.drawLine(w / 3 - 4, h / 2 - 4, w / 3 + 4, h / 2 + 4);
            p.drawLine(w / 3 - 4, h / 2 + 4, w / 3 + 4, h / 2 - 4);
        }
    }
    QPainter(this).drawPixmap(0, 0, buffer);
}
