#include "CWaveform.h"

#include "COtdrTrace.h"
#include "CWaveFormLeftDlg.h"
#include "ConfigStore.h"
#include "OtdrIds.h"
#include "PlotFormats.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceAnalysis.h"
#include "TraceTable.h"
#include "resources/ResourceIds.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace ids = otdr::ids;

namespace {

constexpr int kPanelWidth = 254;
constexpr int kPlotLeft = 256;
constexpr double kZoomFactor = 0.02;

struct ButtonDef {
    int id;
    const char* icon;
    const char* key;
    const char* fallback;
};

const ButtonDef kButtons[] = {
    {ids::kWaveZoomHIn, "wave_zoom_h_in.svg", "IDS_BUTTON_HORIZON_ZOOM_IN", "水平放大"},
    {ids::kWaveZoomHOut, "wave_zoom_h_out.svg", "IDS_BUTTON_HORIZON_ZOOM_OUT", "水平缩小"},
    {ids::kWaveZoomVIn, "wave_zoom_v_in.svg", "IDS_BUTTON_VERTICAL_ZOOM_IN", "竖直放大"},
    {ids::kWaveZoomVOut, "wave_zoom_v_out.svg", "IDS_BUTTON_VERTICAL_ZOOM_OUT", "竖直缩小"},
    {ids::kWaveShowAll, "wave_full.svg", "IDS_BUTTON_SCALE_INITIALIZE", "原始大小"},
    {ids::kWavePrevEvent, "wave_event_prev.svg", "IDS_BUTTON_PRE_EVENT", "上一事件"},
    {ids::kWaveNextEvent, "wave_event_next.svg", "IDS_BUTTON_NEXT_EVENT", "下一事件"},
    {ids::kWaveAddEvent, "wave_event_add.svg", "IDS_BUTTON_ADD_EVENT", "添加事件"},
    {ids::kWaveDeleteEvent, "wave_event_delete.svg", "IDS_BUTTON_DELETE_EVENT", "删除事件"},
};

// Buttons of the template that are kept hidden; only their tooltips are set.
const ButtonDef kHiddenButtons[] = {
    {ids::kWaveCursorButton, nullptr, "IDS_BUTTON_CURSOR", "光标A\\B\\AB切换"},
    {1006, nullptr, "IDS_BUTTON_MK1", "MK1"},
    {1007, nullptr, "IDS_BUTTON_MK2", "MK2"},
    {1008, nullptr, "IDS_BUTTON_CLEAR", "消除"},
};

QString textOr(const char* key, const char* fallback)
{
    const std::string t = loadText(key);
    return t.empty() ? QString::fromUtf8(fallback) : QString::fromStdString(t);
}

int maxWholeLevelOf(const TraceRecord& r)
{
    const std::size_t n = std::min<std::size_t>(r.sampleCount, r.samples.size());
    if (n == 0)
        return 0;
    const std::uint16_t lowest = *std::min_element(r.samples.begin(), r.samples.begin() + static_cast<long>(n));
    return static_cast<int>(sampleLevel(lowest));
}

bool sameCurve(const PlotCurve& c, const TraceRecord& r)
{
    return c.source == &r && c.pointCount == static_cast<int>(std::min<std::size_t>(r.sampleCount, r.samples.size()))
        && c.length == r.length && c.spacing == r.sampleSpacing;
}

bool sameEvents(const PlotCurve& c, const TraceRecord& r)
{
    if (c.events.size() != r.events.size())
        return false;
    for (std::size_t i = 0; i < c.events.size(); ++i)
        if (c.events[i].pointIndex != r.events[i].sampleIndex || c.events[i].distance != r.events[i].distance)
            return false;
    return true;
}

} // namespace

CWaveform::CWaveform(QWidget* parent) : QWidget(parent)
{
    otdrTagObject(this, ids::kWaveView);
    setMinimumSize(480, 200);

    m_panel = new CWaveFormLeftDlg(this);
    m_panel->move(0, 0);

    m_plot = new COtdrTrace(this);

    for (const ButtonDef& b : kButtons)
        m_buttons[b.id] = makeButton(b.id, b.icon, b.fallback);
    for (const ButtonDef& b : kHiddenButtons) {
        QToolButton* hidden = makeButton(b.id, nullptr, b.fallback);
        hidden->hide();
    }

    m_markers = new QCheckBox(QStringLiteral("AB"), this);
    otdrTagObject(m_markers, ids::kWaveMarkersCheck);
    m_independent = new QRadioButton(QStringLiteral("A/B"), this);
    otdrTagObject(m_independent, ids::kWaveMarkersIndependent);
    m_linked = new QRadioButton(QStringLiteral("AB"), this);
    otdrTagObject(m_linked, ids::kWaveMarkersLinked);
    m_independent->setChecked(true);
    m_independent->setEnabled(false);
    m_linked->setEnabled(false);

    m_spin = new QSpinBox(this);
    otdrTagObject(m_spin, ids::kWaveOffsetSpin);
    m_spin->setRange(0, 300);
    m_spin->setSingleStep(1);

    auto makeStatic = [this](int id, const char* text, Qt::Alignment align) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        otdrTagObject(l, id);
        l->setAlignment(align | Qt::AlignVCenter);
        return l;
    };
    m_first = makeStatic(ids::kWaveFirstDistance, "----.-----", Qt::AlignLeft);
    m_last = makeStatic(ids::kWaveLastDistance, "---.----", Qt::AlignRight);
    m_perDiv = makeStatic(ids::kWaveDistancePerDiv, "---.-----/div", Qt::AlignHCenter);
    m_levelPerDiv = makeStatic(ids::kWaveLevelPerDiv, "---.----dB/div", Qt::AlignLeft);
    m_levelPerDiv->hide();
    makeStatic(ids::kWaveLevelHidden, "----.---dB", Qt::AlignLeft)->hide();

    auto connectButton = [this](int id, auto fn) { connect(m_buttons[id], &QToolButton::clicked, this, fn); };
    connectButton(ids::kWaveZoomHIn, [this] { zoom(true, true); });
    connectButton(ids::kWaveZoomHOut, [this] { zoom(true, false); });
    connectButton(ids::kWaveZoomVIn, [this] { zoom(false, true); });
    connectButton(ids::kWaveZoomVOut, [this] { zoom(false, false); });
    connectButton(ids::kWaveShowAll, [this] { showEverything(); });
    connectButton(ids::kWavePrevEvent, [this] { previousEvent(); });
    connectButton(ids::kWaveNextEvent, [this] { nextEvent(); });
    connectButton(ids::kWaveAddEvent, [this] { addEvent(); });
    connectButton(ids::kWaveDeleteEvent, [this] { deleteEvent(); });

    connect(m_markers, &QCheckBox::toggled, this, [this](bool on) {
        m_plot->setMarkersShown(on);
        m_independent->setEnabled(on);
        m_linked->setEnabled(on);
    });
    connect(m_plot, &COtdrTrace::markersShownChanged, this, [this](bool on) {
        const QSignalBlocker block(m_markers);
        m_markers->setChecked(on);
        m_independent->setEnabled(on);
        m_linked->setEnabled(on);
    });
    connect(m_independent, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_plot->setLinkedMarkers(false);
    });
    connect(m_linked, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_plot->setLinkedMarkers(true);
    });
    if (QToolButton* cursor = findChild<QToolButton*>(QStringLiteral("id_%1").arg(ids::kWaveCursorButton)))
        connect(cursor, &QToolButton::clicked, this, [this] { m_independent->setChecked(true); });
    connect(m_spin, &QSpinBox::valueChanged, this, [this](int v) {
        if (!m_spinQuiet && m_plot->curveCount() > 0)
            m_plot->setCurrentVerticalOffset(-v);
    });
    // A rebuilt layer refreshes the texts under the plot from the window shown, so that the
    // per-division text always describes the divisions on the screen.
    connect(m_plot, &COtdrTrace::curveDistanceTextsNeeded, this, [this](int) { RefreshDistanceTexts(); });
    connect(m_plot, &COtdrTrace::windowChanged, this, [this] {
        RefreshDistanceTexts();
        RefreshLevelText();
    });

    connect(m_panel, &CWaveFormLeftDlg::traceSelected, this, &CWaveform::selectTrace);
    connect(m_panel, &CWaveFormLeftDlg::closeRequested, this, &CWaveform::closeTrace);
    connect(m_panel, &CWaveFormLeftDlg::multiTraceToggled, this, [this](bool on) {
        const int current = m_plot->currentCurve();
        for (int i = 0; i < m_plot->curveCount(); ++i)
            m_plot->SetCurveVisible(i, on || i == current);
        m_plot->RecomputeMaxLength();
        m_plot->RebuildTraceLayer(current);
        m_plot->update();
    });

    ApplyLanguage();
    layoutControls();
}

CWaveform::~CWaveform() = default;

QToolButton* CWaveform::makeButton(int id, const char* icon, const char* tip)
{
    auto* b = new QToolButton(this);
    otdrTagObject(b, id);
    if (icon)
        b->setIcon(QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(icon)));
    b->setIconSize(QSize(26, 26));
    b->setAutoRaise(true);
    b->setToolTip(QString::fromUtf8(tip));
    return b;
}

void CWaveform::ApplyLanguage()
{
    setWindowTitle(textOr("IDS_FRM_WAVE_TITLE", "Waveform"));
    for (const ButtonDef& b : kButtons)
        m_buttons[b.id]->setToolTip(textOr(b.key, b.fallback));
    for (const ButtonDef& b : kHiddenButtons)
        if (QToolButton* h = findChild<QToolButton*>(QStringLiteral("id_%1").arg(b.id)))
            h->setToolTip(textOr(b.key, b.fallback));
    m_panel->ApplyLanguage();
}

// ---- Layout ----------------------------------------------------------------------------------

void CWaveform::layoutControls()
{
    const int w = width(), h = height();
    const int shift = m_panelShown ? 0 : -kPanelWidth;
    m_panel->setGeometry(0, 0, kPanelWidth, h);
    m_panel->setVisible(m_panelShown);
    const int x0 = kPlotLeft + shift;
    m_plot->setGeometry(x0, 0, std::max(w - x0, 1), std::max(h - 56, 1));
    const int textTop = h - 56;
    const int span = std::max(w - x0, 1);
    m_first->setGeometry(x0 + 4, textTop, 180, 16);
    m_perDiv->setGeometry(x0 + span / 2 - 90, textTop, 180, 16);
    m_last->setGeometry(w - 184, textTop, 180, 16);
    m_levelPerDiv->setGeometry(x0 + span / 2 + 100, textTop, 120, 16);
    int x = x0 + 4;
    const int y = h - 37;
    for (const ButtonDef& b : kButtons) {
        m_buttons[b.id]->setGeometry(x, y, 34, 34);
        x += (b.id == ids::kWaveShowAll || b.id == ids::kWaveNextEvent) ? 46 : 36;
    }
    x += 10;
    m_markers->setGeometry(x, y + 7, 50, 20);
    m_independent->setGeometry(x + 52, y + 7, 58, 20);
    m_linked->setGeometry(x + 112, y + 7, 50, 20);
    m_spin->setGeometry(x + 172, y + 5, 70, 24);
}

void CWaveform::resizeEvent(QResizeEvent*)
{
    layoutControls();
}

void CWaveform::ShowLeftPanel(bool show)
{
    m_panelShown = show;
    layoutControls();
}

void CWaveform::showEvent(QShowEvent*)
{
    if (!m_shown) {
        m_shown = true;
        firstShow();
    }
}

void CWaveform::firstShow()
{
    layoutControls();
    m_plot->InitScrollBars();
    loadActiveColours(configStore(), displaySettings());
    m_independent->setChecked(true);
    m_independent->setEnabled(m_markers->isChecked());
    m_linked->setEnabled(m_markers->isChecked());
    m_plot->RebuildTraceLayer(m_plot->curveCount() ? m_plot->currentCurve() : -1);
}

void CWaveform::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x80, 0x80, 0xFF));
}

// ---- Texts -----------------------------------------------------------------------------------

void CWaveform::setStatic(QLabel* label, const std::optional<std::string>& text)
{
    if (text)
        label->setText(QString::fromStdString(*text));
}

void CWaveform::RefreshDistanceTexts()
{
    if (traceTable().loadedCount <= 0)
        return;
    const DisplaySettings& ds = displaySettings();
    const PlotState& s = m_plot->state();
    setStatic(m_first, scaleDistanceText(s.xMin() / 1000.0, ds.distanceUnit, ds.distanceDecimals, false));
    setStatic(m_last, scaleDistanceText(s.xMax() / 1000.0, ds.distanceUnit, ds.distanceDecimals, false));
    setStatic(m_perDiv, scaleDistanceText((s.xMax() - s.xMin()) / 1000.0 / 10, ds.distanceUnit,
                                          ds.distanceDecimals, true));
}

void CWaveform::RefreshCurveDistanceTexts(int curve)
{
    if (traceTable().loadedCount <= 0 || curve < 0 || curve >= m_plot->curveCount())
        return;
    const DisplaySettings& ds = displaySettings();
    const PlotState& s = m_plot->state();
    const float length = s.curves()[static_cast<std::size_t>(curve)].length;
    setStatic(m_first, scaleDistanceText(s.xMin() / 1000.0, ds.distanceUnit, ds.distanceDecimals, false));
    setStatic(m_last, scaleDistanceText(length / 1000.0, ds.distanceUnit, ds.distanceDecimals, false));
    setStatic(m_perDiv, scaleDistanceText((length - s.xMin()) / 1000.0 / 10, ds.distanceUnit,
                                          ds.distanceDecimals, true));
}

void CWaveform::RefreshLevelText()
{
    if (traceTable().loadedCount <= 0)
        return;
    const PlotState& s = m_plot->state();
    setStatic(m_levelPerDiv, levelPerDivText((s.yMax() - s.yMin()) * 0.125, displaySettings().dbDecimals));
}

// ---- Buttons ---------------------------------------------------------------------------------

void CWaveform::zoom(bool horizontal, bool in)
{
    if (horizontal) {
        m_plot->ZoomHorizontal(in, kZoomFactor);
        RefreshDistanceTexts();
    } else {
        m_plot->ZoomVertical(in, kZoomFactor);
        RefreshLevelText();
    }
}

void CWaveform::showEverything()
{
    m_spinQuiet = true;
    m_spin->setValue(0);
    m_spinQuiet = false;
    m_plot->ShowAll();
    RefreshDistanceTexts();
    RefreshLevelText();
}

QAbstractItemView* CWaveform::eventList() const
{
    return otdrFindChild<QAbstractItemView>(window(), ids::kEventTableList);
}

int CWaveform::selectedEventRow() const
{
    QAbstractItemView* list = eventList();
    if (!list || !list->selectionModel())
        return -1;
    int row = -1;
    for (const QModelIndex& i : list->selectionModel()->selectedIndexes())
        if (row < 0 || i.row() < row)
            row = i.row();
    return row;
}

void CWaveform::selectEventRow(int row)
{
    QAbstractItemView* list = eventList();
    if (!list || !list->model() || row < 0 || row >= list->model()->rowCount())
        return;
    const QModelIndex index = list->model()->index(row, 0);
    list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->scrollTo(index);
}

void CWaveform::previousEvent()
{
    const int s = selectedEventRow();
    if (s > 0) {
        m_plot->MoveActiveMarkerToEvent(s - 1);
        selectEventRow(s - 1);
    }
}

void CWaveform::nextEvent()
{
    const int s = selectedEventRow();
    QAbstractItemView* list = eventList();
    if (s < 0 || !list || !list->model())
        return;
    const int rows = list->model()->rowCount();
    if (s < rows - 1) {
        m_plot->MoveActiveMarkerToEvent(s + 1);
        selectEventRow(s + 1);
    } else if (s > 0) {
        selectEventRow(0);
    }
}

void CWaveform::applyEventEdit(TraceRecord& record, const Dravik_Result& result)
{
    // Distances follow from the sample indices exactly as after the automatic search.
    applyEngineResult(record, result);
    m_plot->RefreshCurveEvents(traceTable().currentTrace, record);
    m_plot->RebuildTraceLayer(m_plot->currentCurve());
    m_plot->update();
    Q_EMIT tracesEdited();
}

void CWaveform::addEvent()
{
    TraceTable& table = traceTable();
    TraceRecord* r = table.loadedCount > 0 ? table.currentRecord() : nullptr;
    if (!r || r->events.empty())
        return;
    const int position = m_plot->ActiveMarkerPointIndex();
    const float backscatter = autoSearchParametersFor(*r, analysisSettings()).backscatterDb;
    Dravik_Result result;
    try {
        result = m_engine.insertEvent(position, r->wavelengthNm, r->pulseWidthNs, r->sampleData(),
                                      static_cast<int>(r->sampleCount), r->result, r->refractiveIndex,
                                      r->sampleRateMHz, backscatter);
    } catch (...) {
        return;
    }
    applyEventEdit(*r, result);
    if (QAbstractItemView* list = eventList(); list && list->model())
        selectEventRow(list->model()->rowCount() - 1);
}

void CWaveform::deleteEvent()
{
    TraceTable& table = traceTable();
    TraceRecord* r = table.loadedCount > 0 ? table.currentRecord() : nullptr;
    const int s = selectedEventRow();
    if (!r || s < 0 || s > r->result.count)
        return;
    const float backscatter = autoSearchParametersFor(*r, analysisSettings()).backscatterDb;
    Dravik_Result result;
    try {
        result = m_engine.deleteEvent(s, r->wavelengthNm, r->pulseWidthNs, r->sampleData(),
                                      static_cast<int>(r->sampleCount), r->result, r->refractiveIndex,
                                      r->sampleRateMHz, backscatter);
    } catch (...) {
        return;
    }
    applyEventEdit(*r, result);
    selectEventRow(std::max(s - 1, 0));
}

// ---- Traces ----------------------------------------------------------------------------------

void CWaveform::selectTrace(int row)
{
    TraceTable& table = traceTable();
    if (row < 0 || row >= table.loadedCount)
        return;
    table.currentTrace = row;
    if (row < m_plot->curveCount()) {
        m_spinQuiet = true;
        m_spin->setValue(-m_plot->state().curves()[static_cast<std::size_t>(row)].verticalOffset);
        m_spinQuiet = false;
    }
    m_plot->SelectCurve(row);
    m_panel->ShowConditions();
    Q_EMIT currentTraceSelected();
    if (row < m_plot->curveCount()) {
        m_plot->SetWindow(0, m_plot->state().curves()[static_cast<std::size_t>(row)].length, 0, 65.535f, true);
        m_plot->ResetMarkers();
    }
    RefreshDistanceTexts();
    RefreshLevelText();
}

void CWaveform::closeTrace(int row)
{
    TraceTable& table = traceTable();
    if (row < 0 || row >= table.loadedCount)
        return;
    // The row closed is the current trace, so the table and the plot lose the same trace.
    table.currentTrace = row;
    table.removeCurrentTrace();
    m_panel->RefillTraceList();
    m_panel->ShowConditions();
    m_plot->RemoveCurve(row);
    RefreshDistanceTexts();
    RefreshLevelText();
    m_plot->AfterCurveClosed();
    if (table.loadedCount > 0) {
        // The plot's current curve follows the table's current trace.
        m_plot->SelectCurve(table.currentTrace);
        m_panel->selectRow(table.currentTrace);
        m_panel->ShowConditions();
    } else {
        m_plot->ClearCurves();
    }
    Q_EMIT tracesEdited();
}

void CWaveform::onTracesChanged()
{
    TraceTable& table = traceTable();
    std::vector<TraceRecord*> records;
    for (int i = 0; i < table.loadedCount && TraceTable::validSlot(i); ++i)
        if (table.slots[static_cast<std::size_t>(i)].loaded)
            records.push_back(&table.record(i));

    std::vector<PlotCurve>& curves = m_plot->state().curves();
    std::size_t keep = 0;
    while (keep < curves.size() && keep < records.size() && sameCurve(curves[keep], *records[keep]))
        ++keep;
    if (keep < curves.size()) {
        if (keep == 0) {
            m_plot->ClearCurves();
        } else {
            while (curves.size() > keep)
                m_plot->RemoveCurve(static_cast<int>(curves.size()) - 1);
            m_plot->AfterCurveClosed();
        }
    }
    // Event lists replaced by the automatic search are shown, as a curve added again would be.
    for (std::size_t i = 0; i < keep; ++i) {
        if (!sameEvents(curves[i], *records[i])) {
            m_plot->RefreshCurveEvents(static_cast<int>(i), *records[i]);
            if (!records[i]->events.empty())
                curves[i].showEvents = 1;
        }
    }
    for (std::size_t i = keep; i < records.size(); ++i) {
        ViewWindow& vw = m_plot->state().shared();
        vw.fullScaleDb = updateFullScale(vw.fullScaleDb, maxWholeLevelOf(*records[i]), static_cast<int>(i));
        m_plot->AddCurve(*records[i], records[i]->colour);
    }
    if (!curves.empty()) {
        const int current = std::clamp(table.currentTrace, 0, static_cast<int>(curves.size()) - 1);
        m_plot->SelectCurve(current);
        m_spinQuiet = true;
        m_spin->setValue(-curves[static_cast<std::size_t>(current)].verticalOffset);
        m_spinQuiet = false;
    }
    m_panel->RefillTraceList();
    m_panel->selectRow(table.loadedCount > 0 ? table.currentTrace : -1);
    m_panel->ShowConditions();
    RefreshDistanceTexts();
    RefreshLevelText();
    m_plot->update();
}

void CWaveform::onCurrentTraceChanged()
{
    const TraceTable& table = traceTable();
    if (table.currentTrace < m_plot->curveCount())
        m_plot->SelectCurve(table.currentTrace);
    m_panel->selectRow(table.currentTrace);
    m_panel->ShowConditions();
}

void CWaveform::onDisplaySettingsChanged()
{
    m_panel->RebuildSwatches();
    m_panel->selectRow(traceTable().loadedCount > 0 ? traceTable().currentTrace : -1);
    m_panel->ShowConditions();
    m_plot->RebuildTraceLayer(m_plot->curveCount() ? m_plot->currentCurve() : -1);
    m_plot->update();
    RefreshDistanceTexts();
    RefreshLevelText();
}
