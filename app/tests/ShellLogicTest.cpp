// Widget-free rules of the main frame: command enabling, layout arithmetic, menu resources,
// toolbar tooltips and help files.
#include "ShellLogic.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

#include <set>

using namespace otdr::shell;
namespace ids = otdr::ids;

TEST(ShellLogic, CommandEnablingFollowsTracesAndReportMode)
{
    const struct {
        int id;
        bool idle, traces, report, reportWithTraces;
    } cases[] = {
        // id                          no traces  traces  report  report+traces
        {ids::kCmdOpenFile,            true,      true,   false,  false},
        {ids::kCmdSaveFile,            false,     true,   false,  false},
        {ids::kCmdPrint,               false,     true,   false,  false},
        {ids::kCmdPrintPreview,        false,     true,   false,  false},
        {ids::kCmdAutoSearch,          false,     true,   false,  false},
        {ids::kCmdAnalyseCondition,    false,     true,   false,  false},
        {ids::kCmdRemoteConnect,       true,      true,   false,  false},
        {ids::kCmdRemoteSetting,       true,      true,   false,  false},
        {ids::kCmdLanguageChinese,     true,      true,   false,  false},
        {ids::kCmdLanguageEnglish,     true,      true,   false,  false},
        {ids::kCmdLanguagePortuguese,  true,      true,   false,  false},
        {ids::kCmdWaveWindow,          true,      true,   false,  false},
        {ids::kCmdEventWindow,         true,      true,   false,  false},
        {ids::kCmdThumbnailWindow,     true,      true,   false,  false},
        {ids::kCmdWaveScreenSetting,   true,      true,   false,  false},
        {ids::kCmdOriginalSetting,     true,      true,   false,  false},
        {ids::kCmdReportWizard,        true,      true,   false,  false},
        {ids::kCmdPrintSetting,        true,      true,   true,   true},
        {ids::kCmdExit,                true,      true,   true,   true},
        {ids::kCmdHelpContent,         true,      true,   true,   true},
        {ids::kCmdAbout,               true,      true,   true,   true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isCommandEnabled(c.id, {false, false}), c.idle) << c.id;
        EXPECT_EQ(isCommandEnabled(c.id, {true, false}), c.traces) << c.id;
        EXPECT_EQ(isCommandEnabled(c.id, {false, true}), c.report) << c.id;
        EXPECT_EQ(isCommandEnabled(c.id, {true, true}), c.reportWithTraces) << c.id;
    }
}

TEST(ShellLogic, ResizeSplitsTwoThirdsAndLeavesRoomForTheBars)
{
    const FrameLayout l = resizeLayout({0, 0, 800, 300});
    EXPECT_EQ(l.wave, (Rect{0, 0, 800, 200}));
    EXPECT_EQ(l.event, (Rect{0, 200, 600, 238}));
    EXPECT_EQ(l.thumbnail, (Rect{600, 200, 800, 238}));
    EXPECT_EQ(l.mainSetting, (Rect{0, 0, 250, 238}));

    // Integer arithmetic: 3/4 and 2/3 round down; a client that does not start at 0.
    const FrameLayout odd = resizeLayout({10, 5, 1011, 1006});
    EXPECT_EQ(odd.wave, (Rect{0, 0, 1001, 667}));
    EXPECT_EQ(odd.event, (Rect{0, 667, 750, 944}));
    EXPECT_EQ(odd.thumbnail, (Rect{750, 667, 1001, 944}));
    EXPECT_EQ(odd.mainSetting, (Rect{0, 5, 250, 944}));
}

TEST(ShellLogic, InitialAndReportLayouts)
{
    const FrameLayout l = initialLayout(1600, 900);
    EXPECT_EQ(l.wave, (Rect{0, 0, 1600, 490}));
    EXPECT_EQ(l.event, (Rect{0, 490, 1200, 838}));
    EXPECT_EQ(l.thumbnail, (Rect{1200, 490, 1600, 838}));
    EXPECT_EQ(l.mainSetting, (Rect{0, 0, 250, 838}));
    EXPECT_EQ(l.report, (Rect{0, 0, 1600, 900}));

    EXPECT_EQ(reportWaveRect({0, 0, 1600, 900}), (Rect{250, 0, 1600, 490}));
    EXPECT_EQ(reportEventRect({0, 600, 1200, 838}, true), (Rect{250, 600, 1200, 838}));
    EXPECT_EQ(reportEventRect({0, 600, 1200, 838}, false), (Rect{0, 600, 1200, 838}));
}

TEST(ShellLogic, ThreeMenusShareOneStructureWithEveryCommand)
{
    const std::set<int> commands = {
        ids::kCmdOpenFile, ids::kCmdSaveFile, ids::kCmdPrint, ids::kCmdPrintPreview, ids::kCmdPrintSetting,
        ids::kCmdExit, ids::kCmdRemoteConnect, ids::kCmdRemoteSetting, ids::kCmdLanguageChinese,
        ids::kCmdLanguageEnglish, ids::kCmdLanguagePortuguese, ids::kCmdWaveWindow, ids::kCmdThumbnailWindow,
        ids::kCmdEventWindow, ids::kCmdWaveScreenSetting, ids::kCmdOriginalSetting, ids::kCmdAutoSearch,
        ids::kCmdAnalyseCondition, ids::kCmdReportWizard, ids::kCmdHelpContent, ids::kCmdAbout};
    const auto& zh = menuResource(ids::kMenuChinese);
    for (int resource : {ids::kMenuChinese, ids::kMenuEnglish, ids::kMenuPortuguese}) {
        const auto& menu = menuResource(resource);
        ASSERT_EQ(menu.size(), 7u) << resource;
        std::set<int> seen;
        for (size_t g = 0; g < menu.size(); ++g) {
            EXPECT_FALSE(menu[g].title.empty());
            ASSERT_EQ(menu[g].items.size(), zh[g].items.size());
            for (size_t i = 0; i < menu[g].items.size(); ++i) {
                const MenuItem& item = menu[g].items[i];
                EXPECT_EQ(item.id, zh[g].items[i].id);
                EXPECT_EQ(item.id == 0, item.text.empty()) << resource << " " << item.id;
                if (item.id) {
                    EXPECT_TRUE(seen.insert(item.id).second) << "twice: " << item.id;
                }
            }
        }
        EXPECT_EQ(seen, commands) << resource;
    }
    EXPECT_TRUE(menuResource(130).empty());
    EXPECT_EQ(menuResourceForLanguage(0), ids::kMenuChinese);
    EXPECT_EQ(menuResourceForLanguage(1), ids::kMenuEnglish);
    EXPECT_EQ(menuResourceForLanguage(2), ids::kMenuPortuguese);
}

TEST(ShellLogic, ToolbarTooltipsPerLanguage)
{
    EXPECT_EQ(toolbarTooltip(ids::kCmdOpenFile, 0), "打开文件");
    EXPECT_EQ(toolbarTooltip(ids::kCmdRemoteConnect, 1), "Remote Connection");
    EXPECT_EQ(toolbarTooltip(ids::kCmdRemoteSetting, 2), "Configuração Remoto");
    EXPECT_EQ(toolbarTooltip(ids::kCmdSaveFile, 2), "Salvar Arquivo");
    // The enabling update re-sets Save and Print; only Portuguese differs.
    EXPECT_EQ(toolbarTooltipOnUpdate(ids::kCmdSaveFile, 2), "Salve o arquivo");
    EXPECT_EQ(toolbarTooltipOnUpdate(ids::kCmdPrint, 2), "Impressão");
    EXPECT_EQ(toolbarTooltipOnUpdate(ids::kCmdPrint, 1), "Print");
    EXPECT_EQ(toolbarTooltipOnUpdate(ids::kCmdSaveFile, 0), "保存轨迹文件");
    EXPECT_EQ(toolbarTooltipOnUpdate(ids::kCmdAbout, 2), "Sobre");
}

TEST(ShellLogic, HelpFileOfTheLanguage)
{
    EXPECT_EQ(helpFilePath("/opt/otdr", 0), "/opt/otdr/OTDR_CH.chm");
    EXPECT_EQ(helpFilePath("/opt/otdr", 1), "/opt/otdr/OTDR_EN.chm");
    EXPECT_EQ(helpFilePath("/opt/otdr", 2), "/opt/otdr/OTDR_EN.chm");
}
