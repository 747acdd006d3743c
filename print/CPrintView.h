#pragma once

// The print view: prints and previews the current trace on one A4 portrait page (more pages only
// when its event table is longer than the page), and saves the same printout as a PDF file. The
// report pages use the same view: a report painter takes over while single-trace mode is off.

#include <QObject>
#include <QString>

#include <functional>

class QPainter;
class QPrinter;
class QPrintPreviewDialog;
class QWidget;
class TraceTable;

class CPrintView : public QObject {
public:
    explicit CPrintView(QObject* parent = nullptr, TraceTable* table = nullptr);

    int printDirect = 0;       // 1 for "打印", 0 for "打印预览"
    int singleTraceMode = 1;   // 1: the current trace; 0: report pages (see setReportPages)

    // Report pages: prepare sets paper and orientation on the printer; paint draws every page
    // (calling printer.newPage() between them).
    using ReportPrepare = std::function<void(QPrinter& printer)>;
    using ReportPaint = std::function<void(QPrinter& printer, QPainter& painter)>;
    void setReportPages(ReportPrepare prepare, ReportPaint paint);

    // "打印": the print dialog, then the pages. Returns false when the dialog was cancelled.
    bool print(QWidget* parent);
    // "打印预览": the preview window (with a button that saves the pages as PDF).
    void printPreview(QWidget* parent);
    // Asks for a file name and saves the printout as PDF. Returns true when a file was written.
    bool printToPdf(QWidget* parent);
    // Saves the printout as PDF without asking.
    bool writePdf(const QString& path, QString* error = nullptr);

    // Paper and orientation for the job: A4, portrait for single traces.
    void preparePrinter(QPrinter& printer) const;
    // Draws every page of the job on the printer; false when the printer could not be opened.
    bool paintPages(QPrinter& printer);

    // The preview window while it is open (tests).
    QPrintPreviewDialog* previewDialog() const { return m_preview; }

private:
    TraceTable& m_table;
    ReportPrepare m_reportPrepare;
    ReportPaint m_reportPaint;
    QPrintPreviewDialog* m_preview = nullptr;
};
