#pragma once

// The analysis-conditions sheet (Analyse > Analyse Condition Setting): the search-conditions page
// (three thresholds, each possibly automatic, and the backscatter coefficients) and the
// analysis-conditions page (the refractive indices). OK applies every page that was shown;
// Cancel and closing change nothing.

#include "AnalysisConditions.h"

#include <QDialog>

#include <array>

class CNumericSpin;
class ConfigStore;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

class CEventSearchCon : public QWidget {
    Q_OBJECT
public:
    CEventSearchCon(const ConfigStore& store, AnalysisSettings& settings, QWidget* parent = nullptr);

    // Shows the record's values (done when the page is first shown).
    void fill();
    // Writes the page into the record and the configuration (OK).
    void apply();
    // What the page holds now.
    anacon::SearchPageValues values() const;

    CNumericSpin* thresholdSpin(int row) const { return m_threshold[static_cast<size_t>(row)]; }
    QCheckBox* autoBox(int row) const { return m_auto[static_cast<size_t>(row)]; }
    CNumericSpin* backscatterSpin(int row) const { return m_backscatter[static_cast<size_t>(row)]; }

private:
    void autoClicked(int row);

    const ConfigStore& m_store;
    AnalysisSettings& m_settings;
    QGroupBox* m_thresholdGroup = nullptr;
    QGroupBox* m_backscatterGroup = nullptr;
    std::array<QLabel*, 3> m_thresholdLabel{};
    std::array<QCheckBox*, 3> m_auto{};
    std::array<CNumericSpin*, 3> m_threshold{};
    std::array<CNumericSpin*, 3> m_backscatter{};
};

class CEventAnalCon : public QWidget {
    Q_OBJECT
public:
    CEventAnalCon(const ConfigStore& store, AnalysisSettings& settings, QWidget* parent = nullptr);

    void fill();
    void apply();

    CNumericSpin* refractionSpin(int row) const { return m_refraction[static_cast<size_t>(row)]; }

private:
    const ConfigStore& m_store;
    AnalysisSettings& m_settings;
    QGroupBox* m_group = nullptr;
    std::array<CNumericSpin*, 3> m_refraction{};
};

class CEventSearchPageSheet : public QDialog {
    Q_OBJECT
public:
    // Edits settings and writes to store; the program passes the process-wide record and store.
    CEventSearchPageSheet(const ConfigStore& store, AnalysisSettings& settings, QWidget* parent = nullptr);

    CEventSearchCon* searchPage() const { return m_search; }
    CEventAnalCon* analysisPage() const { return m_anal; }
    QTabWidget* tabs() const { return m_tabs; }
    bool pageVisited(int page) const { return m_visited[static_cast<size_t>(page)]; }

    // OK: applies the shown pages, search conditions first, and closes.
    void applyAndClose();

    // Runs the sheet on the process-wide record and configuration (command 32791).
    static void runModal(QWidget* parent);

private:
    void visit(int page);

    QTabWidget* m_tabs = nullptr;
    CEventSearchCon* m_search = nullptr;
    CEventAnalCon* m_anal = nullptr;
    std::array<bool, 2> m_visited{};
};
