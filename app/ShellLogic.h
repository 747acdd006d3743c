#pragma once

// Widget-free rules of the main frame: command enabling, the child-frame layout, the menu
// resources of the three languages, toolbar tooltips and the help file name. The frame
// applies them to its widgets; tests call them directly.

#include <string>
#include <vector>

namespace otdr::shell {

// Interface languages.
inline constexpr int kLanguageChinese = 0;
inline constexpr int kLanguageEnglish = 1;
inline constexpr int kLanguagePortuguese = 2;

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// Rectangles of the child frames that the main frame arranges.
struct FrameLayout {
    Rect wave;
    Rect event;
    Rect thumbnail;
    Rect mainSetting;
    Rect report;
    bool operator==(const FrameLayout&) const = default;
};

// Layout used while the frame is created, for a client area of width w and height h.
FrameLayout initialLayout(int w, int h);

// Layout applied on every resize: the trace view takes the upper two thirds, the event
// table and the thumbnail share the rest (3/4 and 1/4) down to 62 pixels above the bottom.
FrameLayout resizeLayout(const Rect& client);

// Layout of the report mode's trace view and event table (setReportLayout).
Rect reportWaveRect(const Rect& client);
Rect reportEventRect(const Rect& eventRect, bool panelShown);

// State that decides which commands are enabled.
struct CommandState {
    bool hasTraces = false;
    bool reportMode = false;
};

// Whether the command is enabled in the given state; unknown commands are enabled.
bool isCommandEnabled(int commandId, const CommandState& state);

// One entry of a menu resource: a command, or a separator when id is 0.
struct MenuItem {
    int id = 0;
    std::string text;
    bool checkable = false;
};

struct MenuGroup {
    std::string title;
    std::vector<MenuItem> items;
};

// Menu resource 129 (Chinese), 195 (English) or 224 (Portuguese); empty for other ids.
// The three are identical in structure and command identifiers.
const std::vector<MenuGroup>& menuResource(int resourceId);

// The menu resource of a language (Chinese for unknown values).
int menuResourceForLanguage(int language);

// Toolbar buttons in order; 0 stands for a separator.
const std::vector<int>& toolbarButtons();

// Tooltip of a toolbar button as set when the language is applied.
std::string toolbarTooltip(int commandId, int language);

// Tooltips of Save and Print as re-set by the command-enabling update (they differ from
// the language-apply texts in Portuguese). Other buttons return the language-apply text.
std::string toolbarTooltipOnUpdate(int commandId, int language);

// Name of the help file of a language and its path in the application folder.
std::string helpFileName(int language);
std::string helpFilePath(const std::string& appFolder, int language);

} // namespace otdr::shell
