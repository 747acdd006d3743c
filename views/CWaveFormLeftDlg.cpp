#include "CWaveFormLeftDlg.h"

#include "ColourRef.h"
#include "ConfigStore.h"
#include "OtdrIds.h"
#include "PlotFormats.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceTable.h"
#include "resources/ResourceIds.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ids = otdr::ids;

namespace {

QString textOr(const char* key, const QString& fallback)
{
    const std::string t = loadText(key);
    return t.empty() ? fallback : QString::fromStdString(t);
}

struct Condition {
    int labelId;
    const char* labelKey;
    const char* labelDefault;
    int valueId;
    const char* valueInitial;
};

const Condition kConditions[5] = {
    {ids::kLeftWavelengthLabel, "IDS_FRM_WAVE_DLG_WAVE_LENGTH", "波长:", ids::kLeftWavelength, "--.-- nm"},
    {ids::kLeftPulseLabel, "IDS_FRM_WAVE_DLG_PULSE_WIDTH", "脉宽:", ids::kLeftPulse, "---"},
    {ids::kLeftRangeLabel, "IDS_FRM_WAVE_DLG_RANGE", "测量范围:", ids::kLeftRange, "---"},
    {ids::kLeftIndexLabel, "IDS_FRM_WAVE_DLG_REFRACTION", "折射率:", ids::kLeftIndex, "-.---"},
    {ids::kLeftSamplesLabel, "IDS_FRM_WAVE_DLG_SAMPLE", "采样数:", ids::kLeftSamples, ""},
};

} // namespace

CWaveFormLeftDlg::CWaveFormLeftDlg(QWidget* parent) : QWidget(parent)
{
    otdrTagObject(this, ids::kWaveLeftPanel);
    setAutoFillBackground(true);

    m_multi = new QCheckBox(QStringLiteral("多波形显示"), this);
    otdrTagObject(m_multi, ids::kLeftMultiTrace);

    m_list = new QTreeWidget(this);
    otdrTagObject(m_list, ids::kLeftTraceList);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("No"), QStringLiteral("文件名")});
    m_list->setColumnWidth(0, 50);
    m_list->setColumnWidth(1, 176);
    m_list->setIconSize(QSize(16, 16));
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setAlternatingRowColors(true);

    m_group = new QGroupBox(QStringLiteral("测量条件"), this);
    otdrTagObject(m_group, ids::kLeftConditionsGroup);
    auto* grid = new QGridLayout(m_group);
    for (int i = 0; i < 5; ++i) {
        const Condition& c = kConditions[i];
        m_labels[i] = new QLabel(QString::fromUtf8(c.labelDefault), m_group);
        otdrTagObject(m_labels[i], c.labelId);
        m_values[i] = valueLabel(c.valueId, QString::fromUtf8(c.valueInitial));
        grid->addWidget(m_labels[i], i, 0);
        grid->addWidget(m_values[i], i, 1);
    }
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_multi);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_group);

    // Creation: swatches, columns, the check box from the display settings.
    RebuildSwatches();
    m_multi->setChecked(displaySettings().multiTraceDisplay != 0);

    connect(m_multi, &QCheckBox::toggled, this, [this](bool on) {
        displaySettings().multiTraceDisplay = on ? 1 : 0;
        writeConfigInt("FileList", "MultiMode", on ? 1 : 0);
        Q_EMIT multiTraceToggled(on);
    });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CWaveFormLeftDlg::onSelectionChanged);
    connect(m_list, &QTreeWidget::customContextMenuRequested, this, &CWaveFormLeftDlg::onContextMenu);
}

QLabel* CWaveFormLeftDlg::valueLabel(int id, const QString& initial)
{
    auto* l = new QLabel(initial, m_group);
    otdrTagObject(l, id);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

void CWaveFormLeftDlg::RebuildSwatches()
{
    // Rows take their swatch from their position, so the icons follow the rows on every refill.
    RefillTraceList();
}

static QIcon swatchIcon(std::uint32_t colour)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.fillRect(QRect(0, 0, 15, 15), colourFromRef(colour));
    p.setPen(QColor(90, 90, 90));
    p.drawRect(QRect(0, 0, 14, 14));
    return QIcon(pm);
}

void CWaveFormLeftDlg::RefillTraceList()
{
    const TraceTable& table = traceTable();
    const DisplaySettings& ds = displaySettings();
    m_quiet = true;
    m_list->clear();
    for (int i = 0; i < table.loadedCount && TraceTable::validSlot(i); ++i) {
        const TraceSlot& slot = table.slots[static_cast<std::size_t>(i)];
        if (!slot.loaded)
            continue;
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, QString::asprintf("%d", i + 1));
        item->setText(1, QString::fromStdString(slot.fileName));
        item->setToolTip(1, QString::fromStdString(slot.filePath));
        item->setIcon(0, swatchIcon(ds.storedTraceColour[static_cast<std::size_t>(i % 8)]));
        item->setData(0, Qt::UserRole, i);
    }
    m_quiet = false;
}

void CWaveFormLeftDlg::selectRow(int row)
{
    m_quiet = true;
    m_list->clearSelection();
    if (QTreeWidgetItem* item = m_list->topLevelItem(row)) {
        item->setSelected(true);
        m_list->setCurrentItem(item);
    }
    m_quiet = false;
}

void CWaveFormLeftDlg::ShowConditions()
{
    TraceTable& table = traceTable();
    const TraceRecord* r = table.loadedCount > 0 ? table.currentRecord() : nullptr;
    if (!r) {
        for (int i = 0; i < 5; ++i)
            m_values[i]->setText(QString::fromUtf8(kConditions[i].valueInitial));
        return;
    }
    const std::string unit = displaySettings().distanceUnit;
    const std::string values[5] = {
        formatText("%d", r->wavelengthNm),
        pulseWidthText(r->pulseWidthNs),
        rangeText(r->rangeMetres, unit),
        formatText("%.3f", r->refractiveIndex),
        formatText("%d", static_cast<int>(r->sampleCount)),
    };
    for (int i = 0; i < 5; ++i) {
        const std::string present = m_values[i]->text().toStdString();
        m_values[i]->setText(QString::fromStdString(keepUnitSuffix(present, values[i])));
    }
}

void CWaveFormLeftDlg::ApplyLanguage()
{
    m_multi->setText(textOr("IDS_FRM_WAVE_DLG_MUL_WAVE", QStringLiteral("多波形显示")));
    m_list->setHeaderLabels({QStringLiteral("No"), textOr("IDS_FRM_VIEW_DLG_FILENAME", QStringLiteral("文件名"))});
    m_group->setTitle(textOr("IDS_FRM_WAVE_DLG_TEST_CON", QStringLiteral("测量条件")));
    for (int i = 0; i < 5; ++i)
        m_labels[i]->setText(textOr(kConditions[i].labelKey, QString::fromUtf8(kConditions[i].labelDefault)));
}

void CWaveFormLeftDlg::onSelectionChanged()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        m_lastChanged = m_list->currentItem() ? m_list->indexOfTopLevelItem(m_list->currentItem()) : -1;
        return;
    }
    const int row = m_list->indexOfTopLevelItem(selected.first());
    m_lastChanged = row;
    if (!m_quiet)
        Q_EMIT traceSelected(row);
}

void CWaveFormLeftDlg::onContextMenu(const QPoint& pos)
{
    QTreeWidgetItem* item = m_list->itemAt(pos);
    if (!item)
        return;
    // The clicked row becomes the selected and current trace first, so that the trace closed
    // in the table and the curve removed from the plot are the same one.
    const int row = m_list->indexOfTopLevelItem(item);
    if (!item->isSelected()) {
        m_list->clearSelection();
        item->setSelected(true);
        m_list->setCurrentItem(item);
    }
    QMenu menu(this);
    const int language = currentLanguage();
    otdrTagObject(&menu, language == kLanguageEnglish      ? ids::kLeftMenuEnglish
                         : language == kLanguagePortuguese ? ids::kLeftMenuPortuguese
                                                           : ids::kLeftMenuChinese);
    const QString caption = language == kLanguageEnglish      ? QStringLiteral("Quit")
                            : language == kLanguagePortuguese ? QStringLiteral("Desistir")
                                                              : QStringLiteral("关闭");
    QAction* close = menu.addAction(caption);
    otdrTagObject(close, ids::kCmdCloseTrace);
    QAction* chosen = menu.exec(m_list->viewport()->mapToGlobal(pos));
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    m_rowToClose = selected.isEmpty() ? row : m_list->indexOfTopLevelItem(selected.first());
    if (chosen == close)
        closeRow(m_rowToClose);
}

void CWaveFormLeftDlg::closeRow(int row)
{
    if (row < 0 || row >= m_list->topLevelItemCount())
        return;
    m_rowToClose = row;
    if (traceTable().currentTrace != row)
        Q_EMIT traceSelected(row);
    Q_EMIT closeRequested(row);
}
