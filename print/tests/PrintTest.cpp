// The trace printout and the print settings sheet. Printouts are written as PDF and read back
// with pdftotext; the sheet is driven through its widgets on the offscreen platform.
#include "CMyPropertySheet.h"
#include "CPrintView.h"
#include "PrintSheetValues.h"
#include "PrintText.h"
#include "TracePrinter.h"

#include "ConfigStore.h"
#include "PlotGeometry.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceTable.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QPrintPreviewDialog>
#include <QTabWidget>
#include <QTimer>
#include <QTemporaryDir>

#include <cctype>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "print_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

std::string readFile(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const QString& path, const std::string& text)
{
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out << text;
}

// Text of a PDF (optionally one page), as pdftotext lays it out.
std::string pdfText(const QString& pdf, int page = 0)
{
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    args << pdf << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    if (!p.waitForFinished(30000))
        return {};
    return p.readAllStandardOutput().toStdString();
}

int pdfPages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString& line : out.split('\n'))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return 0;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

EventItem event(float distance, int index, int type, float loss, float total, float att, float refl, char code)
{
    EventItem e;
    e.distance = distance;
    e.sampleIndex = index;
    e.eventType = type;
    e.eventLoss = loss;
    e.totalLoss = total;
    e.attenuation = att;
    e.reflectance = refl;
    e.codeLetter = code;
    return e;
}

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        ASSERT_TRUE(m_dir.isValid());
        const QDir shipped(QStringLiteral(OTDR_SOURCE_DIR "/Config"));
        for (const QString& f : shipped.entryList({QStringLiteral("*.ini")}, QDir::Files))
            QFile::copy(shipped.filePath(f), m_dir.filePath(f));
        setConfigDir(m_dir.path().toStdString());
        setLanguage(kLanguageEnglish);
        reportSettings().Heading.clear();
        DisplaySettings& d = displaySettings();
        d.gridShown = 1;
        d.distanceUnit = "m";
        d.distanceDecimals = 3;
        MarkerSnapshot& m = markerSnapshot();
        m = MarkerSnapshot{};
        m.shown = true;
        m.aFraction = 0.5f;
        m.aDistanceText = "10.000km";
        m.aLevelText = "20.00dB";
        m.bFraction = 0.25f;
        m.bDistanceText = "5.000km";
        m.bLevelText = "21.00dB";
        makeTrace();
    }

    // A 20 km trace at 1550 nm falling 0.2 dB/km with three events.
    void makeTrace()
    {
        m_table = std::make_unique<TraceTable>();
        TraceRecord& r = m_table->record(0);
        const int n = 10000;
        r.samples.resize(n);
        for (int i = 0; i < n; ++i)
            r.samples[static_cast<size_t>(i)] = static_cast<std::uint16_t>(65535 - 40000 + i * 2);
        r.sampleCount = n;
        r.sampleSpacing = 2.0f;
        r.length = 20000;
        r.wavelengthNm = 1550;
        r.pulseWidthNs = 100;
        r.rangeMetres = 20000;
        r.groupIndex = 1.4682f;
        r.refractiveIndex = 1.4682f;
        r.lossThreshold = 0.05f;
        r.reflectanceThreshold = -60;
        r.endThreshold = 5;
        r.backscatterCoeff = -79.5f;
        r.averageCount = 1024;
        r.timeStamp = 1700000000;
        r.events = {event(0, 0, 1, 0, 0, 0, 45.1f, 'S'),
                    event(10000, 5000, 0, 0.321f, 0.321f, 0.62f, 0, 'F'),
                    event(19000, 9500, 1, 0.5f, 4.2f, 0.35f, 14.2f, 'E')};
        m_table->slots[0].loaded = 1;
        m_table->slots[0].fileName = "span-a.sor";
        m_table->loadedCount = 1;
        m_table->currentTrace = 0;
    }

    void setPrint(const char* key, const std::string& value) { writeConfig("PrintSetting", key, value); }

    // Writes the printout of the current trace and returns its text.
    std::string render(const QString& name = QStringLiteral("out.pdf"))
    {
        m_pdf = m_dir.filePath(name);
        QString error;
        EXPECT_TRUE(writeTracePdf(m_pdf, *m_table, 0, &error)) << error.toStdString();
        return pdfText(m_pdf);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TraceTable> m_table;
    QString m_pdf;
};

// ---- Texts without drawing ------------------------------------------------------------------

TEST(PrintTextTest, EventCellsByLanguageAndUnit)
{
    const std::vector<EventItem> events = {
        event(120, 60, 1, 0, 0, 0, 40.5f, 'S'),
        event(1120, 560, 0, 0.25f, 0.25f, 0.62f, 33, 'F'),
        event(3120, 1560, 1, 0.5f, 1.1f, -0.35f, 0, 'A'),
        event(5120, 2560, 2, 0.1f, 1.2f, 0.5f, 12, 'X'),
    };
    const auto ch = printout::eventCells(events, "m", kLanguageChinese);
    ASSERT_EQ(ch.size(), 4u);
    EXPECT_EQ(ch[0], (std::array<std::string, 7>{"1 反射(S)", "0.000", "0.000", "--", "--", "--", "40.500"}));
    // Attenuation 0.62 is out of the plausible range; a non-reflective event has no reflectance.
    EXPECT_EQ(ch[1], (std::array<std::string, 7>{"2 非反射(F)", "1.120", "1.000", "0.250", "0.250", "--", ""}));
    EXPECT_EQ(ch[2], (std::array<std::string, 7>{"3 反射(A)", "3.120", "2.000", "0.500", "1.100", "-0.350", ""}));
    EXPECT_EQ(ch[3][0], "4");
    EXPECT_EQ(ch[3][5], "0.500");

    const auto en = printout::eventCells(events, "mi", kLanguageEnglish);
    EXPECT_EQ(en[0][0], "1 Reflect(S)");
    EXPECT_EQ(en[1][0], "2 NoReflect(F)");
    EXPECT_EQ(en[1][1], "0.696");  // 1.12 km in miles
    const auto pt = printout::eventCells(events, "ft", kLanguagePortuguese);
    EXPECT_EQ(pt[1][0], "2(F)");
    EXPECT_EQ(pt[1][2], "3.281");
}

TEST(PrintTextTest, MarkerReadouts)
{
    struct Case {
        const char *aDist, *aLevel, *bDist, *bLevel, *abDist, *abUnit, *abLevel, *slope;
    };
    const Case cases[] = {
        {"1.500km", "10.00dB", "1.500km", "12.50dB", "0.000", "km", "2.50", "0.000"},
        {"2.000km", "10.00dB", "1.000km", "10.50dB", "1.000", "km", "0.50", "0.500"},
        {"1.000km", "10.00dB", "3.000km", "11.00dB", "-2.000", "km", "1.00", "-0.500"},
        // Distances in miles; the slope stays per kilometre.
        {"1.243miles", "10.00dB", "0.621miles", "11.00dB", "0.622", "miles", "1.00", "0.999"},
        // Never published: empty texts read 0.
        {"", "", "", "", "0.000", "km", "0.00", "0.000"},
    };
    for (const Case& c : cases) {
        MarkerSnapshot m;
        m.aDistanceText = c.aDist;
        m.aLevelText = c.aLevel;
        m.bDistanceText = c.bDist;
        m.bLevelText = c.bLevel;
        const printout::MarkerReadout r = printout::markerReadout(m);
        EXPECT_EQ(r.abDistance, c.abDist) << c.aDist;
        EXPECT_EQ(r.abUnit, c.abUnit) << c.aDist;
        EXPECT_EQ(r.abLevel, c.abLevel) << c.aDist;
        EXPECT_EQ(r.slope, c.slope) << c.aDist;
    }
}

TEST(PrintTextTest, WrapsByWidthAndAtLineBreaks)
{
    auto width = [](std::string_view s) {
        int n = 0;
        for (unsigned char ch : s)
            n += (ch & 0xC0) != 0x80;  // one unit per character
        return n * 10;
    };
    EXPECT_EQ(printout::wrapText("abcdefghijklmno", 100, width),
              (std::vector<std::string>{"abcdefghij", "klmno"}));
    EXPECT_EQ(printout::wrapText("测试字体测试", 40, width), (std::vector<std::string>{"测试字体", "测试"}));
    EXPECT_EQ(printout::wrapText("ab\r\ncd\nef", 100, width), (std::vector<std::string>{"ab", "cd", "ef"}));
    EXPECT_TRUE(printout::wrapText("", 100, width).empty());
}

// ---- The printout ---------------------------------------------------------------------------

TEST_F(PrintTest, AllContentKeysAbsentPrintsEverySection)
{
    // A configuration without the six content keys.
    const QString ini = m_dir.filePath(QStringLiteral("Config.ini"));
    std::string text = readFile(ini);
    for (const char* key : printout::kContentKeys) {
        const std::string line = std::string(key) + "=1\n";
        const auto at = text.find(line);
        ASSERT_NE(at, std::string::npos) << key;
        text.erase(at, line.size());
    }
    writeFile(ini, text);
    setPrint("Comment", "Splice closure at km 10 re-made");
    setPrint("Job", "JOB-4711");

    const std::string pdf = render();
    EXPECT_TRUE(contains(pdf, "OTDR Test Report"));
    EXPECT_TRUE(contains(pdf, "Parlune VOVA Vuvaru"));
    EXPECT_TRUE(contains(pdf, "Job Information"));
    EXPECT_TRUE(contains(pdf, "JOB-4711"));
    EXPECT_TRUE(contains(pdf, "span-a.sor"));
    EXPECT_TRUE(contains(pdf, "Configuration"));
    EXPECT_TRUE(contains(pdf, "Splice closure at km 10 re-made"));
    EXPECT_TRUE(contains(pdf, "Trace"));
    EXPECT_TRUE(contains(pdf, "A-B: 5.000km"));
    EXPECT_TRUE(contains(pdf, "Event Table"));
    EXPECT_TRUE(contains(pdf, "Event No."));
    EXPECT_EQ(pdfPages(m_pdf), 1);
}

TEST_F(PrintTest, EachContentFlagHidesItsSection)
{
    struct Case {
        const char* key;
        const char* hidden;  // a text only that section prints
    };
    const Case cases[] = {
        {"SelectLogo", "Parlune VOVA Vuvaru"}, {"SelectJob", "Job Information"},
        {"SelectConfig", "Configuration"},     {"SelectComment", "Comment-text-here"},
        {"SelectTrace", "A-B:"},               {"SelectEvent", "Event Table"},
    };
    setPrint("Comment", "Comment-text-here");
    for (const Case& c : cases) {
        for (const char* key : printout::kContentKeys)
            setPrint(key, key == std::string(c.key) ? "0" : "1");
        const std::string pdf = render();
        EXPECT_FALSE(contains(pdf, c.hidden)) << c.key;
        for (const Case& other : cases)
            if (&other != &c) {
                EXPECT_TRUE(contains(pdf, other.hidden)) << c.key << " hid " << other.hidden;
            }
    }
}

TEST_F(PrintTest, MeasurementValuesFromTraceOrOwn)
{
    setPrint("SelfDefine", "0");
    std::string pdf = render();
    EXPECT_TRUE(contains(pdf, "Wavelength(nm): 1550"));
    EXPECT_TRUE(contains(pdf, "Refractive Index: 1.468"));
    EXPECT_TRUE(contains(pdf, "Averages: 1024"));
    EXPECT_TRUE(contains(pdf, "Test Date: " + printout::formatTimeStamp(1700000000)));

    setPrint("SelfDefine", "1");
    setPrint("Wavelength", "1625");
    pdf = render();
    EXPECT_TRUE(contains(pdf, "Wavelength(nm): 1625"));
}

TEST_F(PrintTest, CommentOneAndAHalfBoxWidthsWrapsToTwoLines)
{
    // Measure on the device the printout is drawn on.
    const QString path = m_dir.filePath(QStringLiteral("comment.pdf"));
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    const QRect page(QPoint(0, 0), writer.pageLayout().paintRectPixels(300).size());
    const int W = page.width();
    const int inner = W - 2 * (W / 18 + W / 36);
    CTracePrinter printer(painter, 300, *m_table);
    const QFontMetrics fm(printer.fonts().text, &writer);
    std::string comment;
    for (int i = 0; fm.horizontalAdvance(QString::fromStdString(comment)) < inner * 3 / 2; ++i)
        comment += static_cast<char>('a' + i % 26);
    setPrint("Comment", comment);

    printer.DrawTraceBlock(0, true, page);
    const TraceBlockLayout& l = printer.layout();
    EXPECT_EQ(l.commentLines, 2);
    EXPECT_EQ(l.commentBox.height(), 2 * l.lineHeight + 3 * l.gap);
    painter.end();

    // The two lines are both printed, one under the other.
    const std::string text = pdfText(path);
    EXPECT_TRUE(contains(text, comment.substr(0, 20)));
    EXPECT_TRUE(contains(text, comment.substr(comment.size() - 10)));
    EXPECT_FALSE(contains(text, comment));
}

TEST_F(PrintTest, AttenuationOutOfRangeShowsDashes)
{
    const std::string pdf = render();
    // Row 2: number, distance, section, loss, total loss, attenuation 0.62 -> "--", no reflectance.
    std::istringstream lines(pdf);
    std::string line, row2, row3;
    while (std::getline(lines, line)) {
        if (contains(line, "2 NoReflect(F)"))
            row2 = line;
        if (contains(line, "3 Reflect(E)"))
            row3 = line;
    }
    ASSERT_FALSE(row2.empty()) << pdf;
    std::istringstream cells(row2.substr(row2.find("(F)") + 3));
    std::vector<std::string> c;
    for (std::string s; cells >> s;)
        c.push_back(s);
    EXPECT_EQ(c, (std::vector<std::string>{"10.000", "10.000", "0.321", "0.321", "--"}));
    EXPECT_TRUE(contains(row3, "0.350"));
    EXPECT_TRUE(contains(row3, "14.200"));
    // The graph writes the attenuation of a section in dB/km.
    EXPECT_TRUE(contains(pdf, "0.620dB/km"));
}

TEST_F(PrintTest, MilesInDistanceColumnsAxisStaysInKm)
{
    displaySettings().distanceUnit = "mi";
    markerSnapshot().aDistanceText = "6.214miles";
    markerSnapshot().bDistanceText = "3.107miles";
    const std::string pdf = render();
    EXPECT_TRUE(contains(pdf, "Distance(miles)"));
    EXPECT_TRUE(contains(pdf, "6.214"));   // event 2 at 10 km
    EXPECT_TRUE(contains(pdf, "11.806"));  // event 3 at 19 km
    EXPECT_FALSE(contains(pdf, "19.000"));
    // Axis labels under the graph: kilometres of the 20 km trace.
    EXPECT_TRUE(contains(pdf, "18.0"));
    EXPECT_TRUE(contains(pdf, "A-B: 3.107miles"));
}

TEST_F(PrintTest, ABDistanceZeroGivesSlopeZero)
{
    markerSnapshot().bDistanceText = markerSnapshot().aDistanceText;
    const std::string pdf = render();
    EXPECT_TRUE(contains(pdf, "A-B: 0.000km"));
    EXPECT_TRUE(contains(pdf, "1.00dB"));
    EXPECT_TRUE(contains(pdf, "0.000dB/km"));
}

TEST_F(PrintTest, LongEventTableContinuesWithHeaderRepeated)
{
    TraceRecord& r = m_table->record(0);
    r.events.clear();
    for (int i = 0; i < 90; ++i)
        r.events.push_back(event(200.0f * i, 100 * i, i % 2, 0.1f, 0.1f * (i + 1), 0.2f, 40, 'F'));
    const std::string all = render();
    const int pages = pdfPages(m_pdf);
    ASSERT_GE(pages, 2);
    const std::string first = pdfText(m_pdf, 1);
    const std::string last = pdfText(m_pdf, pages);
    EXPECT_TRUE(contains(first, "1 NoReflect(F)"));
    EXPECT_FALSE(contains(first, "90 Reflect(F)"));
    EXPECT_TRUE(contains(last, "Event Table"));
    EXPECT_TRUE(contains(last, "Event No."));
    EXPECT_TRUE(contains(last, "90 Reflect(F)"));
    // Every row is printed exactly once.
    for (int i = 1; i <= 90; ++i) {
        const std::string key = std::to_string(i) + (i % 2 ? " NoReflect(F)" : " Reflect(F)");
        std::size_t count = 0;
        for (std::size_t at = all.find(key); at != std::string::npos; at = all.find(key, at + 1))
            count += at == 0 || !std::isdigit(static_cast<unsigned char>(all[at - 1]));
        EXPECT_EQ(count, 1u) << key;
    }
}

TEST_F(PrintTest, PrintViewWritesPdfAndRefusesUnwritablePath)
{
    CPrintView view(nullptr, m_table.get());
    const QString path = m_dir.filePath(QStringLiteral("view.pdf"));
    ASSERT_TRUE(view.writePdf(path));
    EXPECT_TRUE(contains(pdfText(path), "Event Table"));
    EXPECT_FALSE(view.writePdf(m_dir.filePath(QStringLiteral("missing/folder/x.pdf"))));
}

TEST_F(PrintTest, PreviewOffersSavingAsPdf)
{
    CPrintView view(nullptr, m_table.get());
    bool sawPdfAction = false;
    bool sawPreview = false;
    QTimer::singleShot(300, [&] {
        if (QPrintPreviewDialog* d = view.previewDialog()) {
            sawPreview = true;
            sawPdfAction = d->findChild<QAction*>(QStringLiteral("printToPdf")) != nullptr;
            d->reject();
        }
    });
    view.printPreview(nullptr);
    EXPECT_TRUE(sawPreview);
    EXPECT_TRUE(sawPdfAction);
    EXPECT_EQ(view.previewDialog(), nullptr);
}

TEST_F(PrintTest, PrintsInEveryLanguage)
{
    for (int language : {kLanguageChinese, kLanguagePortuguese}) {
        setLanguage(language);
        const std::string pdf = render(QStringLiteral("lang%1.pdf").arg(language));
        const std::string caption = readConfig(reportCaptionSection(language), "EventTitle");
        EXPECT_TRUE(contains(pdf, caption)) << language;
        EXPECT_TRUE(contains(pdf, readConfig(reportSection("RepLayListTitle", language), "Heading"))) << language;
    }
}

// ---- Print settings sheet -------------------------------------------------------------------

class PrintSheetTest : public PrintTest {
protected:
    std::unique_ptr<CMyPropertySheet> sheet(TraceTable& table)
    {
        return std::make_unique<CMyPropertySheet>(QStringLiteral("Print Settings"), nullptr, nullptr, &table);
    }
};

TEST_F(PrintSheetTest, FreshConfigurationChecksAllAndIsEmpty)
{
    // No "PrintSetting" section at all.
    writeFile(m_dir.filePath(QStringLiteral("Config.ini")), "[Language]\nLanguageOpt=1\n");
    TraceTable empty;
    auto s = sheet(empty);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(s->contentPage()->box(i)->isChecked()) << i;
    EXPECT_TRUE(s->configPage()->selfDefineBox()->isChecked());
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(s->configPage()->linkEdit(i)->text().isEmpty());
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(s->configPage()->measurementEdit(i)->text().isEmpty());
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(s->jobPage()->jobEdit(i)->text().isEmpty());
    // No trace: file and test time stay empty.
    EXPECT_TRUE(s->jobPage()->fileEdit()->text().isEmpty());
    EXPECT_TRUE(s->jobPage()->timeEdit()->text().isEmpty());
    EXPECT_FALSE(s->jobPage()->fileEdit()->isEnabled());
}

TEST_F(PrintSheetTest, SelfDefineOffShowsAndStoresTraceValues)
{
    setPrint("SelfDefine", "0");
    setPrint("Range", "999");
    auto s = sheet(*m_table);
    s->show();
    s->tabs()->setCurrentIndex(1);
    QApplication::processEvents();
    CPropConfig* page = s->configPage();
    EXPECT_FALSE(page->selfDefineBox()->isChecked());
    const char* expected[9] = {"1550", "100", "20000", "0.050", "-60.000", "5.000", "-79.500", "1.468200", "1024"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_FALSE(page->measurementEdit(i)->isEnabled()) << i;
        EXPECT_EQ(page->measurementEdit(i)->text().toStdString(), expected[i]) << i;
    }
    EXPECT_EQ(s->jobPage()->fileEdit()->text().toStdString(), "span-a.sor");
    EXPECT_EQ(s->jobPage()->timeEdit()->text().toStdString(), printout::formatTimeStamp(1700000000));
    s->SaveSheetValues();
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(readConfig("PrintSetting", printout::kMeasurementKeys[static_cast<size_t>(i)]), expected[i]);
    EXPECT_EQ(readConfig("PrintSetting", "SelfDefine"), "0");

    // Turning "自定义" on shows the stored values again, editable.
    page->selfDefineBox()->click();
    EXPECT_TRUE(page->measurementEdit(2)->isEnabled());
    EXPECT_EQ(page->measurementEdit(2)->text().toStdString(), "20000");
}

TEST_F(PrintSheetTest, TypedValuesAreStoredAndShownNextTime)
{
    setPrint("SelfDefine", "1");
    {
        auto s = sheet(*m_table);
        s->configPage()->measurementEdit(printout::Range)->setText(QStringLiteral("12 km?"));
        s->configPage()->linkEdit(0)->setText(QStringLiteral("Exchange Nord"));
        s->jobPage()->commentEdit()->setPlainText(QStringLiteral("line one\nline two"));
        s->contentPage()->box(printout::Events)->setChecked(false);
        s->SaveSheetValues();
    }
    EXPECT_EQ(readConfig("PrintSetting", "Range"), "12 km?");
    EXPECT_EQ(readConfig("PrintSetting", "SelectEvent"), "0");
    EXPECT_EQ(readConfig("PrintSetting", "SelectLogo"), "1");
    auto s = sheet(*m_table);
    EXPECT_EQ(s->configPage()->measurementEdit(printout::Range)->text().toStdString(), "12 km?");
    EXPECT_EQ(s->configPage()->linkEdit(0)->text().toStdString(), "Exchange Nord");
    EXPECT_EQ(s->jobPage()->commentEdit()->toPlainText().toStdString(), "line one\nline two");
    EXPECT_FALSE(s->contentPage()->box(printout::Events)->isChecked());
}

TEST_F(PrintSheetTest, CancelAfterClearLeavesStoreUnchanged)
{
    setPrint("Job", "J-1");
    setPrint("Comment", "keep me");
    setPrint("OriginCable", "C-7");
    const std::string before = readFile(m_dir.filePath(QStringLiteral("Config.ini")));
    auto s = sheet(*m_table);
    s->configPage()->clearButton()->click();
    s->jobPage()->clearButton()->click();
    EXPECT_TRUE(s->configPage()->linkEdit(1)->text().isEmpty());
    EXPECT_TRUE(s->jobPage()->jobEdit(0)->text().isEmpty());
    EXPECT_TRUE(s->jobPage()->commentEdit()->toPlainText().isEmpty());
    // File and test time are not cleared.
    EXPECT_EQ(s->jobPage()->fileEdit()->text().toStdString(), "span-a.sor");
    s->cancelButton()->click();
    EXPECT_EQ(s->result(), QDialog::Rejected);
    EXPECT_EQ(readFile(m_dir.filePath(QStringLiteral("Config.ini"))), before);
}

} // namespace
