#include "CPrintView.h"

#include "TracePrinter.h"

#include "Texts.h"
#include "TraceTable.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

CPrintView::CPrintView(QObject* parent, TraceTable* table)
    : QObject(parent), m_table(table ? *table : traceTable())
{
}

void CPrintView::setReportPages(ReportPrepare prepare, ReportPaint paint)
{
    m_reportPrepare = std::move(prepare);
    m_reportPaint = std::move(paint);
}

void CPrintView::preparePrinter(QPrinter& printer) const
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (singleTraceMode || !m_reportPrepare)
        printer.setPageOrientation(QPageLayout::Portrait);
    else
        m_reportPrepare(printer);
}

bool CPrintView::paintPages(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    if (!singleTraceMode && m_reportPaint) {
        m_reportPaint(printer, painter);
    } else {
        const QRect page(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
        const int slot = m_table.loadedCount > 0 ? m_table.currentTrace : 0;
        paintTracePrintout(painter, page, printer.logicalDpiX(), m_table, slot,
                           [&printer] { return printer.newPage(); });
    }
    return painter.end();
}

bool CPrintView::print(QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    paintPages(printer);
    return true;
}

void CPrintView::printPreview(QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer);
    QPrintPreviewDialog dialog(&printer, parent);
    m_preview = &dialog;
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { paintPages(*p); });
    // Reports go out as PDF more often than on paper: the preview saves them directly.
    if (auto* bar = dialog.findChild<QToolBar*>()) {
        bar->addSeparator();
        const QString caption = QString::fromStdString(loadText("IDS_PRINT_TO_PDF"));
        QAction* pdf = bar->addAction(caption.isEmpty() ? QStringLiteral("PDF") : caption);
        pdf->setObjectName(QStringLiteral("printToPdf"));
        pdf->setToolTip(pdf->text());
        connect(pdf, &QAction::triggered, &dialog, [this, &dialog] { printToPdf(&dialog); });
    }
    dialog.exec();
    m_preview = nullptr;
}

bool CPrintView::writePdf(const QString& path, QString* error)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(300);
    printer.setCreator(QStringLiteral("OTDR"));
    preparePrinter(printer);
    // QPrinter reports an unwritable file only through the painter.
    if (!paintPages(printer) || !QFileInfo(path).isFile()) {
        if (error)
            *error = path;
        return false;
    }
    return true;
}

bool CPrintView::printToPdf(QWidget* parent)
{
    QString path = QFileDialog::getSaveFileName(parent, QString::fromStdString(loadText("IDS_PRINT_TO_PDF")), QString(),
                                                QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    QString error;
    if (!writePdf(path, &error)) {
        QMessageBox::warning(parent, QStringLiteral("VOVA Vuvaru"),
                             QString::fromStdString(loadText("IDS_SAVE_FILE_ERROR")) + QStringLiteral("\n") + error);
        return false;
    }
    return true;
}
