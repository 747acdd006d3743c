#include "CColorStatic.h"

#include "ColourRef.h"

#include <QPainter>

CColorStatic::CColorStatic(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(32, 16);
}

void CColorStatic::setColour(std::uint32_t ref)
{
    m_colour = ref & 0xFFFFFF;
    update();
}

void CColorStatic::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), colourFromRef(m_colour));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
