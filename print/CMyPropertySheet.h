#pragma once

// The print settings sheet: what the trace printout shows (content page), the link and
// measurement values (configuration page) and the job data and comment (job page). The sheet only
// edits the stored values of section "PrintSetting"; the printout reads them when it prints.

#include "PrintSheetValues.h"

#include <QDialog>
#include <QWidget>

#include <array>

class ConfigStore;
class TraceTable;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// Content page (dialog 227): six check boxes, one per printed block.
class CPropContent : public QWidget {
public:
    explicit CPropContent(QWidget* parent = nullptr);
    void showValues(const PrintSheetValues& v);
    void takeValues(PrintSheetValues& v) const;
    QCheckBox* box(int flag) const { return m_boxes[static_cast<size_t>(flag)]; }

private:
    QGroupBox* m_group = nullptr;
    std::array<QCheckBox*, 6> m_boxes{};
};

// Configuration page (dialog 228): link grid, measurement values, "自定义" and "清空".
class CPropConfig : public QWidget {
public:
    CPropConfig(PrintSheetValues& values, const ConfigStore& store, const TraceTable& table,
                QWidget* parent = nullptr);
    void showValues();
    void takeValues();
    // Check box 1026: the values are taken from the controls, the measurement edits follow the
    // box, and all seventeen values are loaded again.
    void OnSelfDefine();
    // Button 1677: empties all seventeen values.
    void OnClearConfig();
    void LoadConfigValues();
    void SaveConfigValues() const;

    QLineEdit* linkEdit(int i) const { return m_link[static_cast<size_t>(i)]; }
    QLineEdit* measurementEdit(int i) const { return m_measurement[static_cast<size_t>(i)]; }
    QCheckBox* selfDefineBox() const { return m_selfDefine; }
    QPushButton* clearButton() const { return m_clear; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    PrintSheetValues& m_v;
    const ConfigStore& m_store;
    const TraceTable& m_table;
    std::array<QLineEdit*, 8> m_link{};
    std::array<QLineEdit*, 9> m_measurement{};
    QCheckBox* m_selfDefine = nullptr;
    QPushButton* m_clear = nullptr;
    bool m_shown = false;
};

// Job page (dialog 230): job values, read-only file and test time, comment, "清空".
class CPropJob : public QWidget {
public:
    CPropJob(PrintSheetValues& values, QWidget* parent = nullptr);
    void showValues();
    void takeValues();
    // Button 1672: empties job id, contractor, customer, operator and comment.
    void OnClearJob();

    QLineEdit* jobEdit(int i) const { return m_job[static_cast<size_t>(i)]; }
    QLineEdit* fileEdit() const { return m_file; }
    QLineEdit* timeEdit() const { return m_time; }
    QPlainTextEdit* commentEdit() const { return m_comment; }
    QPushButton* clearButton() const { return m_clear; }

private:
    PrintSheetValues& m_v;
    std::array<QLineEdit*, 4> m_job{};
    QLineEdit* m_file = nullptr;
    QLineEdit* m_time = nullptr;
    QPlainTextEdit* m_comment = nullptr;
    QPushButton* m_clear = nullptr;
};

class CMyPropertySheet : public QDialog {
public:
    // The store and trace table are the process-wide ones unless given.
    explicit CMyPropertySheet(const QString& title, QWidget* parent = nullptr,
                              const ConfigStore* store = nullptr, const TraceTable* table = nullptr);

    // Fills the pages from the store and the current trace (run when the sheet is built).
    void LoadSheetValues();
    // Writes every value back; run by the caller when the sheet ends with OK.
    void SaveSheetValues();

    // Runs the sheet modally with the title "IDS_SETTING_TITLE" and saves on OK. Returns true
    // when the values were saved.
    static bool runModal(QWidget* parent);

    CPropContent* contentPage() const { return m_content; }
    CPropConfig* configPage() const { return m_config; }
    CPropJob* jobPage() const { return m_job; }
    QTabWidget* tabs() const { return m_tabs; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    const PrintSheetValues& values() const { return m_values; }

private:
    const ConfigStore& m_store;
    const TraceTable& m_table;
    PrintSheetValues m_values;
    QTabWidget* m_tabs = nullptr;
    CPropContent* m_content = nullptr;
    CPropConfig* m_config = nullptr;
    CPropJob* m_job = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
