#include "RemoteUi.h"

#include "OtdrIds.h"
#include "Texts.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QMessageBox>
#include <QRadioButton>

#include <ctime>

namespace remote {

namespace {

RemoteUiHooks defaultHooks()
{
    RemoteUiHooks h;
    h.warn = [](QWidget* parent, const QString& text, const QString& caption) {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
        box.exec();
    };
    h.setClock = setSystemClock;
    return h;
}

} // namespace

RemoteUiHooks& remoteUiHooks()
{
    static RemoteUiHooks hooks = defaultHooks();
    return hooks;
}

void resetRemoteUiHooks()
{
    remoteUiHooks() = defaultHooks();
}

bool setSystemClock(const QDateTime& local)
{
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(local.toSecsSinceEpoch());
    ts.tv_nsec = 0;
    return ::clock_settime(CLOCK_REALTIME, &ts) == 0;
}

QString remoteText(const char* key)
{
    return QString::fromStdString(loadText(key));
}

namespace {

QString radioLabel(const RadioChoice& c)
{
    return *c.textKey ? remoteText(c.textKey) : QString::fromUtf8(c.label);
}

} // namespace

QGroupBox* makeRadioBox(QWidget* parent, int boxId, const char* titleKey,
                        const std::vector<RadioChoice>& choices, QButtonGroup* group, int columns)
{
    auto* box = new QGroupBox(remoteText(titleKey), parent);
    otdrTagObject(box, boxId);
    box->setProperty("textKey", QString::fromLatin1(titleKey));
    auto* grid = new QGridLayout(box);
    int index = 0;
    for (const RadioChoice& c : choices) {
        auto* radio = new QRadioButton(radioLabel(c), box);
        otdrTagObject(radio, c.id);
        group->addButton(radio, c.id);
        grid->addWidget(radio, index / columns, index % columns);
        ++index;
    }
    return box;
}

void retextRadios(QButtonGroup* group, const std::vector<RadioChoice>& choices)
{
    for (const RadioChoice& c : choices)
        if (QAbstractButton* b = group->button(c.id))
            b->setText(radioLabel(c));
}

void checkRadio(QButtonGroup* group, int id)
{
    QAbstractButton* target = id != 0 ? group->button(id) : nullptr;
    if (target) {
        target->setChecked(true);
        return;
    }
    // An exclusive group cannot be emptied one button at a time.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

int checkedRadio(const QButtonGroup* group)
{
    const int id = group->checkedId();
    return id > 0 ? id : 0;
}

} // namespace remote
