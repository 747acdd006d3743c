#pragma once
// The two instrument settings pages and the sheet that holds them. Each page shows
// InstrumentSettings in its controls, asks the instrument for its settings (OTDR-->PC, 1615) and
// sends the page's settings to it (PC-->OTDR, 1616) through the remote-connection dialog.

#include <QDialog>
#include <QWidget>

class QButtonGroup;
class QDateEdit;
class QGroupBox;
class QPushButton;
class QSlider;
class QTabWidget;
class QTimeEdit;
class CNumericSpin;

namespace remote {

class CRemoteConnDlg;

class CPageSystemSetting : public QWidget {
    Q_OBJECT
public:
    explicit CPageSystemSetting(CRemoteConnDlg* link, QWidget* parent = nullptr);

    // Shows InstrumentSettings in the controls (texts included).
    void fill();
    void applyLanguage();
    void onOtdrToPc();
    void onPcToOtdr();

protected:
    void showEvent(QShowEvent* event) override;

private:
    CRemoteConnDlg* m_link;
    bool m_filled = false;
    bool m_filling = false;
    QButtonGroup* m_language;
    QButtonGroup* m_powerOff;
    QButtonGroup* m_touch;
    QSlider* m_brightness;
    QDateEdit* m_date;
    QTimeEdit* m_time;
    QGroupBox* m_brightnessBox;
    QGroupBox* m_dateBox;
    QGroupBox* m_timeBox;
    QPushButton* m_otdrToPc;
    QPushButton* m_pcToOtdr;
};

class CPageTestSetup : public QWidget {
    Q_OBJECT
public:
    explicit CPageTestSetup(CRemoteConnDlg* link, QWidget* parent = nullptr);

    void fill();
    void applyLanguage();
    void onOtdrToPc();
    void onPcToOtdr();

protected:
    void showEvent(QShowEvent* event) override;

private:
    CRemoteConnDlg* m_link;
    bool m_filled = false;
    QButtonGroup* m_wave;
    QButtonGroup* m_resolution;
    QButtonGroup* m_autoSave;
    QButtonGroup* m_mode;
    QButtonGroup* m_range;
    QButtonGroup* m_unit;
    QButtonGroup* m_pulse;
    CNumericSpin* m_testTime;
    QGroupBox* m_timeBox;
    QPushButton* m_otdrToPc;
    QPushButton* m_pcToOtdr;
};

// The remote-settings sheet: the system and test pages on tabs, with OK, Cancel and a disabled
// Apply in the places the sheet always had (OK and Cancel only close it). Run it modally each
// time with exec(); replies from the instrument refresh the matching page while it is open.
class CRemotePageSheet : public QDialog {
    Q_OBJECT
public:
    explicit CRemotePageSheet(CRemoteConnDlg* link, QWidget* parent = nullptr);

    CPageSystemSetting* systemPage() const { return m_system; }
    CPageTestSetup* testPage() const { return m_test; }
    QTabWidget* tabs() const { return m_tabs; }
    void applyLanguage();

private:
    void onSettingsReceived(int group);

    CPageSystemSetting* m_system;
    CPageTestSetup* m_test;
    QTabWidget* m_tabs;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_apply;
};

} // namespace remote
