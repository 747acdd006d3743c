#include "ScreenSettingsSheet.h"

#include "CColorStatic.h"
#include "ColourRef.h"
#include "ConfigStore.h"
#include "OtdrIds.h"
#include "ScreenSettingsPreview.h"
#include "Settings.h"
#include "Texts.h"
#include "UiPrompts.h"
#include "resources/ResourceIds.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ids = otdr::ids;

namespace {

QString text(const char* key)
{
    return QString::fromStdString(loadText(key));
}

QGroupBox* taggedGroup(const char* key, int id, QWidget* parent)
{
    auto* g = new QGroupBox(text(key), parent);
    otdrTagObject(g, id);
    return g;
}

QRadioButton* taggedRadio(const QString& label, int id, QButtonGroup* group, QWidget* parent)
{
    auto* b = new QRadioButton(label, parent);
    otdrTagObject(b, id);
    group->addButton(b, id);
    return b;
}

// The sheet's Apply button shares its text with the Apply button of the report file selection.
QString applyText()
{
    return text("IDS_REPORT_STEP4_FILESELECT_DLG_APPLY");
}

} // namespace

// ---- Colours page ---------------------------------------------------------------------------

CColorPage::CColorPage(const ConfigStore& store, DisplaySettings& settings, QWidget* parent)
    : QWidget(parent), m_store(store), m_settings(settings)
{
    otdrTagObject(this, ids::kColourPage);
    auto* waves = taggedGroup("IDS_SCREEN_COLOR_WAVE", ids::kColourGroupWave, this);
    auto* backGrid = taggedGroup("IDS_SCREEN_COLOR_BACKANDGRID", ids::kColourGroupBackAndGrid, this);
    auto* other = taggedGroup("IDS_SCREEN_COLOR_OTHER", ids::kColourGroupOther, this);
    auto* previewBox = taggedGroup("IDS_SCREEN_COLOR_PREVIEW", ids::kColourGroupPreview, this);

    auto* waveGrid = new QGridLayout(waves);
    auto* backGridLayout = new QGridLayout(backGrid);
    auto* otherLayout = new QGridLayout(other);
    for (int i = 0; i < screenset::kColourCount; ++i) {
        QGroupBox* box = i < 8 ? waves : (i < screenset::kEventMarkerIndex ? backGrid : other);
        QGridLayout* grid = i < 8 ? waveGrid : (i < screenset::kEventMarkerIndex ? backGridLayout : otherLayout);
        const int row = i < 8 ? i : (i - (i < screenset::kEventMarkerIndex ? 8 : 10));
        auto* label = new QLabel(text(screenset::colourLabelKey(i)), box);
        auto* swatch = new CColorStatic(box);
        otdrTagObject(swatch, screenset::swatchId(i));
        auto* button = new QPushButton(text("IDS_SCREEN_COLOR_BTN_MODE"), box);
        otdrTagObject(button, screenset::changeButtonId(i));
        grid->addWidget(label, row, 0);
        grid->addWidget(swatch, row, 1);
        grid->addWidget(button, row, 2);
        m_swatches[static_cast<size_t>(i)] = swatch;
        connect(button, &QPushButton::clicked, this, [this, i] { changeColour(i); });
    }
    for (QGridLayout* g : {waveGrid, backGridLayout, otherLayout})
        g->setColumnStretch(0, 1);

    m_preview = new CDrawStaticColor(m_settings, previewBox);
    otdrTagObject(m_preview, ids::kColourPreview);
    auto* pl = new QVBoxLayout(previewBox);
    pl->addWidget(m_preview);

    auto* right = new QVBoxLayout;
    right->addWidget(backGrid);
    right->addWidget(other);
    right->addWidget(previewBox, 1);
    auto* top = new QHBoxLayout(this);
    top->addWidget(waves, 1);
    top->addLayout(right, 1);
}

void CColorPage::open()
{
    loadActiveColours(m_store, m_settings);
    for (int i = 0; i < screenset::kColourCount; ++i)
        m_swatches[static_cast<size_t>(i)]->setColour(screenset::activeColour(m_settings, i));
    update();
}

void CColorPage::changeColour(int index)
{
    const auto chosen = uiPrompts().chooseColour(this);
    if (!chosen)
        return;
    const std::uint32_t ref = colourToRef(*chosen);
    m_swatches[static_cast<size_t>(index)]->setColour(ref);
    screenset::setBothColours(m_settings, index, ref);
    if (index == screenset::kBackgroundIndex || index == screenset::kGridIndex)
        Q_EMIT backgroundOrGridChanged();
    m_preview->update();
    update();
}

std::uint32_t CColorPage::swatchColour(int index) const
{
    return m_swatches[static_cast<size_t>(index)]->colour();
}

void CColorPage::apply()
{
    std::array<std::uint32_t, screenset::kColourCount> colours{};
    for (int i = 0; i < screenset::kColourCount; ++i)
        colours[static_cast<size_t>(i)] = swatchColour(i);
    screenset::applyColours(m_store, colours);
    Q_EMIT applied();
}

// ---- Units page -----------------------------------------------------------------------------

CUnitPage::CUnitPage(const ConfigStore& store, DisplaySettings& settings, QWidget* parent)
    : QWidget(parent), m_store(store), m_settings(settings)
{
    otdrTagObject(this, ids::kUnitPage);
    m_db = new QButtonGroup(this);
    m_dist = new QButtonGroup(this);
    m_unit = new QButtonGroup(this);

    auto* dbBox = new QGroupBox(text("IDS_SCREEN_UNIT_DB_FIG"), this);
    auto* distBox = new QGroupBox(text("IDS_SCREEN_UNIT_DIST_FIG"), this);
    auto* unitBox = new QGroupBox(text("IDS_SCREEN_UNIT_DIST_UNIT"), this);
    auto* dbl = new QVBoxLayout(dbBox);
    dbl->addWidget(taggedRadio(text("IDS_SCREEN_UNIT_DB_3DOT"), ids::kUnitDb3, m_db, dbBox));
    dbl->addWidget(taggedRadio(text("IDS_SCREEN_UNIT_DB_2DOT"), ids::kUnitDb2, m_db, dbBox));
    dbl->addWidget(taggedRadio(text("IDS_SCREEN_UNIT_DB_1DOT"), ids::kUnitDb1, m_db, dbBox));
    dbl->addStretch(1);
    auto* dl = new QVBoxLayout(distBox);
    dl->addWidget(taggedRadio(text("IDS_SCREEN_UNIT_DIST_FIG_5DOT"), ids::kUnitDist5, m_dist, distBox));
    dl->addWidget(taggedRadio(text("IDS_SCREEN_UNIT_DIST_FIG_4DOT"), ids::kUnitDist4, m_dist, distBox));
    dl->addWidget(taggedRadio(text("IDS_SCREEN_UNIT_DIST_FIG_3DOT"), ids::kUnitDist3, m_dist, distBox));
    dl->addStretch(1);
    auto* ul = new QVBoxLayout(unitBox);
    ul->addWidget(taggedRadio(QStringLiteral("km"), ids::kUnitKm, m_unit, unitBox));
    ul->addWidget(taggedRadio(QStringLiteral("miles"), ids::kUnitMiles, m_unit, unitBox));
    ul->addWidget(taggedRadio(QStringLiteral("kfeet"), ids::kUnitKfeet, m_unit, unitBox));
    ul->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(dbBox);
    layout->addWidget(distBox);
    layout->addWidget(unitBox);
}

void CUnitPage::open()
{
    auto check = [](QButtonGroup* g, int id) {
        if (auto* b = g->button(id))
            b->setChecked(true);
    };
    switch (m_settings.dbDecimals) {
    case 3: check(m_db, ids::kUnitDb3); break;
    case 2: check(m_db, ids::kUnitDb2); break;
    case 1: check(m_db, ids::kUnitDb1); break;
    default: break;
    }
    switch (m_settings.distanceDecimals) {
    case 5: check(m_dist, ids::kUnitDist5); break;
    case 4: check(m_dist, ids::kUnitDist4); break;
    case 3: check(m_dist, ids::kUnitDist3); break;
    default: break;
    }
    const std::string unit = screenset::unitButtonFor(m_store.read("Unit", "Distance"));
    check(m_unit, unit == "ft" ? ids::kUnitKfeet : unit == "mi" ? ids::kUnitMiles : ids::kUnitKm);
}

void CUnitPage::apply()
{
    screenset::UnitChoice c;
    switch (m_db->checkedId()) {
    case ids::kUnitDb3: c.dbDecimals = 3; break;
    case ids::kUnitDb2: c.dbDecimals = 2; break;
    case ids::kUnitDb1: c.dbDecimals = 1; break;
    default: break;
    }
    switch (m_dist->checkedId()) {
    case ids::kUnitDist5: c.distanceDecimals = 5; break;
    case ids::kUnitDist4: c.distanceDecimals = 4; break;
    case ids::kUnitDist3: c.distanceDecimals = 3; break;
    default: break;
    }
    switch (m_unit->checkedId()) {
    case ids::kUnitKm: c.unit = "m"; break;
    case ids::kUnitMiles: c.unit = "mi"; break;
    case ids::kUnitKfeet: c.unit = "ft"; break;
    default: break;
    }
    screenset::applyUnits(m_store, m_settings, c);
    Q_EMIT applied();
}

// ---- Grid page ------------------------------------------------------------------------------

CWavePage::CWavePage(const ConfigStore& store, DisplaySettings& settings, QWidget* parent)
    : QWidget(parent), m_store(store), m_settings(settings)
{
    otdrTagObject(this, ids::kGridPage);
    auto* gridBox = taggedGroup("IDS_SCREEN_WAVE_GRID", ids::kGridGroup, this);
    auto* previewBox = taggedGroup("IDS_SCREEN_WAVE_PREVIEW", ids::kGridGroupPreview, this);
    auto* group = new QButtonGroup(this);
    m_show = taggedRadio(text("IDS_SCREEN_WAVE_SHOW"), ids::kGridShow, group, gridBox);
    m_hide = taggedRadio(text("IDS_SCREEN_WAVE_HIDE"), ids::kGridHide, group, gridBox);
    auto* gl = new QVBoxLayout(gridBox);
    gl->addWidget(m_show);
    gl->addWidget(m_hide);
    gl->addStretch(1);

    m_preview = new CDrawStaticWave(m_store, m_settings, previewBox);
    otdrTagObject(m_preview, ids::kGridPreview);
    auto* pl = new QVBoxLayout(previewBox);
    pl->addWidget(m_preview);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(gridBox);
    layout->addWidget(previewBox, 1);

    connect(m_show, &QRadioButton::clicked, this, [this] {
        m_settings.gridShown = 1;
        m_preview->update();
        Q_EMIT gridChanged();
    });
    connect(m_hide, &QRadioButton::clicked, this, [this] {
        m_settings.gridShown = 0;
        m_preview->update();
        Q_EMIT gridChanged();
    });
}

void CWavePage::open()
{
    const bool shown = screenset::openGridPage(m_store, m_settings);
    (shown ? m_show : m_hide)->setChecked(true);
    m_preview->update();
}

void CWavePage::apply()
{
    if (m_show->isChecked() || m_hide->isChecked())
        screenset::applyGrid(m_store, m_settings, m_show->isChecked());
    Q_EMIT applied();
}

// ---- Sheet ----------------------------------------------------------------------------------

CConfigSheet::CConfigSheet(const ConfigStore& store, DisplaySettings& settings, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(text("IDS_SCREEN_TITLE"));
    m_tabs = new QTabWidget(this);
    m_colour = new CColorPage(store, settings, m_tabs);
    m_unit = new CUnitPage(store, settings, m_tabs);
    m_wave = new CWavePage(store, settings, m_tabs);
    m_tabs->addTab(m_colour, text("IDS_SCREEN_COLOR_TITLE"));
    m_tabs->addTab(m_unit, text("IDS_SCREEN_UNIT_TITLE"));
    m_tabs->addTab(m_wave, text("IDS_SCREEN_WAVE_TITLE"));

    // OK, Cancel and Apply sit together at the right; there is no Help button.
    auto* ok = new QPushButton(text("IDS_SCREEN_OK"), this);
    auto* cancel = new QPushButton(text("IDS_SCREEN_CANCAL"), this);
    auto* apply = new QPushButton(applyText(), this);
    otdrTagObject(ok, ids::kSheetOk);
    otdrTagObject(cancel, ids::kSheetCancel);
    otdrTagObject(apply, ids::kSheetApply);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(apply);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] {
        applyVisitedPages();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply, &QPushButton::clicked, this, &CConfigSheet::applyVisitedPages);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CConfigSheet::visit);

    connect(m_colour, &CColorPage::backgroundOrGridChanged, this, &CConfigSheet::backgroundOrGridChanged);
    connect(m_colour, &CColorPage::applied, this, &CConfigSheet::coloursApplied);
    connect(m_unit, &CUnitPage::applied, this, &CConfigSheet::unitsApplied);
    connect(m_wave, &CWavePage::applied, this, &CConfigSheet::gridApplied);

    visit(0);
}

void CConfigSheet::visit(int page)
{
    if (page < 0 || page >= 3 || m_visited[static_cast<size_t>(page)])
        return;
    m_visited[static_cast<size_t>(page)] = true;
    switch (page) {
    case 0: m_colour->open(); break;
    case 1: m_unit->open(); break;
    case 2: m_wave->open(); break;
    default: break;
    }
}

void CConfigSheet::applyVisitedPages()
{
    if (m_visited[0])
        m_colour->apply();
    if (m_visited[1])
        m_unit->apply();
    if (m_visited[2])
        m_wave->apply();
}
