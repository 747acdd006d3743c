#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class QWidget;

// The modal questions the program puts to the user: file dialogs, message boxes, the colour
// dialog and the shell's "open". Commands go through uiPrompts() so that a test can hand them
// the user's answer; the program itself always shows the real dialogs.
class CUiPrompts {
public:
    virtual ~CUiPrompts() = default;

    // Open dialog for several files; an empty list means Cancel.
    virtual QStringList openFileNames(QWidget* parent, const QString& dir, const QString& filter);
    // Save dialog (overwriting is confirmed by the dialog); empty means Cancel.
    virtual QString saveFileName(QWidget* parent, const QString& dir, const QString& filter,
                                 const QString& defaultSuffix);
    // Question with OK and Cancel and the caption of the program's message boxes; true for OK.
    virtual bool confirm(QWidget* parent, const QString& text);
    // Error message with an exclamation icon and OK.
    virtual void error(QWidget* parent, const QString& text);
    // The standard colour dialog without an initial colour; nothing on Cancel.
    virtual std::optional<QColor> chooseColour(QWidget* parent);
    // Opens a file or address with the desktop's default application.
    virtual bool openUrl(const QUrl& url);
};

// Caption of the program's message boxes.
inline QString messageCaption() { return QStringLiteral("VOVA Vuvaru"); }

// The prompts in use (the real dialogs unless a test installed its own).
CUiPrompts& uiPrompts();
// Installs prompts (not owned); nullptr restores the real dialogs.
void setUiPrompts(CUiPrompts* prompts);
