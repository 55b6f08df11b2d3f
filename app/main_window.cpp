// The main window: three group boxes of durations and settings, a red credit
// line, and the hidden clock and master-volume controls.
#include "app/window_definitions.h"
#include "progress/duration_text.h"

namespace {

using K = ControlKind;

ControlDefinition label(std::string_view name, std::string_view parent, std::int32_t left,
                        std::int32_t top, std::int32_t width, std::int32_t height,
                        std::string_view text)
{
    return {.name = name, .kind = K::label, .parent = parent, .left = left, .top = top,
            .width = width, .height = height, .text = text};
}

ControlDefinition button(std::string_view name, std::int32_t left, std::string_view text)
{
    return {.name = name, .kind = K::button, .parent = "分组框3", .left = left, .top = 69,
            .width = 81, .height = 26, .text = text};
}
} // namespace

WindowDefinition make_main_window_definition()
{
    return {
        .id = WindowId::main,
        .title = "Orvane耳机专用煲机软件 V1.0",
        .width = 364,
        .height = 237,
        .minimise_box = true,
        .esc_closes = false,
        .taskbar_button = true,
        .controls = {
            {.name = "分组框1", .kind = K::group_box, .left = 5, .top = 5, .width = 170,
             .height = 80, .text = "今日进度"},
            {.name = "分组框2", .kind = K::group_box, .left = 184, .top = 5, .width = 170,
             .height = 80, .text = "累计进度"},
            label("标签2", "分组框1", 9, 17, 64, 16, "第一阶段："),
            label("标签3", "分组框1", 9, 37, 64, 16, "第二阶段："),
            label("标签5", "分组框2", 9, 17, 64, 16, "第一阶段："),
            label("标签4", "分组框2", 9, 37, 64, 16, "第二阶段："),
            {.name = "分组框3", .kind = K::group_box, .left = 5, .top = 87, .width = 349,
             .height = 105, .text = "工作设置"},
            label("标签1", "分组框3", 8, 15, 56, 24, "阶段选择："),
            {.name = "阶段组合框", .kind = K::combo_box, .parent = "分组框3", .left = 66,
             .top = 17, .width = 80, .height = 20,
             .items = {"第一阶段", "第二阶段", "第三阶段"}, .current_selection = 0,
             .tab_stop = true},
            button("按钮1", 11, "开始煲机"),
            button("按钮2", 93, "停止煲机"),
            button("按钮3", 175, "计时清零"),
            button("按钮5", 257, "说明文档"),
            label("标签6", "分组框3", 8, 39, 56, 24, "设备选择："),
            {.name = "设备组合框", .kind = K::combo_box, .parent = "分组框3", .left = 66,
             .top = 42, .width = 80, .height = 20,
             .items = {"设备一", "设备二", "设备三", "设备四", "设备五"},
             .current_selection = 0, .tab_stop = true},
            {.name = "时钟1", .kind = K::timer, .left = 152, .top = 80, .width = 24,
             .height = 16, .period = 0, .visible = false},
            // The duration labels come after the stage-name labels they
            // overlap by 6 pixels, so they lie above them.
            label("今日第一阶段标签", "分组框1", 67, 17, 100, 16, zero_duration_text),
            label("标签8", "分组框1", 9, 57, 64, 16, "第三阶段："),
            label("标签9", "分组框2", 9, 57, 64, 16, "第三阶段："),
            label("今日第二阶段标签", "分组框1", 67, 37, 100, 16, zero_duration_text),
            label("今日第三阶段标签", "分组框1", 67, 57, 100, 16, zero_duration_text),
            label("累计第三阶段标签", "分组框2", 67, 57, 100, 16, zero_duration_text),
            label("累计第二阶段标签", "分组框2", 67, 37, 100, 16, zero_duration_text),
            label("累计第一阶段标签", "分组框2", 67, 17, 100, 16, zero_duration_text),
            // Never enabled: a mode the program does not offer.
            {.name = "选择框2", .kind = K::check_box, .parent = "分组框3", .left = 161,
             .top = 19, .width = 122, .height = 16, .text = "全自动煲机模式",
             .checked = false, .disabled = true, .tab_stop = true},
            {.name = "自动音量选择框", .kind = K::check_box, .parent = "分组框3",
             .left = 161, .top = 44, .width = 120, .height = 16,
             .text = "自动控制音量比例", .checked = true, .tab_stop = true},
            {.name = "透明标签1", .kind = K::trans_label, .left = 7, .top = 192,
             .width = 345, .height = 16, .text = "Velmar_Ot为Orvane耳机专属设计",
             .text_colour = red},
            {.name = "系统音量1", .kind = K::sys_volume, .parent = "分组框2", .left = 96,
             .top = 67, .width = 24, .height = 16, .visible = false},
        },
    };
}
