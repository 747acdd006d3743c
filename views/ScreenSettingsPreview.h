#pragma once

#include <QWidget>

class ConfigStore;
struct DisplaySettings;

// Preview of the colours page: background, grid, the eight trace colours and the cursor cross,
// all from the stored colour set.
class CDrawStaticColor : public QWidget {
    Q_OBJECT
public:
    CDrawStaticColor(const DisplaySettings& settings, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {220, 150}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const DisplaySettings& m_settings;
};

// Preview of the grid page: colours read from the configuration at each paint, the grid when
// shown, and the cursor lines.
class CDrawStaticWave : public QWidget {
    Q_OBJECT
public:
    CDrawStaticWave(const ConfigStore& store, const DisplaySettings& settings, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {260, 170}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ConfigStore& m_store;
    const DisplaySettings& m_settings;
};
