#pragma once
// Shared pieces of the remote-link dialogs: the outside effects they have (message boxes, the
// computer's clock), replaceable so that tests can observe them, and small radio-group helpers.

#include "RemotePages.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QWidget;

namespace remote {

struct RemoteUiHooks {
    // A message box with an exclamation icon and OK.
    std::function<void(QWidget* parent, const QString& text, const QString& caption)> warn;
    // Sets the computer's clock to a local date and time; false when the system refused.
    std::function<bool(const QDateTime& local)> setClock;
};

// The hooks in use; by default a real message box and clock_settime.
RemoteUiHooks& remoteUiHooks();
// Restores the default hooks.
void resetRemoteUiHooks();

// Sets the system clock (needs the privilege to do so; a refusal returns false).
bool setSystemClock(const QDateTime& local);

// The text of a key in the current language.
QString remoteText(const char* key);

// A group box (tagged with boxId, titled with the text of titleKey) holding one radio per choice,
// laid out in the given number of columns; the radios join group under their control identifiers.
QGroupBox* makeRadioBox(QWidget* parent, int boxId, const char* titleKey,
                        const std::vector<RadioChoice>& choices, QButtonGroup* group, int columns);
// Re-reads the radio labels of a box made by makeRadioBox.
void retextRadios(QButtonGroup* group, const std::vector<RadioChoice>& choices);
// Checks the radio with the identifier, or none for 0 (or an identifier not in the group).
void checkRadio(QButtonGroup* group, int id);
// The identifier of the checked radio, 0 for none.
int checkedRadio(const QButtonGroup* group);

} // namespace remote
