#include "UiPrompts.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

QStringList CUiPrompts::openFileNames(QWidget* parent, const QString& dir, const QString& filter)
{
    QFileDialog dialog(parent, QString(), dir, filter);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("SOR"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString CUiPrompts::saveFileName(QWidget* parent, const QString& dir, const QString& filter,
                                 const QString& defaultSuffix)
{
    QFileDialog dialog(parent, QString(), dir, filter);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool CUiPrompts::confirm(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, messageCaption(), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    return box.exec() == QMessageBox::Ok;
}

void CUiPrompts::error(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, messageCaption(), text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QColor> CUiPrompts::chooseColour(QWidget* parent)
{
    QColor c = QColorDialog::getColor(Qt::black, parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

bool CUiPrompts::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

namespace {
CUiPrompts* g_installed = nullptr;
}

CUiPrompts& uiPrompts()
{
    static CUiPrompts real;
    return g_installed ? *g_installed : real;
}

void setUiPrompts(CUiPrompts* prompts)
{
    g_installed = prompts;
}
