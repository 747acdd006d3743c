#pragma once

#include <QDialog>

// The About box: title "About Viewer", the program icon, the version text and OK.
class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};
