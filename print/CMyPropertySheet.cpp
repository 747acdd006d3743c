#include "CMyPropertySheet.h"

#include "ConfigStore.h"
#include "OtdrIds.h"
#include "Texts.h"
#include "TraceTable.h"
#include "resources/ResourceIds.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ids = otdr::ids;

namespace {

// The localised text of key, or the template's own caption when the language has none.
QString caption(const char* key, const char* fallback)
{
    const std::string t = loadText(key);
    return QString::fromStdString(t.empty() ? std::string(fallback) : t);
}

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string str(const QString& s)
{
    return s.toStdString();
}

template <typename T>
T* tagged(T* w, int id)
{
    otdrTagObject(w, id);
    return w;
}

} // namespace

// ---- Content page ---------------------------------------------------------------------------

CPropContent::CPropContent(QWidget* parent) : QWidget(parent)
{
    otdrTagObject(this, ids::kPrintContentPage);
    struct Box {
        const char* key;
        const char* fallback;
    };
    static const Box boxes[6] = {
        {"IDC_CHECK_PROP_CONTENT_LOGO", "logo"}, {"IDC_CHECK_PROP_CONTENT_JOB", "任务"},
        {"IDC_CHECK_PROP_CONTENT_CONFIG", "配置"}, {"IDC_CHECK_PROP_CONTENT_COMMENT", "注释"},
        {"IDC_CHECK_PROP_CONTENT_TRACE", "曲线"}, {"IDC_CHECK_PROP_CONTENT_EVENT", "事件"}};
    m_group = tagged(new QGroupBox(caption("IDS_CNT_SELECT", "内容选择"), this), ids::kPrintContentGroup);
    auto* grid = new QGridLayout(m_group);
    for (int i = 0; i < 6; ++i) {
        m_boxes[static_cast<size_t>(i)] = tagged(new QCheckBox(caption(boxes[i].key, boxes[i].fallback), m_group),
                                                 ids::kPrintContentChecks[i]);
        grid->addWidget(m_boxes[static_cast<size_t>(i)], i / 2, i % 2);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_group);
    layout->addStretch(1);
}

void CPropContent::showValues(const PrintSheetValues& v)
{
    for (size_t i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setChecked(v.content[i] != 0);
}

void CPropContent::takeValues(PrintSheetValues& v) const
{
    for (size_t i = 0; i < m_boxes.size(); ++i)
        v.content[i] = m_boxes[i]->isChecked() ? 1 : 0;
}

// ---- Configuration page ---------------------------------------------------------------------

CPropConfig::CPropConfig(PrintSheetValues& values, const ConfigStore& store, const TraceTable& table,
                         QWidget* parent)
    : QWidget(parent), m_v(values), m_store(store), m_table(table)
{
    otdrTagObject(this, ids::kPrintConfigPage);
    m_v.selfDefine = readSelfDefine(m_store);

    // Link: two rows (origin, end) of location, cable, fibre and colour.
    auto* link = tagged(new QGroupBox(caption("IDS_CFG_LINK", "链路"), this), ids::kPrintLinkGroup);
    auto* linkGrid = new QGridLayout(link);
    static const std::pair<const char*, const char*> heads[4] = {
        {"IDS_CFG_LOCATION", "位置"}, {"IDS_CFG_CABLE", "光缆号"}, {"IDS_CFG_FIBER", "光纤号"}, {"IDS_CFG_COLOR", "颜色"}};
    for (int k = 0; k < 4; ++k)
        linkGrid->addWidget(tagged(new QLabel(caption(heads[k].first, heads[k].second), link),
                                   ids::kPrintLinkColumnLabels[k]), 0, k + 1);
    linkGrid->addWidget(tagged(new QLabel(caption("IDS_CFG_ORIGIN", "起点:"), link), ids::kPrintOriginLabel), 1, 0);
    linkGrid->addWidget(tagged(new QLabel(caption("IDS_CFG_END", "终点:"), link), ids::kPrintEndLabel), 2, 0);
    for (int i = 0; i < 8; ++i) {
        m_link[static_cast<size_t>(i)] = tagged(new QLineEdit(link), ids::kPrintLinkEdits[i]);
        linkGrid->addWidget(m_link[static_cast<size_t>(i)], 1 + i / 4, 1 + i % 4);
    }

    // Measurement: nine rows of label, edit and unit.
    auto* measure = tagged(new QGroupBox(caption("IDS_CFG_MEASUREMENT", "测量"), this), ids::kPrintMeasurementGroup);
    auto* measureGrid = new QGridLayout(measure);
    static const std::pair<const char*, const char*> labels[9] = {
        {"IDS_CFG_WAVE", "波长 nm"}, {"IDS_CFG_PULSE", "脉宽 ns"}, {"IDS_CFG_RANGE", "范围 m"},
        {"IDS_CFG_LOSS_TH", "衰减门限 dB"}, {"IDS_CFG_REFLECTION_TH", "反射门限 dB"},
        {"IDS_CFG_END_TH", "光纤末端门限 dB"}, {"IDS_CFG_BACKSCATTER", "背向散射因子 dB"},
        {"IDS_CFG_INDEX", "折射率"}, {"IDS_CFG_AVERAGE", "平均次数"}};
    static const char* units[9] = {"nm", "ns", "m", "dB", "dB", "dB", "dB", "", ""};
    for (int i = 0; i < 9; ++i) {
        measureGrid->addWidget(tagged(new QLabel(caption(labels[i].first, labels[i].second), measure),
                                      ids::kPrintMeasurementLabels[i]), i, 0);
        auto* edit = tagged(new QLineEdit(measure), ids::kPrintMeasurementEdits[i]);
        edit->setEnabled(false);
        m_measurement[static_cast<size_t>(i)] = edit;
        measureGrid->addWidget(edit, i, 1);
        measureGrid->addWidget(new QLabel(QString::fromLatin1(units[i]), measure), i, 2);
    }

    m_selfDefine = tagged(new QCheckBox(caption("IDC_CHECK_MANUAL", "自定义"), this), ids::kPrintSelfDefine);
    m_clear = tagged(new QPushButton(caption("IDC_BTN_PROP_CONFIG_CLR", "清空"), this), ids::kPrintConfigClear);
    connect(m_selfDefine, &QCheckBox::clicked, this, [this] { OnSelfDefine(); });
    connect(m_clear, &QPushButton::clicked, this, [this] { OnClearConfig(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_selfDefine);
    buttons->addStretch(1);
    buttons->addWidget(m_clear);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(link);
    layout->addWidget(measure);
    layout->addLayout(buttons);
}

void CPropConfig::showValues()
{
    for (size_t i = 0; i < m_link.size(); ++i)
        m_link[i]->setText(qs(m_v.link[i]));
    for (size_t i = 0; i < m_measurement.size(); ++i)
        m_measurement[i]->setText(qs(m_v.measurement[i]));
    m_selfDefine->setChecked(m_v.selfDefine != 0);
}

void CPropConfig::takeValues()
{
    for (size_t i = 0; i < m_link.size(); ++i)
        m_v.link[i] = str(m_link[i]->text());
    for (size_t i = 0; i < m_measurement.size(); ++i)
        m_v.measurement[i] = str(m_measurement[i]->text());
    m_v.selfDefine = m_selfDefine->isChecked() ? 1 : 0;
}

void CPropConfig::LoadConfigValues()
{
    loadConfigValues(m_v, m_store, m_table);
}

void CPropConfig::SaveConfigValues() const
{
    saveConfigValues(m_v, m_store);
}

void CPropConfig::OnSelfDefine()
{
    takeValues();
    for (QLineEdit* e : m_measurement)
        e->setEnabled(m_v.selfDefine != 0);
    LoadConfigValues();
    showValues();
}

void CPropConfig::OnClearConfig()
{
    takeValues();
    clearConfigValues(m_v);
    showValues();
}

void CPropConfig::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        m_selfDefine->setChecked(m_v.selfDefine != 0);
        OnSelfDefine();
    }
}

// ---- Job page -------------------------------------------------------------------------------

CPropJob::CPropJob(PrintSheetValues& values, QWidget* parent) : QWidget(parent), m_v(values)
{
    otdrTagObject(this, ids::kPrintJobPage);
    static const std::pair<const char*, const char*> labels[7] = {
        {"IDS_JOB_ID", "任务编号"}, {"IDS_JOB_CONTRACTOR", "承包商"}, {"IDS_JOB_CUSTOMER", "用户"},
        {"IDS_JOB_OPERATOR", "操作者"}, {"IDS_JOB_FILE", "文件"}, {"IDS_JOB_TIME", "测试时间"},
        {"IDS_JOB_COMMENT", "注释"}};
    auto* group = tagged(new QGroupBox(caption("IDS_JOB_INFO", "任务信息"), this), ids::kPrintJobGroup);
    auto* grid = new QGridLayout(group);
    auto label = [&](int i) {
        return tagged(new QLabel(caption(labels[i].first, labels[i].second), group), ids::kPrintJobLabels[i]);
    };
    for (int i = 0; i < 4; ++i) {
        m_job[static_cast<size_t>(i)] = tagged(new QLineEdit(group), ids::kPrintJobEdits[i]);
        grid->addWidget(label(i), i, 0);
        grid->addWidget(m_job[static_cast<size_t>(i)], i, 1);
    }
    m_file = tagged(new QLineEdit(group), ids::kPrintJobFile);
    m_time = tagged(new QLineEdit(group), ids::kPrintJobTime);
    m_file->setEnabled(false);
    m_time->setEnabled(false);
    grid->addWidget(label(4), 4, 0);
    grid->addWidget(m_file, 4, 1);
    grid->addWidget(label(5), 5, 0);
    grid->addWidget(m_time, 5, 1);
    m_comment = tagged(new QPlainTextEdit(group), ids::kPrintJobComment);
    grid->addWidget(label(6), 6, 0, Qt::AlignTop);
    grid->addWidget(m_comment, 6, 1);
    m_clear = tagged(new QPushButton(caption("IDC_BTN_JOB_CLEAR", "清空"), this), ids::kPrintJobClear);
    connect(m_clear, &QPushButton::clicked, this, [this] { OnClearJob(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_clear);
    layout->addLayout(buttons);
}

void CPropJob::showValues()
{
    for (size_t i = 0; i < m_job.size(); ++i)
        m_job[i]->setText(qs(m_v.job[i]));
    m_file->setText(qs(m_v.fileName));
    m_time->setText(qs(m_v.testTime));
    m_comment->setPlainText(qs(m_v.comment));
}

void CPropJob::takeValues()
{
    for (size_t i = 0; i < m_job.size(); ++i)
        m_v.job[i] = str(m_job[i]->text());
    m_v.comment = str(m_comment->toPlainText());
}

void CPropJob::OnClearJob()
{
    takeValues();
    clearJobValues(m_v);
    showValues();
}

// ---- Sheet ----------------------------------------------------------------------------------

CMyPropertySheet::CMyPropertySheet(const QString& title, QWidget* parent, const ConfigStore* store,
                                   const TraceTable* table)
    : QDialog(parent), m_store(store ? *store : configStore()), m_table(table ? *table : traceTable())
{
    setWindowTitle(title);
    m_tabs = new QTabWidget(this);
    m_content = new CPropContent(m_tabs);
    m_config = new CPropConfig(m_values, m_store, m_table, m_tabs);
    m_job = new CPropJob(m_values, m_tabs);
    m_tabs->addTab(m_content, caption("IDS_SETTING_TAB_CONTENT", "内容"));
    m_tabs->addTab(m_config, caption("IDS_SETTING_TAB_CONFIG", "配置"));
    m_tabs->addTab(m_job, caption("IDS_SETTING_TAB_JOB", "任务"));

    m_ok = tagged(new QPushButton(caption("IDS_SETTING_BTN_OK", "确定"), this), ids::kSheetOk);
    m_cancel = tagged(new QPushButton(caption("IDS_SETTING_BTN_CANCEL", "取消"), this), ids::kSheetCancel);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);

    LoadSheetValues();
}

void CMyPropertySheet::LoadSheetValues()
{
    loadSheetValues(m_values, m_store, m_table);
    m_content->showValues(m_values);
    m_config->showValues();
    m_job->showValues();
}

void CMyPropertySheet::SaveSheetValues()
{
    // The controls hold the latest edits.
    m_content->takeValues(m_values);
    m_config->takeValues();
    m_job->takeValues();
    saveSheetValues(m_values, m_store);
}

bool CMyPropertySheet::runModal(QWidget* parent)
{
    CMyPropertySheet sheet(QString::fromStdString(loadText("IDS_SETTING_TITLE")), parent);
    if (sheet.exec() != QDialog::Accepted)
        return false;
    sheet.SaveSheetValues();
    return true;
}
