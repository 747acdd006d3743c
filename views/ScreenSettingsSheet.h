#pragma once

// The screen-settings sheet (View > Wave Screen Setting): colours, units and grid pages.
// Colours chosen on the colours page and the grid choice take effect in memory at once; the
// configuration changes only when a visited page is applied (Apply or OK).

#include "ScreenSettingsLogic.h"

#include <QDialog>

#include <array>
#include <cstdint>

class CColorStatic;
class CDrawStaticColor;
class CDrawStaticWave;
class ConfigStore;
struct DisplaySettings;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

class CColorPage : public QWidget {
    Q_OBJECT
public:
    CColorPage(const ConfigStore& store, DisplaySettings& settings, QWidget* parent = nullptr);

    // Reads the colours from the configuration into the swatches and the active set.
    void open();
    // Writes the swatch colours to the configuration.
    void apply();
    // Runs the colour dialog for colour i (what the change button does).
    void changeColour(int index);

    std::uint32_t swatchColour(int index) const;

Q_SIGNALS:
    // The background or the grid colour changed: the plot rebuilds its trace layer.
    void backgroundOrGridChanged();
    void applied();

private:
    const ConfigStore& m_store;
    DisplaySettings& m_settings;
    std::array<CColorStatic*, screenset::kColourCount> m_swatches{};
    CDrawStaticColor* m_preview = nullptr;
};

class CUnitPage : public QWidget {
    Q_OBJECT
public:
    CUnitPage(const ConfigStore& store, DisplaySettings& settings, QWidget* parent = nullptr);
    void open();
    void apply();

Q_SIGNALS:
    void applied();

private:
    const ConfigStore& m_store;
    DisplaySettings& m_settings;
    QButtonGroup* m_db = nullptr;
    QButtonGroup* m_dist = nullptr;
    QButtonGroup* m_unit = nullptr;
};

class CWavePage : public QWidget {
    Q_OBJECT
public:
    CWavePage(const ConfigStore& store, DisplaySettings& settings, QWidget* parent = nullptr);
    void open();
    void apply();

Q_SIGNALS:
    void gridChanged();
    void applied();

private:
    const ConfigStore& m_store;
    DisplaySettings& m_settings;
    QRadioButton* m_show = nullptr;
    QRadioButton* m_hide = nullptr;
    CDrawStaticWave* m_preview = nullptr;
};

class CConfigSheet : public QDialog {
    Q_OBJECT
public:
    CConfigSheet(const ConfigStore& store, DisplaySettings& settings, QWidget* parent = nullptr);

    CColorPage* colourPage() const { return m_colour; }
    CUnitPage* unitPage() const { return m_unit; }
    CWavePage* wavePage() const { return m_wave; }
    QTabWidget* tabs() const { return m_tabs; }

    // Applies every page that was shown at least once (Apply; OK does this, then closes).
    void applyVisitedPages();

Q_SIGNALS:
    void backgroundOrGridChanged();
    void coloursApplied();
    void unitsApplied();
    void gridApplied();

private:
    void visit(int page);

    QTabWidget* m_tabs = nullptr;
    CColorPage* m_colour = nullptr;
    CUnitPage* m_unit = nullptr;
    CWavePage* m_wave = nullptr;
    std::array<bool, 3> m_visited{};
};
