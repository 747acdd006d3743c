#include "CEventSearchPageSheet.h"

#include "CNumericSpin.h"
#include "ConfigStore.h"
#include "OtdrIds.h"
#include "Texts.h"
#include "resources/ResourceIds.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ids = otdr::ids;
using anacon::ConditionRow;

namespace {

QString text(const char* key)
{
    return QString::fromStdString(loadText(key));
}

// The label's text from its key; a label whose key has no text keeps what it shows.
void setLabelFromKey(QLabel* label, const char* key)
{
    const QString t = text(key);
    if (!t.isEmpty())
        label->setText(t);
}

void setGroupFromKey(QGroupBox* group, const char* key)
{
    const QString t = text(key);
    if (!t.isEmpty())
        group->setTitle(t);
}

CNumericSpin* makeSpin(const ConditionRow& row, QWidget* parent)
{
    auto* spin = new CNumericSpin(parent);
    spin->setIds(row.editId, row.arrowsId);
    spin->setMinimumWidth(90);
    return spin;
}

// Range, step and decimals from the row; shows the minimum, then the value.
void showValue(CNumericSpin* spin, const ConditionRow& row, double value)
{
    spin->setup(row.spin.minimum, row.spin.maximum, row.spin.step, row.spin.decimals);
    spin->setValue(row.spin.minimum);
    spin->setValue(value);
}

QLabel* makeLabel(const ConditionRow& row, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(row.labelText), parent);
    otdrTagObject(label, row.labelId);
    return label;
}

} // namespace

// ---- Search conditions ----------------------------------------------------------------------

CEventSearchCon::CEventSearchCon(const ConfigStore& store, AnalysisSettings& settings, QWidget* parent)
    : QWidget(parent), m_store(store), m_settings(settings)
{
    otdrTagObject(this, ids::kSearchConPage);

    m_thresholdGroup = new QGroupBox(QStringLiteral("阈值"), this);
    otdrTagObject(m_thresholdGroup, ids::kSearchConThresholdGroup);
    auto* tg = new QGridLayout(m_thresholdGroup);
    for (int i = 0; i < 3; ++i) {
        const ConditionRow& row = anacon::kThresholdRows[static_cast<size_t>(i)];
        m_thresholdLabel[static_cast<size_t>(i)] = makeLabel(row, m_thresholdGroup);
        auto* box = new QCheckBox(QStringLiteral("自动"), m_thresholdGroup);
        otdrTagObject(box, row.autoCheckId);
        m_auto[static_cast<size_t>(i)] = box;
        m_threshold[static_cast<size_t>(i)] = makeSpin(row, m_thresholdGroup);
        tg->addWidget(m_thresholdLabel[static_cast<size_t>(i)], i, 0);
        tg->addWidget(box, i, 1);
        tg->addWidget(m_threshold[static_cast<size_t>(i)], i, 2);
        tg->addWidget(new QLabel(QString::fromUtf8(row.rangeText), m_thresholdGroup), i, 3);
        connect(box, &QCheckBox::clicked, this, [this, i] { autoClicked(i); });
    }
    tg->setColumnStretch(3, 1);

    m_backscatterGroup = new QGroupBox(QStringLiteral("散射系数"), this);
    otdrTagObject(m_backscatterGroup, ids::kSearchConBackscatterGroup);
    auto* bg = new QGridLayout(m_backscatterGroup);
    for (int i = 0; i < 3; ++i) {
        const ConditionRow& row = anacon::kBackscatterRows[static_cast<size_t>(i)];
        m_backscatter[static_cast<size_t>(i)] = makeSpin(row, m_backscatterGroup);
        bg->addWidget(makeLabel(row, m_backscatterGroup), i, 0);
        bg->addWidget(m_backscatter[static_cast<size_t>(i)], i, 1);
        bg->addWidget(new QLabel(QString::fromUtf8(row.rangeText), m_backscatterGroup), i, 2);
    }
    bg->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_thresholdGroup);
    layout->addWidget(m_backscatterGroup);
    layout->addStretch(1);
}

void CEventSearchCon::fill()
{
    setGroupFromKey(m_thresholdGroup, "IDS_EVENT_CON_THRESHOLD");
    setGroupFromKey(m_backscatterGroup, "IDS_EVENT_CON_BACK_SCATTER");
    for (size_t i = 0; i < 3; ++i)
        setLabelFromKey(m_thresholdLabel[i], anacon::kThresholdRows[i].titleKey);

    const anacon::SearchPageValues v = anacon::searchPageFromSettings(m_settings);
    for (size_t i = 0; i < 3; ++i) {
        showValue(m_threshold[i], anacon::kThresholdRows[i], v.threshold[i]);
        m_auto[i]->setChecked(v.automatic[i]);
        m_threshold[i]->setEnabled(!v.automatic[i]);
    }
    for (size_t i = 0; i < 3; ++i)
        showValue(m_backscatter[i], anacon::kBackscatterRows[i], v.backscatter[i]);
}

void CEventSearchCon::autoClicked(int row)
{
    const size_t i = static_cast<size_t>(row);
    m_threshold[i]->setEnabled(!m_auto[i]->isChecked());
}

anacon::SearchPageValues CEventSearchCon::values() const
{
    anacon::SearchPageValues v;
    for (size_t i = 0; i < 3; ++i) {
        v.automatic[i] = m_auto[i]->isChecked();
        v.threshold[i] = m_threshold[i]->value();
        v.backscatter[i] = m_backscatter[i]->value();
    }
    return v;
}

void CEventSearchCon::apply()
{
    anacon::applySearchPage(m_store, m_settings, values());
}

// ---- Analysis conditions --------------------------------------------------------------------

CEventAnalCon::CEventAnalCon(const ConfigStore& store, AnalysisSettings& settings, QWidget* parent)
    : QWidget(parent), m_store(store), m_settings(settings)
{
    otdrTagObject(this, ids::kAnalConPage);
    m_group = new QGroupBox(QStringLiteral("折射率"), this);
    otdrTagObject(m_group, ids::kAnalConRefractionGroup);
    auto* g = new QGridLayout(m_group);
    for (int i = 0; i < 3; ++i) {
        const ConditionRow& row = anacon::kRefractionRows[static_cast<size_t>(i)];
        m_refraction[static_cast<size_t>(i)] = makeSpin(row, m_group);
        g->addWidget(makeLabel(row, m_group), i, 0);
        g->addWidget(m_refraction[static_cast<size_t>(i)], i, 1);
        g->addWidget(new QLabel(QString::fromUtf8(row.rangeText), m_group), i, 2);
    }
    g->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_group);
    layout->addStretch(1);
}

void CEventAnalCon::fill()
{
    setGroupFromKey(m_group, "IDS_EVENT_CON_REFLECTION");
    const std::array<double, 3> v = anacon::analysisPageFromSettings(m_settings);
    for (size_t i = 0; i < 3; ++i)
        showValue(m_refraction[i], anacon::kRefractionRows[i], v[i]);
}

void CEventAnalCon::apply()
{
    std::array<double, 3> v{};
    for (size_t i = 0; i < 3; ++i)
        v[i] = m_refraction[i]->value();
    anacon::applyAnalysisPage(m_store, m_settings, v);
}

// ---- Sheet ----------------------------------------------------------------------------------

CEventSearchPageSheet::CEventSearchPageSheet(const ConfigStore& store, AnalysisSettings& settings, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("设置"));
    m_tabs = new QTabWidget(this);
    m_search = new CEventSearchCon(store, settings, m_tabs);
    m_anal = new CEventAnalCon(store, settings, m_tabs);
    m_tabs->addTab(m_search, QStringLiteral("搜索条件"));
    m_tabs->addTab(m_anal, QStringLiteral("分析条件"));

    // No Help button: OK, Cancel and Apply sit flush right. Apply stays disabled because no
    // page ever marks itself as modified.
    auto* ok = new QPushButton(this);
    auto* cancel = new QPushButton(this);
    // Apply shares its text with the Apply button of the report file selection.
    auto* apply = new QPushButton(text("IDS_REPORT_STEP4_FILESELECT_DLG_APPLY"), this);
    otdrTagObject(ok, ids::kSheetOk);
    otdrTagObject(cancel, ids::kSheetCancel);
    otdrTagObject(apply, ids::kSheetApply);
    apply->setEnabled(false);
    ok->setDefault(true);
    const QString okText = text("IDS_EVENT_CON_OK");
    const QString cancelText = text("IDS_EVENT_CON_CANCAL");
    ok->setText(okText.isEmpty() ? QStringLiteral("确定") : okText);
    cancel->setText(cancelText.isEmpty() ? QStringLiteral("取消") : cancelText);
    const QString title = text("IDS_EVENT_CON_TITLE");
    if (!title.isEmpty())
        setWindowTitle(title);
    const QString searchTitle = text("IDS_EVENT_CON_SEARCH_TITLE");
    const QString analTitle = text("IDS_EVENT_CON_ANAL_TITLE");
    if (!searchTitle.isEmpty())
        m_tabs->setTabText(0, searchTitle);
    if (!analTitle.isEmpty())
        m_tabs->setTabText(1, analTitle);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(apply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &CEventSearchPageSheet::applyAndClose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CEventSearchPageSheet::visit);
    visit(0);
}

void CEventSearchPageSheet::visit(int page)
{
    if (page < 0 || page > 1 || m_visited[static_cast<size_t>(page)])
        return;
    m_visited[static_cast<size_t>(page)] = true;
    if (page == 0)
        m_search->fill();
    else
        m_anal->fill();
}

void CEventSearchPageSheet::applyAndClose()
{
    if (m_visited[0])
        m_search->apply();
    if (m_visited[1])
        m_anal->apply();
    accept();
}

void CEventSearchPageSheet::runModal(QWidget* parent)
{
    CEventSearchPageSheet sheet(configStore(), analysisSettings(), parent);
    sheet.exec();
}
