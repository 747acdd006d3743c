#pragma once

#include <QWidget>

#include <cstdint>

// A colour swatch: a small frame filled with one solid colour (0x00BBGGRR).
class CColorStatic : public QWidget {
    Q_OBJECT
public:
    explicit CColorStatic(QWidget* parent = nullptr);

    void setColour(std::uint32_t ref);
    std::uint32_t colour() const { return m_colour; }

    QSize sizeHint() const override { return {48, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::uint32_t m_colour = 0;
};
