// Writes the default skin's layout files (INI_CN and INI_EN, CRLF, UTF-8) from the compact
// description below. The files it writes are what ships: run it by hand after changing the
// description (`cmake --build --preset release --target update_skin_layouts`) and commit them.
//
// Every rectangle value is "name,x,y,w,h,label,look": the program reads x, y, w, h and the
// label; the name and the look are free text for the reader of the file, and the look tells the
// image generator how to draw the entry. Both languages share every rectangle (the images are
// shared); only labels and function names differ. A window of 800 x 640 pixels.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::string name;
    int x = 0, y = 0, w = 0, h = 0;
    std::string cn, en, look;
};

using Section = std::map<int, Entry>;

struct LayoutFile {
    std::string cnName, enName;
    std::vector<std::pair<std::string, Section>> sections;  // in file order
    int buttonCount = 0;  // BUTTONPOS keys 0..buttonCount-1 all written
};

void Put(Section& s, int key, std::string name, int x, int y, int w, int h, std::string cn,
         std::string en, std::string look) {
    s[key] = Entry{std::move(name), x, y, w, h, std::move(cn), std::move(en), std::move(look)};
}

// The frame: title bar, tabs, profiles and the bottom bar, on every page.
void Frame(Section& b, Section& panels) {
    Put(panels, 0, "title_bar", 0, 0, 800, 52, "", "", "titlebar");
    Put(panels, 1, "bottom_bar", 0, 580, 800, 60, "", "", "footer");

    Put(b, 0, "title", 20, 12, 220, 28, "ZP-3907 游戏鼠标", "ZP-3907 Gaming mouse", "title");
    Put(b, 1, "unused", 0, 0, 0, 0, "", "", "");
    Put(b, 19, "web_page", 468, 12, 72, 28, "官网", "Website", "button");
    Put(b, 17, "chinese", 548, 12, 60, 28, "中文", "中文", "button");
    Put(b, 18, "english", 612, 12, 64, 28, "English", "English", "button");
    Put(b, 2, "hide_to_tray", 688, 12, 32, 28, "", "", "glyph:tray");
    Put(b, 12, "minimise", 724, 12, 32, 28, "", "", "glyph:min");
    Put(b, 13, "close", 760, 12, 32, 28, "", "", "glyph:close");

    Put(b, 9, "tab_main", 20, 60, 130, 36, "基本设置", "Basic", "tab");
    Put(b, 10, "tab_advanced", 154, 60, 130, 36, "高级设置", "Advanced", "tab");
    Put(b, 11, "tab_colour", 288, 60, 130, 36, "灯光设置", "Lighting", "tab");

    Put(b, 8, "profile_caption", 468, 60, 72, 36, "配置", "Profile", "label");
    for (int i = 0; i < 4; ++i) {
        Put(b, 4 + i, "profile_" + std::to_string(i + 1), 548 + i * 62, 60, 58, 36,
            std::to_string(i + 1), std::to_string(i + 1), "button");
    }

    Put(b, 14, "import", 20, 594, 110, 32, "导入配置", "Import", "button");
    Put(b, 15, "export", 138, 594, 110, 32, "导出配置", "Export", "button");
    Put(b, 16, "factory", 256, 594, 130, 32, "恢复出厂设置", "Factory reset", "button");
    Put(b, 3, "apply", 652, 594, 128, 32, "应用", "Apply", "accent");
}

constexpr int DpiValues[12] = {200, 400, 600, 800, 1000, 1200, 1600, 2000, 2400, 3200, 4000, 4800};

LayoutFile MainFile() {
    LayoutFile f{"skin_main.ini", "skin_main_en.ini", {}, 147};
    Section b, panels;
    Frame(b, panels);
    Put(panels, 2, "buttons_panel", 20, 108, 370, 468, "", "", "panel");
    Put(panels, 3, "dpi_panel", 400, 108, 380, 468, "", "", "panel");

    Put(b, 20, "buttons_heading", 32, 116, 346, 24, "按键功能", "Button functions", "heading");
    for (int i = 0; i < 7; ++i) {
        const int y = 148 + i * 44;
        Put(b, 22 + i, "slot_" + std::to_string(i), 70, y, 308, 32, "", "", "slot");
        Put(b, 138 + i, "slot_badge_" + std::to_string(i), 32, y, 32, 32, "", "",
            "badge:" + std::to_string(i + 1));
    }
    Put(b, 21, "buttons_hint", 32, 450, 346, 20, "点击按键选择功能",
        "Click a button to choose its function", "label");

    Put(b, 31, "wheel_heading", 32, 478, 166, 22, "滚轮方向", "Wheel direction", "heading");
    Put(b, 32, "wheel_normal", 32, 504, 80, 30, "正常", "Normal", "button");
    Put(b, 33, "wheel_reverse", 118, 504, 80, 30, "反向", "Reverse", "button");
    Put(b, 36, "mode_heading", 212, 478, 166, 22, "按键模式", "Button mode", "heading");
    Put(b, 37, "mode_game", 212, 504, 80, 30, "游戏", "Game", "button");
    Put(b, 38, "mode_office", 298, 504, 80, 30, "办公", "Office", "button");

    Put(b, 39, "dpi_heading", 412, 116, 356, 24, "DPI设置", "DPI settings", "heading");
    Put(b, 40, "dpi_hint", 412, 142, 356, 20, "点击数字切换当前级别",
        "Click a number to make its level current", "label");
    for (int j = 0; j < 6; ++j) {
        const int y = 194 + j * 48;
        const std::string n = std::to_string(j);
        Put(b, 60 + j, "dpi_level_" + n, 412, y, 34, 32, "", "", "level:" + std::to_string(j + 1));
        Put(b, 47 + j, "dpi_enable_" + n, 454, y + 7, 18, 18, "", "", "mark");
        Put(b, 41 + j, "dpi_colour_" + n, 480, y + 5, 22, 22, "", "", "swatch");
        for (int k = 0; k < 12; ++k) {
            std::string look = "cell";
            if (j == 0) {
                look.append(":").append(std::to_string(DpiValues[k]));
            }
            Put(b, 66 + 12 * j + k, "dpi_cell_" + n + "_" + std::to_string(k), 510 + k * 22, y, 22,
                32, "", "", look);
        }
    }
    Put(b, 53, "dpi_colour_hint", 412, 482, 356, 20, "勾选启用级别，点击色块选择颜色",
        "Tick to enable; click a swatch for its colour", "label");

    f.sections = {{"BUTTONPOS", b}, {"PANEL", panels}};
    return f;
}

LayoutFile AdvanceFile() {
    LayoutFile f{"skin_advance.ini", "skin_advance_en.ini", {}, 52};
    Section b, edit, display, panels;
    Put(panels, 0, "macro_panel", 20, 108, 420, 468, "", "", "panel");
    Put(panels, 1, "speed_panel", 450, 108, 330, 468, "", "", "panel");

    Put(b, 39, "macro_heading", 32, 116, 396, 24, "宏编辑", "Macro editor", "heading");
    Put(b, 0, "open_list", 32, 146, 72, 28, "打开", "Open", "button");
    Put(b, 1, "save_list", 108, 146, 72, 28, "保存", "Save", "button");
    Put(b, 2, "new_macro", 184, 146, 72, 28, "新建", "New", "button");
    Put(b, 3, "delete_macro", 260, 146, 72, 28, "删除", "Delete", "button");
    Put(b, 4, "record", 336, 146, 92, 28, "录制", "Record", "accent");
    Put(b, 40, "name_caption", 32, 182, 170, 20, "宏名称", "Macro name", "label");
    Put(edit, 4, "macro_name", 32, 204, 170, 24, "", "", "edit");
    Put(b, 41, "list_caption", 32, 234, 170, 20, "宏列表", "Macros", "label");
    Put(display, 1, "macro_list", 32, 256, 170, 240, "", "", "edit");
    Put(b, 42, "steps_caption", 212, 182, 216, 20, "步骤", "Steps", "label");
    Put(display, 2, "step_list", 212, 204, 216, 292, "", "", "edit");
    Put(b, 43, "key_down_steps", 212, 500, 106, 20, "[↓]0", "[↓]0", "label");
    Put(b, 44, "key_up_steps", 322, 500, 106, 20, "[↑]0", "[↑]0", "label");
    Put(b, 49, "repeat_caption", 32, 500, 170, 20, "循环次数", "Repeat count", "label");
    Put(edit, 3, "repeat_count", 32, 526, 70, 24, "", "", "edit");
    Put(b, 5, "apply_repeat", 108, 523, 94, 30, "设定", "Set", "button");
    Put(b, 6, "mode_count", 212, 523, 106, 30, "按次数", "By count", "button");
    Put(b, 7, "mode_held", 322, 523, 106, 30, "按住重复", "While held", "button");

    Put(b, 45, "pointer_heading", 462, 116, 306, 22, "指针速度", "Pointer speed", "heading");
    Put(b, 46, "wheel_heading", 462, 176, 306, 22, "滚轮速度", "Wheel speed", "heading");
    for (int k = 0; k < 10; ++k) {
        const std::string n = std::to_string(k + 1);
        Put(b, 8 + k, "pointer_speed_" + std::to_string(k), 462 + k * 31, 142, 28, 26, n, n,
            "button");
        Put(b, 18 + k, "wheel_speed_" + std::to_string(k), 462 + k * 31, 202, 28, 26, n, n,
            "button");
    }
    Put(b, 47, "rate_heading", 462, 236, 306, 22, "回报率", "Report rate", "heading");
    const char* rates[4] = {"125Hz", "250Hz", "500Hz", "1000Hz"};
    for (int k = 0; k < 4; ++k) {
        Put(b, 34 + k, "report_rate_" + std::to_string(k), 462 + k * 77, 262, 73, 26, rates[k],
            rates[k], "button");
    }
    Put(b, 48, "fire_heading", 462, 296, 306, 22, "连发间隔", "Fire interval", "heading");
    Put(b, 30, "fire_bar", 462, 324, 200, 22, "", "", "bar");
    Put(b, 32, "fire_minus", 668, 322, 26, 26, "-", "-", "button");
    Put(b, 31, "fire_plus", 698, 322, 26, 26, "+", "+", "button");
    Put(b, 33, "fire_value", 728, 322, 40, 26, "50ms", "50ms", "label");
    Put(edit, 2, "fire_time", 462, 356, 60, 22, "", "", "edit");
    Put(b, 51, "fire_edit_caption", 528, 357, 160, 20, "当前间隔(毫秒)", "Current interval (ms)",
        "label");
    Put(b, 50, "track_heading", 462, 392, 306, 22, "压枪轨迹", "Recoil track", "heading");
    Put(b, 38, "track_mode", 462, 420, 100, 28, "轨迹模式", "Track mode", "button");
    Put(edit, 5, "track_value", 568, 422, 50, 24, "", "", "edit");
    Put(b, 28, "track_insert", 624, 420, 144, 28, "插入轨迹", "Insert track", "button");

    f.sections = {{"BUTTONPOS", b}, {"EDIT", edit}, {"MACRODISPLAY", display}, {"PANEL", panels}};
    return f;
}

LayoutFile ColorFile() {
    LayoutFile f{"skin_color.ini", "skin_color_en.ini", {}, 33};
    Section b, panels;
    Put(panels, 0, "lighting_panel", 20, 108, 420, 344, "", "", "panel");
    Put(panels, 1, "preview_panel", 450, 108, 330, 344, "", "", "panel");

    struct Colour {
        const char *cn, *en, *rgb;
    };
    const Colour colours[7] = {{"黄色", "Yellow", "FFD200"}, {"蓝色", "Blue", "2080FF"},
                               {"粉色", "Pink", "FF69B4"},   {"绿色", "Green", "30D050"},
                               {"红色", "Red", "FF3030"},    {"青色", "Cyan", "30E0E0"},
                               {"白色", "White", "F0F0F0"}};
    Put(b, 17, "cycle_heading", 32, 116, 180, 24, "循环颜色", "Cycle colours", "heading");
    for (int k = 0; k < 7; ++k) {
        Put(b, k, "cycle_colour_" + std::to_string(k), 32, 148 + k * 36, 180, 30, colours[k].cn,
            colours[k].en, std::string("colour:") + colours[k].rgb);
    }
    Put(b, 19, "type_heading", 228, 116, 200, 24, "灯光效果", "Lighting effect", "heading");
    const char* typesCn[4] = {"关闭", "七彩循环", "常亮", "呼吸"};
    const char* typesEn[4] = {"Off", "Colour cycle", "Steady", "Breathing"};
    for (int t = 0; t < 4; ++t) {
        Put(b, 7 + t, "led_type_" + std::to_string(t), 228, 148 + t * 38, 200, 32, typesCn[t],
            typesEn[t], "button");
    }
    Put(b, 20, "time_heading", 228, 310, 200, 24, "循环速度", "Cycle speed", "heading");
    // Entry 11 is cycle time 5, the shortest period (300 ms); entry 16 is time 0 (1800 ms).
    const char* periods[6] = {"0.3s", "0.6s", "0.9s", "1.2s", "1.5s", "1.8s"};
    for (int i = 0; i < 6; ++i) {
        Put(b, 11 + i, "cycle_time_" + std::to_string(5 - i), 228 + (i % 3) * 68,
            340 + (i / 3) * 38, 64, 32, periods[i], periods[i], "button");
    }
    Put(b, 23, "cycle_hint", 32, 420, 396, 20, "点击颜色加入或移出循环",
        "Click a colour to add it to the cycle or take it out", "label");

    Put(b, 21, "preview_heading", 462, 116, 306, 24, "灯光预览", "Preview", "heading");
    Put(b, 32, "preview", 480, 150, 270, 200, "", "", "preview");
    Put(b, 22, "dpi_caption", 462, 372, 150, 26, "当前DPI", "Current DPI", "label");
    Put(b, 18, "dpi_value", 618, 372, 150, 26, "800", "800", "value");

    f.sections = {{"BUTTONPOS", b}, {"PANEL", panels}};
    return f;
}

LayoutFile WarningFile() {
    LayoutFile f{"LBWarning.ini", "LBWarning_en.ini", {}, 3};
    Section b, panels;
    Put(panels, 0, "warning_box", 0, 0, 340, 150, "", "", "popup");
    Put(b, 0, "continue", 60, 96, 100, 32, "确定", "OK", "button");
    Put(b, 1, "cancel", 180, 96, 100, 32, "取消", "Cancel", "button");
    Put(b, 2, "message", 16, 24, 308, 48, "此按键是唯一的左键，确定修改吗？",
        "This is the only left button. Change it?", "label");
    f.sections = {{"BUTTONPOS", b}, {"PANEL", panels}};
    return f;
}

struct FunName {
    const char *cn, *en;
};

// Display names of button function codes 1..47. Names 7..10 head the popup's four groups.
const FunName FunNames[47] = {
    {"左键", "Left click"},
    {"右键", "Right click"},
    {"中键", "Middle click"},
    {"前进", "Forward"},
    {"后退", "Back"},
    {"DPI循环", "DPI loop"},
    {"DPI与配置", "DPI & profile"},
    {"多媒体", "Multimedia"},
    {"内置宏", "Built-in macros"},
    {"用户宏", "User macros"},
    {"DPI反向循环", "DPI loop back"},
    {"火力键", "Fire key"},
    {"三连击", "Triple click"},
    {"滚轮向上", "Wheel up"},
    {"滚轮向下", "Wheel down"},
    {"DPI加", "DPI up"},
    {"DPI减", "DPI down"},
    {"配置循环", "Profile loop"},
    {"配置1", "Profile 1"},
    {"配置2", "Profile 2"},
    {"配置3", "Profile 3"},
    {"配置4", "Profile 4"},
    {"狙击键(按住)", "Sniper (hold)"},
    {"上一配置", "Previous profile"},
    {"主页", "Home"},
    {"媒体播放器", "Media player"},
    {"邮件", "E-mail"},
    {"音量加", "Volume up"},
    {"音量减", "Volume down"},
    {"上一曲", "Previous track"},
    {"下一曲", "Next track"},
    {"静音", "Mute"},
    {"播放/暂停", "Play/Pause"},
    {"计算器", "Calculator"},
    {"停止", "Stop"},
    {"保留", "Reserved"},
    {"保留", "Reserved"},
    {"保留", "Reserved"},
    {"保留", "Reserved"},
    {"内置宏1", "Built-in macro 1"},
    {"内置宏2", "Built-in macro 2"},
    {"内置宏3", "Built-in macro 3"},
    {"内置宏4", "Built-in macro 4"},
    {"内置宏5", "Built-in macro 5"},
    {"内置宏6", "Built-in macro 6"},
    {"内置宏7", "Built-in macro 7"},
    {"内置宏8", "Built-in macro 8"},
};

bool HasComma(const std::string& s) {
    return s.find(',') != std::string::npos;
}

bool Write(const std::filesystem::path& path, const LayoutFile& f, bool english, bool withNames) {
    std::string text;
    auto line = [&text](const std::string& s) { text += s + "\r\n"; };
    line("; Skin layout: name,x,y,w,h,label,look per entry; x y w h in window pixels.");
    line("; Written by tools/make_skin_layouts.cpp.");
    for (const auto& [name, section] : f.sections) {
        line("[" + name + "]");
        const bool buttons = name == "BUTTONPOS";
        const int first = section.empty() ? 0 : section.begin()->first;
        const int last =
            buttons ? f.buttonCount - 1 : (section.empty() ? -1 : section.rbegin()->first);
        for (int key = buttons ? 0 : first; key <= last; ++key) {
            auto it = section.find(key);
            Entry e = it != section.end() ? it->second : Entry{"unused", 0, 0, 0, 0, "", "", ""};
            const std::string& label = english ? e.en : e.cn;
            if (HasComma(label) || HasComma(e.name) || HasComma(e.look)) {
                std::cerr << "comma in entry " << key << " of " << name << "\n";
                return false;
            }
            line(std::to_string(key) + "=" + e.name + "," + std::to_string(e.x) + "," +
                 std::to_string(e.y) + "," + std::to_string(e.w) + "," + std::to_string(e.h) + "," +
                 label + "," + e.look);
        }
    }
    if (withNames) {
        line("[FUN_STRING]");
        for (int code = 1; code <= 47; ++code) {
            const char* n = english ? FunNames[code - 1].en : FunNames[code - 1].cn;
            if (HasComma(n)) {
                std::cerr << "comma in function name " << code << "\n";
                return false;
            }
            line(std::to_string(code) + "=" + n);
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_skin_layouts SKIN_DIR\n";
        return 2;
    }
    const std::filesystem::path skinDir = argv[1];
    std::filesystem::create_directories(skinDir / "INI_CN");
    std::filesystem::create_directories(skinDir / "INI_EN");
    const LayoutFile files[4] = {MainFile(), AdvanceFile(), ColorFile(), WarningFile()};
    for (int i = 0; i < 4; ++i) {
        const bool names = i == 0;
        if (!Write(skinDir / "INI_CN" / files[i].cnName, files[i], false, names) ||
            !Write(skinDir / "INI_EN" / files[i].enName, files[i], true, names)) {
            return 1;
        }
    }
    return 0;
}
