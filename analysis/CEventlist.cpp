#include "CEventlist.h"

#include "EventSearch.h"
#include "EventTableFormat.h"
#include "OtdrIds.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceTable.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

namespace ids = otdr::ids;

namespace {

QString fromStd(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string lookupText(std::string_view key)
{
    return loadText(key);
}

// Shows the busy cursor for as long as it lives.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

CEventlist::CEventlist(QWidget* parent) : QWidget(parent)
{
    otdrTagObject(this, ids::kEventTableView);
    setMinimumSize(60, 40);

    m_images[evtable::kImageNonReflective] = QIcon(QStringLiteral(":/icons/event_nonreflective.svg"));
    m_images[evtable::kImageReflective] = QIcon(QStringLiteral(":/icons/event_reflective.svg"));

    m_list = new QTableWidget(0, evtable::kColumnCount, this);
    otdrTagObject(m_list, ids::kEventTableList);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setIconSize(QSize(16, 16));
    m_list->setWordWrap(false);
    m_list->verticalHeader()->setVisible(false);
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(20);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->horizontalHeader()->setHighlightSections(false);
    QStringList initial;
    for (const char* t : evtable::kInitialTitles)
        initial << QString::fromUtf8(t);
    m_list->setHorizontalHeaderLabels(initial);
    for (int c = 0; c < evtable::kColumnCount; ++c)
        m_list->setColumnWidth(c, evtable::kColumnWidth);
    m_list->setGeometry(2, 2, 964, 400);

    connect(m_list, &QTableWidget::itemSelectionChanged, this, &CEventlist::onSelectionChanged);
    retitle();
}

CEventlist::~CEventlist() = default;

void CEventlist::retitle()
{
    setWindowTitle(fromStd(loadText("IDS_FRM_EVENT_TITLE")));
    const auto titles = evtable::columnTitles(displaySettings().distanceUnit, lookupText);
    QStringList labels;
    for (const std::string& t : titles)
        labels << fromStd(t);
    m_list->setHorizontalHeaderLabels(labels);
}

void CEventlist::refreshDistanceTitles()
{
    const auto titles = evtable::columnTitles(displaySettings().distanceUnit, lookupText);
    for (int c : {1, 2}) {
        if (QTableWidgetItem* h = m_list->horizontalHeaderItem(c))
            h->setText(fromStd(titles[static_cast<size_t>(c)]));
        else
            m_list->setHorizontalHeaderItem(c, new QTableWidgetItem(fromStd(titles[static_cast<size_t>(c)])));
    }
}

void CEventlist::fill()
{
    const TraceRecord* record = traceTable().currentRecord();
    refreshDistanceTitles();
    m_filling = true;
    m_list->clearSelection();
    m_list->setRowCount(0);
    if (!record) {
        m_filling = false;
        return;
    }
    // Rows come from a copy of the list, so a fill never sees a half-changed one.
    const std::vector<EventItem> events = record->events;
    const std::vector<evtable::EventRow> rows = evtable::eventRows(events, displaySettings());
    m_list->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const evtable::EventRow& row = rows[static_cast<size_t>(r)];
        for (int c = 0; c < evtable::kColumnCount; ++c) {
            auto* item = new QTableWidgetItem(fromStd(row.cells[static_cast<size_t>(c)]));
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            if (c == 0)
                item->setIcon(m_images[row.image]);
            m_list->setItem(r, c, item);
        }
    }
    m_filling = false;
    if (!rows.empty())
        selectRow(0);
}

bool CEventlist::autoSearch()
{
    BusyCursor busy;
    return autoSearchCurrentTrace(traceTable(), m_engine, analysisSettings());
}

int CEventlist::selectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_list->selectedRanges();
    int first = -1;
    for (const QTableWidgetSelectionRange& r : ranges)
        if (first < 0 || r.topRow() < first)
            first = r.topRow();
    return first;
}

void CEventlist::selectRow(int row)
{
    if (row < 0 || row >= m_list->rowCount())
        return;
    if (selectedRow() == row) {
        // Selecting the selected row again still moves the marker to it.
        onSelectionChanged();
        return;
    }
    m_list->selectRow(row);
    m_list->scrollToItem(m_list->item(row, 0));
}

void CEventlist::onSelectionChanged()
{
    if (m_filling)
        return;
    const int row = selectedRow();
    if (row < 0)
        return;
    if (m_moveMarker)
        m_moveMarker(row);
    Q_EMIT eventSelected(row);
}

void CEventlist::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int top = m_list->y();
    m_list->resize(std::max(0, width() - 4), std::max(0, height() - top - 2));
}
