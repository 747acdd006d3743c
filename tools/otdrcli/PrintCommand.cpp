// otdrcli print FILE --pdf OUT [--analyze] [--language ch|en|pt]
// Writes the one-page printout of a trace (the program's File > Print, with the print settings,
// display settings and language of the program's configuration) as a PDF file, without a display.
// --analyze runs the automatic event search first, with the configured analysis conditions.
// Built only together with the program's printing library.
#ifdef OTDR_HAVE_PRINTCORE

#include "Command.h"
#include "TraceInput.h"

#include "ConfigStore.h"
#include "Dravik.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceAnalysis.h"
#include "TraceFile.h"
#include "TracePrinter.h"

#include <QGuiApplication>
#include <QString>

#include <cstdlib>
#include <memory>
#include <ostream>

namespace {

constexpr const char* kUsage = "usage: otdrcli print FILE --pdf OUT [--analyze] [--language ch|en|pt]\n";

struct PrintOptions {
    std::string file;
    std::string pdf;
    bool analyze = false;
    int language = -1;
};

std::string parseArguments(const std::vector<std::string>& args, PrintOptions& o)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            if (!o.file.empty())
                return "more than one file given";
            o.file = arg;
            continue;
        }
        if (arg == "--analyze") {
            o.analyze = true;
            continue;
        }
        std::string value;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else {
            if (i + 1 >= args.size())
                return "option " + arg + " needs a value";
            value = args[++i];
        }
        if (arg == "--pdf") {
            o.pdf = value;
        } else if (arg == "--language") {
            if (value == "ch" || value == "zh")
                o.language = kLanguageChinese;
            else if (value == "en")
                o.language = kLanguageEnglish;
            else if (value == "pt")
                o.language = kLanguagePortuguese;
            else
                return "unknown language '" + value + "' (ch, en or pt)";
        } else {
            return "unknown option " + arg;
        }
    }
    if (o.file.empty())
        return "no file given";
    if (o.pdf.empty())
        return "no output given (--pdf OUT)";
    return {};
}

// Text drawing needs a GUI application; without a display it runs on the offscreen platform.
std::unique_ptr<QGuiApplication> startGuiApplication()
{
    auto unset = [](const char* name) {
        const char* v = std::getenv(name);
        return v == nullptr || *v == '\0';
    };
    if (unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "otdrcli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int runPrint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    PrintOptions o;
    if (const std::string problem = parseArguments(args, o); !problem.empty()) {
        err << "otdrcli print: " << problem << '\n' << kUsage;
        return kExitUsage;
    }

    auto table = std::make_unique<TraceTable>();
    CEndDravik engine;
    TraceRecord* const read = readCommandTrace(*table, engine, o.file, err);
    if (!read)
        return kExitFailure;
    TraceRecord& record = *read;

    loadDisplaySettings(configStore(), displaySettings());
    if (o.language >= 0)
        setLanguage(o.language);
    else
        loadLanguageOption();
    loadReportSettings(currentLanguage());

    if (o.analyze) {
        AnalysisSettings settings;
        loadAnalysisSettings(configStore(), settings);
        if (!runAutoSearch(record, engine, autoSearchParametersFor(record, settings))) {
            err << "otdrcli: " << o.file << ": the event analysis failed\n";
            return kExitFailure;
        }
    }

    const auto app = startGuiApplication();
    QString error;
    if (!writeTracePdf(QString::fromStdString(o.pdf), *table, 0, &error)) {
        err << "otdrcli: " << error.toStdString() << '\n';
        return kExitFailure;
    }
    out << o.pdf << '\n';
    return kExitOk;
}

} // namespace

OTDRCLI_COMMAND({"print", "FILE --pdf OUT [--analyze] [--language ch|en|pt]",
                 "write the one-page printout of a SOR file (print settings of the configuration) as PDF",
                 &runPrint})

#endif
