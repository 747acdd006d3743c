#include "ShellLogic.h"

#include "../resources/ResourceIds.h"

#include <map>

namespace otdr::shell {

using namespace otdr::ids;

FrameLayout initialLayout(int w, int h)
{
    FrameLayout l;
    l.wave = {0, 0, w, 490};
    l.event = {0, 490, w * 3 / 4, h - 62};
    l.thumbnail = {w * 3 / 4, 490, w, h - 62};
    l.report = {0, 0, w, h};
    l.mainSetting = {0, 0, 250, h - 62};
    return l;
}

FrameLayout resizeLayout(const Rect& c)
{
    const int t = (c.bottom - c.top) * 2 / 3;
    const int w = c.right - c.left;
    FrameLayout l;
    l.event = {0, t, w * 3 / 4, c.bottom - 62};
    l.mainSetting = {0, c.top, 250, c.bottom - 62};
    l.thumbnail = {w * 3 / 4, t, w, c.bottom - 62};
    l.wave = {0, 0, w, t};
    l.report = c;
    return l;
}

Rect reportWaveRect(const Rect& client)
{
    return {250, client.top, client.right, 490};
}

Rect reportEventRect(const Rect& eventRect, bool panelShown)
{
    if (!panelShown)
        return eventRect;
    return {eventRect.left + 250, eventRect.top, eventRect.right, eventRect.bottom};
}

bool isCommandEnabled(int id, const CommandState& s)
{
    switch (id) {
    case kCmdSaveFile:
    case kCmdPrint:
    case kCmdPrintPreview:
    case kCmdAutoSearch:
    case kCmdAnalyseCondition:
        return s.hasTraces && !s.reportMode;
    case kCmdOpenFile:
    case kCmdRemoteConnect:
    case kCmdRemoteSetting:
    case kCmdLanguageChinese:
    case kCmdLanguageEnglish:
    case kCmdLanguagePortuguese:
    case kCmdWaveWindow:
    case kCmdThumbnailWindow:
    case kCmdEventWindow:
    case kCmdWaveScreenSetting:
    case kCmdOriginalSetting:
    case kCmdReportWizard:
        return !s.reportMode;
    default: // Setting, Exit, Content, About
        return true;
    }
}

namespace {

// Texts of one menu resource, in the order of the common structure below.
struct MenuTexts {
    const char* groups[7];
    const char* items[20];
};

// The common structure: groups, then per group the command ids (0 = separator).
const std::vector<std::vector<int>>& menuStructure()
{
    static const std::vector<std::vector<int>> s = {
        {kCmdOpenFile, kCmdSaveFile, 0, kCmdPrint, kCmdPrintPreview, kCmdPrintSetting, 0, kCmdExit},
        {kCmdWaveWindow, kCmdEventWindow, kCmdThumbnailWindow, 0, kCmdWaveScreenSetting, kCmdOriginalSetting},
        {kCmdAutoSearch, kCmdAnalyseCondition},
        {kCmdReportWizard},
        {kCmdRemoteConnect, kCmdRemoteSetting},
        {kCmdLanguageChinese, kCmdLanguageEnglish, kCmdLanguagePortuguese},
        {kCmdHelpContent, 0, kCmdAbout},
    };
    return s;
}

// Item texts follow the command ids of menuStructure() without the separators.
const MenuTexts kChinese = {
    {"文件(&F)", "视图(&V)", "分析(&A)", "报表(&R)", "远程(&M)", "语言(&L)", "帮助(&H)"},
    {"打开文件", "保存轨迹文件", "打印", "打印预览", "设置", "退出",
     "波形窗口", "事件窗口", "缩略图", "波形屏幕设置", "设置初始化",
     "执行自动搜索", "分析条件设置",
     "报表向导",
     "远程连接", "远程设置",
     "中文", "English", "Português",
     "内容"}};
const MenuTexts kEnglish = {
    {"&File", "&View", "&Analyse", "&Report", "Re&mote", "&Language", "&Help"},
    {"&Open File", "&Save File", "&Print", "Print Pre&view", "Se&tting", "E&xit",
     "&Wave Window", "&Event Window", "&Thumbnail Window", "Wave &Screen Setting", "&Original Setting",
     "&Auto Search", "Analyse &Condition Setting",
     "Report &Wizard",
     "Remote &Connect", "Remote &Setting",
     "中文", "English", "Português",
     "&Content"}};
const MenuTexts kPortuguese = {
    {"&Arquivo", "&Exibir", "A&nálise", "&Relatório", "Re&moto", "&Idioma", "A&juda"},
    {"&Abrir Arquivo", "&Salvar Arquivo", "&Imprimir", "&Visualizar Impressão", "&Configuração", "Sai&r",
     "Janela de &Traços", "Janela de &Eventos", "Janela de &Miniatura", "Configuração da Te&la de Traços",
     "Configuração &Original",
     "&Busca Automática", "&Condições de Análise",
     "&Assistente de Relatório",
     "&Conexão Remota", "Configuração &Remota",
     "中文", "English", "Português",
     "&Conteúdo"}};

const char* aboutText(int resourceId)
{
    switch (resourceId) {
    case kMenuEnglish: return "&About";
    case kMenuPortuguese: return "&Sobre";
    default: return "关于";
    }
}

std::vector<MenuGroup> buildMenu(int resourceId, const MenuTexts& t)
{
    std::vector<MenuGroup> menu;
    int item = 0;
    const auto& structure = menuStructure();
    for (size_t g = 0; g < structure.size(); ++g) {
        MenuGroup group{t.groups[g], {}};
        for (int id : structure[g]) {
            MenuItem mi;
            mi.id = id;
            if (id == kCmdAbout) {
                mi.text = aboutText(resourceId);
            } else if (id != 0) {
                mi.text = t.items[item++];
            }
            mi.checkable = id == kCmdWaveWindow || id == kCmdEventWindow || id == kCmdThumbnailWindow
                || id == kCmdLanguageChinese || id == kCmdLanguageEnglish || id == kCmdLanguagePortuguese;
            group.items.push_back(mi);
        }
        menu.push_back(std::move(group));
    }
    return menu;
}

} // namespace

const std::vector<MenuGroup>& menuResource(int resourceId)
{
    static const std::map<int, std::vector<MenuGroup>> menus = {
        {kMenuChinese, buildMenu(kMenuChinese, kChinese)},
        {kMenuEnglish, buildMenu(kMenuEnglish, kEnglish)},
        {kMenuPortuguese, buildMenu(kMenuPortuguese, kPortuguese)},
    };
    static const std::vector<MenuGroup> none;
    auto it = menus.find(resourceId);
    return it == menus.end() ? none : it->second;
}

int menuResourceForLanguage(int language)
{
    switch (language) {
    case kLanguageEnglish: return kMenuEnglish;
    case kLanguagePortuguese: return kMenuPortuguese;
    default: return kMenuChinese;
    }
}

const std::vector<int>& toolbarButtons()
{
    static const std::vector<int> buttons = {kCmdOpenFile, kCmdSaveFile, 0, kCmdPrint, 0,
                                             kCmdRemoteConnect, kCmdRemoteSetting, 0, kCmdAbout};
    return buttons;
}

std::string toolbarTooltip(int id, int language)
{
    struct Texts { const char* zh; const char* en; const char* pt; };
    static const std::map<int, Texts> tips = {
        {kCmdOpenFile, {"打开文件", "Open File", "Arquivo Aberto"}},
        {kCmdSaveFile, {"保存轨迹文件", "Save File", "Salvar Arquivo"}},
        {kCmdPrint, {"打印", "Print", "Print"}},
        {kCmdRemoteConnect, {"远程连接到设备", "Remote Connection", "Conectar Remoto"}},
        {kCmdRemoteSetting, {"远程设置", "Remote Setting", "Configuração Remoto"}},
        {kCmdAbout, {"关于", "About", "Sobre"}},
    };
    auto it = tips.find(id);
    if (it == tips.end())
        return {};
    switch (language) {
    case kLanguageEnglish: return it->second.en;
    case kLanguagePortuguese: return it->second.pt;
    default: return it->second.zh;
    }
}

std::string toolbarTooltipOnUpdate(int id, int language)
{
    if (language == kLanguagePortuguese) {
        if (id == kCmdSaveFile)
            return "Salve o arquivo";
        if (id == kCmdPrint)
            return "Impressão";
    }
    return toolbarTooltip(id, language);
}

std::string helpFileName(int language)
{
    return language == kLanguageChinese ? "OTDR_CH.chm" : "OTDR_EN.chm";
}

std::string helpFilePath(const std::string& appFolder, int language)
{
    return appFolder + "/" + helpFileName(language);
}

} // namespace otdr::shell
