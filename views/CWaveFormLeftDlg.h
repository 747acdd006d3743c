#pragma once

// The panel on the left of the trace view: the list of loaded traces with a colour swatch each,
// the multi-trace check box, and the measurement conditions of the current trace.

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QTreeWidget;

class CWaveFormLeftDlg : public QWidget {
    Q_OBJECT
public:
    explicit CWaveFormLeftDlg(QWidget* parent = nullptr);

    void RefillTraceList();
    void ShowConditions();
    void RebuildSwatches();
    void ApplyLanguage();
    // Selects a row without treating it as the user's choice (-1 clears the selection).
    void selectRow(int row);

    QTreeWidget* traceList() const { return m_list; }
    QCheckBox* multiTraceBox() const { return m_multi; }
    // The row a close from the context menu acts on.
    int rowToClose() const { return m_rowToClose; }
    // Closes the trace of a row as the context menu's close command does.
    void closeRow(int row);

Q_SIGNALS:
    void multiTraceToggled(bool on);
    // The user selected a row: it becomes the current trace.
    void traceSelected(int row);
    // Close command on a row (which is already the current trace).
    void closeRequested(int row);

private:
    void onSelectionChanged();
    void onContextMenu(const QPoint& pos);
    QLabel* valueLabel(int id, const QString& initial);

    QTreeWidget* m_list = nullptr;
    QCheckBox* m_multi = nullptr;
    QGroupBox* m_group = nullptr;
    QLabel* m_labels[5] = {};
    QLabel* m_values[5] = {};
    int m_rowToClose = -1;
    int m_lastChanged = -1;
    bool m_quiet = false;
};
