#include "CRemotePages.h"

#include "CNumericSpin.h"
#include "CRemoteConnDlg.h"
#include "ConfigKeys.h"
#include "ConfigStore.h"
#include "OtdrIds.h"
#include "RemoteIds.h"
#include "RemotePages.h"
#include "RemoteProtocol.h"
#include "RemoteUi.h"
#include "Settings.h"
#include "TextKeys.h"
#include "resources/ResourceIds.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace remote {

namespace {

QPushButton* makeButton(QWidget* parent, int id, const char* text)
{
    auto* b = new QPushButton(QString::fromLatin1(text), parent);
    otdrTagObject(b, id);
    return b;
}

QGroupBox* makeBox(QWidget* parent, int id, const char* titleKey)
{
    auto* box = new QGroupBox(remoteText(titleKey), parent);
    otdrTagObject(box, id);
    box->setProperty("textKey", QString::fromLatin1(titleKey));
    return box;
}

// Re-reads the title of every group box that carries its text key.
void retextBoxes(QWidget* page)
{
    for (QGroupBox* box : page->findChildren<QGroupBox*>()) {
        const QString key = box->property("textKey").toString();
        if (!key.isEmpty())
            box->setTitle(remoteText(key.toLatin1().constData()));
    }
}

QHBoxLayout* transferButtons(QPushButton* otdrToPc, QPushButton* pcToOtdr)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(otdrToPc);
    row->addWidget(pcToOtdr);
    return row;
}

// OTDR-->PC and PC-->OTDR without a connection.
void warnNotConnected(QWidget* parent)
{
    remoteUiHooks().warn(parent, remoteText(tk::IDS_NET_CONNECT), QStringLiteral("VOVA Vuvaru"));
}

void sendOrWarn(QWidget* parent, CRemoteConnDlg* link, const std::string& line)
{
    if (link && link->isConnected())
        link->sendLine(line);
    else
        warnNotConnected(parent);
}

} // namespace

// ---- System page ---------------------------------------------------------------------------

CPageSystemSetting::CPageSystemSetting(CRemoteConnDlg* link, QWidget* parent)
    : QWidget(parent), m_link(link)
{
    otdrTagObject(this, ids::kPageSystem);
    m_language = new QButtonGroup(this);
    m_powerOff = new QButtonGroup(this);
    m_touch = new QButtonGroup(this);

    QGroupBox* languageBox = makeRadioBox(this, ids::kGroupLanguage, tk::IDS_REMOTE_SETTING_SYSTEM_LANG,
                                          languageChoices(), m_language, 2);
    QGroupBox* powerOffBox = makeRadioBox(this, ids::kGroupPowerOff,
                                          tk::IDS_REMOTE_SETTING_SYSTEM_AUTOPOWEROFF,
                                          autoPowerOffChoices(), m_powerOff, 4);
    QGroupBox* touchBox = makeRadioBox(this, ids::kGroupTouch, tk::IDS_REMOTE_SETTING_SYSTEM_TOUCH,
                                       touchChoices(), m_touch, 2);

    m_brightnessBox = makeBox(this, ids::kGroupBrightness, tk::IDS_REMOTE_SETTING_SYSTEM_BRIGHTEN);
    m_brightness = new QSlider(Qt::Vertical, m_brightnessBox);
    otdrTagObject(m_brightness, ids::kBrightnessSlider);
    m_brightness->setRange(kBrightnessMin, kBrightnessMax);
    // Positions grow downwards, as on the instrument: the brightest setting is at the top.
    m_brightness->setInvertedAppearance(true);
    m_brightness->setInvertedControls(true);
    (new QVBoxLayout(m_brightnessBox))->addWidget(m_brightness, 0, Qt::AlignHCenter);

    const QDateTime now = QDateTime::currentDateTime();
    m_dateBox = makeBox(this, ids::kGroupDate, tk::IDS_REMOTE_SETTING_SYSTEM_DATE);
    m_date = new QDateEdit(now.date(), m_dateBox);
    otdrTagObject(m_date, ids::kDatePicker);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    (new QVBoxLayout(m_dateBox))->addWidget(m_date);
    m_timeBox = makeBox(this, ids::kGroupTime, tk::IDS_REMOTE_SETTING_SYSTEM_TIME);
    m_time = new QTimeEdit(now.time(), m_timeBox);
    otdrTagObject(m_time, ids::kTimePicker);
    m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    (new QVBoxLayout(m_timeBox))->addWidget(m_time);

    m_otdrToPc = makeButton(this, ids::kOtdrToPc, "OTDR-->PC");
    m_pcToOtdr = makeButton(this, ids::kPcToOtdr, "PC-->OTDR");

    auto* grid = new QGridLayout(this);
    grid->addWidget(languageBox, 0, 0);
    grid->addWidget(touchBox, 0, 1);
    grid->addWidget(powerOffBox, 1, 0, 1, 2);
    grid->addWidget(m_dateBox, 2, 0);
    grid->addWidget(m_timeBox, 2, 1);
    grid->addWidget(m_brightnessBox, 0, 2, 3, 1);
    grid->addLayout(transferButtons(m_otdrToPc, m_pcToOtdr), 3, 0, 1, 3);

    // The brightness is taken on every move of the slider, not when the page is filled.
    connect(m_brightness, &QSlider::valueChanged, this, [this](int position) {
        if (!m_filling)
            instrumentSettings().LightLevel = lightLevelFromSlider(position);
    });
    connect(m_otdrToPc, &QPushButton::clicked, this, &CPageSystemSetting::onOtdrToPc);
    connect(m_pcToOtdr, &QPushButton::clicked, this, &CPageSystemSetting::onPcToOtdr);
}

void CPageSystemSetting::showEvent(QShowEvent* event)
{
    if (!m_filled)
        fill();
    QWidget::showEvent(event);
}

void CPageSystemSetting::applyLanguage()
{
    retextBoxes(this);
    retextRadios(m_language, languageChoices());
    retextRadios(m_powerOff, autoPowerOffChoices());
    retextRadios(m_touch, touchChoices());
}

void CPageSystemSetting::fill()
{
    m_filled = true;
    applyLanguage();
    const SystemPageView v = systemPageFromSettings(instrumentSettings());
    m_filling = true;
    checkRadio(m_language, v.language);
    checkRadio(m_powerOff, v.autoPowerOff);
    checkRadio(m_touch, v.touch);
    m_brightness->setValue(v.slider);
    m_filling = false;
}

void CPageSystemSetting::onOtdrToPc()
{
    sendOrWarn(this, m_link, requestLine(kGroupSystem));
}

void CPageSystemSetting::onPcToOtdr()
{
    InstrumentSettings& s = instrumentSettings();
    SystemPageView v;
    v.language = checkedRadio(m_language);
    v.autoPowerOff = checkedRadio(m_powerOff);
    v.slider = m_brightness->value();
    v.touch = checkedRadio(m_touch);
    systemPageToSettings(v, s);
    writeConfig(cfg::kOtdr, cfg::kOtdrLanguage, s.Language);
    writeConfig(cfg::kOtdr, cfg::kAutoPowerOff, s.AutoPowerOff);
    writeConfig(cfg::kOtdr, cfg::kLightLevel, s.LightLevel);

    // The instrument and the computer take the same moment; a refused clock change is ignored.
    const QDate date = m_date->date();
    const QTime time = m_time->time();
    remoteUiHooks().setClock(QDateTime(date, QTime(time.hour(), time.minute(), time.second())));
    s.DateTime = formatDateTime(date.year(), date.month(), date.day(), time.hour(), time.minute(),
                                time.second());

    sendOrWarn(this, m_link, systemSettingsLine(s));
}

// ---- Test page -----------------------------------------------------------------------------

CPageTestSetup::CPageTestSetup(CRemoteConnDlg* link, QWidget* parent)
    : QWidget(parent), m_link(link)
{
    otdrTagObject(this, ids::kPageTest);
    m_wave = new QButtonGroup(this);
    m_resolution = new QButtonGroup(this);
    m_autoSave = new QButtonGroup(this);
    m_mode = new QButtonGroup(this);
    m_range = new QButtonGroup(this);
    m_unit = new QButtonGroup(this);
    m_pulse = new QButtonGroup(this);

    QGroupBox* waveBox = makeRadioBox(this, ids::kGroupWave, tk::IDS_REMOTE_SETTING_TEST_WAVE,
                                      waveChoices(), m_wave, 3);
    QGroupBox* resolutionBox = makeRadioBox(this, ids::kGroupResolution,
                                            tk::IDS_REMOTE_SETTING_TEST_RESOLUTION,
                                            resolutionChoices(), m_resolution, 2);
    QGroupBox* autoSaveBox = makeRadioBox(this, ids::kGroupAutoSave, tk::IDS_REMOTE_SETTING_TEST_AUTOSAVE,
                                          autoSaveChoices(), m_autoSave, 2);
    QGroupBox* modeBox = makeRadioBox(this, ids::kGroupMode, tk::IDS_REMOTE_SETTING_TEST_MODE,
                                      modeChoices(), m_mode, 2);
    QGroupBox* rangeBox = makeRadioBox(this, ids::kGroupRange, tk::IDS_REMOTE_SETTING_TEST_RANGE,
                                       rangeChoices(), m_range, 4);
    QGroupBox* unitBox = makeRadioBox(this, ids::kGroupUnit, tk::IDS_REMOTE_SETTING_TEST_UNIT,
                                      unitChoices(), m_unit, 3);
    QGroupBox* pulseBox = makeRadioBox(this, ids::kGroupPulse, tk::IDS_REMOTE_SETTING_TEST_PULSE_WIDTH,
                                       pulseChoices(), m_pulse, 5);

    m_timeBox = makeBox(this, ids::kGroupTestTime, tk::IDS_REMOTE_SETTING_TEST_TIME);
    m_testTime = new CNumericSpin(m_timeBox);
    m_testTime->setIds(ids::kTestTimeEdit, ids::kTestTimeSpin);
    m_testTime->setup(kTestTimeMin, kTestTimeMax, 1, 0);
    (new QVBoxLayout(m_timeBox))->addWidget(m_testTime);

    m_otdrToPc = makeButton(this, ids::kOtdrToPc, "OTDR-->PC");
    m_pcToOtdr = makeButton(this, ids::kPcToOtdr, "PC-->OTDR");

    auto* grid = new QGridLayout(this);
    grid->addWidget(waveBox, 0, 0, 1, 2);
    grid->addWidget(unitBox, 0, 2, 1, 2);
    grid->addWidget(modeBox, 1, 0);
    grid->addWidget(resolutionBox, 1, 1);
    grid->addWidget(autoSaveBox, 1, 2);
    grid->addWidget(m_timeBox, 1, 3);
    grid->addWidget(rangeBox, 2, 0, 1, 4);
    grid->addWidget(pulseBox, 3, 0, 1, 4);
    grid->addLayout(transferButtons(m_otdrToPc, m_pcToOtdr), 4, 0, 1, 4);

    connect(m_otdrToPc, &QPushButton::clicked, this, &CPageTestSetup::onOtdrToPc);
    connect(m_pcToOtdr, &QPushButton::clicked, this, &CPageTestSetup::onPcToOtdr);
}

void CPageTestSetup::showEvent(QShowEvent* event)
{
    if (!m_filled)
        fill();
    QWidget::showEvent(event);
}

void CPageTestSetup::applyLanguage()
{
    retextBoxes(this);
    retextRadios(m_wave, waveChoices());
    retextRadios(m_resolution, resolutionChoices());
    retextRadios(m_autoSave, autoSaveChoices());
    retextRadios(m_mode, modeChoices());
    retextRadios(m_range, rangeChoices());
    retextRadios(m_unit, unitChoices());
    retextRadios(m_pulse, pulseChoices());
}

void CPageTestSetup::fill()
{
    m_filled = true;
    applyLanguage();
    const TestPageView v = testPageFromSettings(instrumentSettings());
    checkRadio(m_wave, v.wave);
    checkRadio(m_resolution, v.resolution);
    checkRadio(m_autoSave, v.autoSave);
    checkRadio(m_mode, v.mode);
    checkRadio(m_range, v.range);
    checkRadio(m_unit, v.unit);
    checkRadio(m_pulse, v.pulse);
    m_testTime->setValue(v.testTime);
}

void CPageTestSetup::onOtdrToPc()
{
    sendOrWarn(this, m_link, requestLine(kGroupTest));
}

void CPageTestSetup::onPcToOtdr()
{
    InstrumentSettings& s = instrumentSettings();
    TestPageView v;
    v.wave = checkedRadio(m_wave);
    v.resolution = checkedRadio(m_resolution);
    v.autoSave = checkedRadio(m_autoSave);
    // A typed value outside the spin's range is taken at the nearest end of it.
    v.testTime = static_cast<int>(std::clamp(m_testTime->value(), double(kTestTimeMin), double(kTestTimeMax)));
    v.mode = checkedRadio(m_mode);
    v.range = checkedRadio(m_range);
    v.unit = checkedRadio(m_unit);
    v.pulse = checkedRadio(m_pulse);
    testPageToSettings(v, s);
    writeConfig(cfg::kOtdr, cfg::kTestWave, s.TestWave);
    writeConfig(cfg::kOtdr, cfg::kTestTime, s.TestTime);
    writeConfig(cfg::kOtdr, cfg::kTestMode, s.TestMode);
    writeConfig(cfg::kOtdr, cfg::kStrTestRange, s.TestRange);
    writeConfig(cfg::kOtdr, cfg::kTestUnit, s.TestUnit);
    writeConfig(cfg::kOtdr, cfg::kPluseWidth, s.PluseWidth);
    sendOrWarn(this, m_link, testSettingsLine(s));
}

// ---- Sheet ---------------------------------------------------------------------------------

CRemotePageSheet::CRemotePageSheet(CRemoteConnDlg* link, QWidget* parent)
    : QDialog(parent)
{
    m_tabs = new QTabWidget(this);
    m_system = new CPageSystemSetting(link, m_tabs);
    m_test = new CPageTestSetup(link, m_tabs);
    m_tabs->addTab(m_system, QString());
    m_tabs->addTab(m_test, QString());

    // The sheet's Help button is hidden: Apply takes its place, Cancel Apply's, OK Cancel's.
    m_ok = new QPushButton(this);
    otdrTagObject(m_ok, otdr::ids::kSheetOk);
    m_cancel = new QPushButton(this);
    otdrTagObject(m_cancel, otdr::ids::kSheetCancel);
    m_apply = new QPushButton(tr("Apply"), this);
    otdrTagObject(m_apply, otdr::ids::kSheetApply);
    m_apply->setEnabled(false);
    m_ok->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_apply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (link)
        connect(link, &CRemoteConnDlg::settingsReceived, this, &CRemotePageSheet::onSettingsReceived);
    applyLanguage();
}

void CRemotePageSheet::applyLanguage()
{
    setWindowTitle(remoteText(tk::IDS_REMOTE_SETTING_SYSTEM_SETTING));
    m_tabs->setTabText(0, remoteText(tk::IDS_REMOTE_SETTING_SYSTEM_TITLE));
    m_tabs->setTabText(1, remoteText(tk::IDS_REMOTE_SETTING_TEST_TITLE));
    m_ok->setText(remoteText(tk::IDS_REMOTE_SETTING_OK));
    m_cancel->setText(remoteText(tk::IDS_REMOTE_SETTING_CANCEL));
    m_system->applyLanguage();
    m_test->applyLanguage();
}

void CRemotePageSheet::onSettingsReceived(int group)
{
    if (group == kGroupSystem)
        m_system->fill();
    else if (group == kGroupTest)
        m_test->fill();
}

} // namespace remote
