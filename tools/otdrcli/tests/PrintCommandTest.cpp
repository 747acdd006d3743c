// otdrcli print: the printout of a trace written as PDF by the built program without a display,
// read back with pdftotext. Only built together with the program's printing library.
#include <gtest/gtest.h>

#ifdef OTDR_HAVE_PRINTCORE

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::path(::testing::TempDir()) / ("otdrcli-print-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "Config");
        // A configuration of its own, so that the program's folder is never read or written.
        for (const auto& entry : fs::directory_iterator(fs::path(OTDR_SOURCE_DIR) / "Config"))
            fs::copy_file(entry.path(), dir / "Config" / entry.path().filename());
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs otdrcli without any display; returns the exit code.
    int run(const std::string& args) const
    {
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM OTDR_CONFIG_DIR='" +
            (dir / "Config").string() + "' '" + OTDRCLI_PATH + "' print " + args + " >'" +
            (dir / "stdout").string() + "' 2>'" + (dir / "stderr").string() + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string pdfText(const fs::path& pdf) const
    {
        const fs::path txt = dir / "out.txt";
        const std::string command = "pdftotext -layout '" + pdf.string() + "' '" + txt.string() + "'";
        return std::system(command.c_str()) == 0 ? slurp(txt) : std::string();
    }

    static std::string sample(const char* name)
    {
        return (fs::path(OTDR_SOURCE_DIR) / "default" / "curve" / name).string();
    }

    fs::path dir;
};

TEST_F(PrintCommand, WritesThePrintoutAsPdf)
{
    const fs::path pdf = dir / "trunk.pdf";
    ASSERT_EQ(run("'" + sample("trunk-40km-1550nm.sor") + "' --pdf '" + pdf.string() + "' --analyze --language en"), 0)
        << slurp(dir / "stderr");
    const std::string text = pdfText(pdf);
    for (const char* part : {"OTDR Test Report", "trunk-40km-1550nm.sor", "Wavelength(nm): 1550", "Event Table",
                             "1 Reflect(S)", "(E)"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;

    const fs::path pt = dir / "pt.pdf";
    ASSERT_EQ(run("'" + sample("link-10km-1310nm.sor") + "' --pdf='" + pt.string() + "' --language pt"), 0);
    EXPECT_NE(pdfText(pt).find("Tabela de eventos"), std::string::npos);
}

TEST_F(PrintCommand, ReportsWrongArgumentsAndFailures)
{
    EXPECT_EQ(run("'" + sample("trunk-40km-1550nm.sor") + "'"), 2);
    EXPECT_NE(slurp(dir / "stderr").find("--pdf"), std::string::npos);
    EXPECT_EQ(run("'" + sample("trunk-40km-1550nm.sor") + "' --pdf x.pdf --language fr"), 2);
    EXPECT_EQ(run("'" + (dir / "missing.sor").string() + "' --pdf '" + (dir / "x.pdf").string() + "'"), 1);
    EXPECT_EQ(run("'" + sample("trunk-40km-1550nm.sor") + "' --pdf '" + (dir / "no" / "such" / "x.pdf").string() + "'"), 1);
    EXPECT_FALSE(fs::exists(dir / "x.pdf"));
}

} // namespace

#else

TEST(PrintCommand, NotBuiltWithoutPrinting)
{
    GTEST_SKIP() << "otdrcli is built without the printing library";
}

#endif
