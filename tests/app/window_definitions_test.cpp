// The three window definitions checked value by value against their tables.
#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/controls.h"
#include "app/window_definition.h"
#include "progress/text.h"
#include "tests/gbk.h"

namespace {
using K = ControlKind;

const WindowDefinition& main_def() { return window_definition(WindowId::main); }
const WindowDefinition& notice_def() { return window_definition(WindowId::notice); }
const WindowDefinition& instructions_def() { return window_definition(WindowId::instructions); }

std::size_t creation_index(const WindowDefinition& w, std::string_view name)
{
    const ControlDefinition* c = find_control(w, name);
    EXPECT_NE(c, nullptr) << name;
    return c ? static_cast<std::size_t>(c - w.controls.data()) : w.controls.size();
}

std::vector<std::string> split_lines(std::string_view text)
{
    std::vector<std::string> lines;
    for (;;) {
        auto at = text.find("\r\n");
        lines.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return lines;
        text.remove_prefix(at + 2);
    }
}

struct WindowRow {
    WindowId id;
    std::string_view title;
    std::int32_t width, height;
    bool minimise_box, esc_closes, taskbar_button;
    std::size_t control_count;
};

const WindowRow window_rows[] = {
    {WindowId::main, "Orvane耳机专用煲机软件 V1.0", 364, 237, true, false, true, 28},
    {WindowId::notice, "提示", 269, 122, false, false, false, 2},
    {WindowId::instructions, "说明", 302, 363, false, true, false, 2},
};

TEST(AppWindowDefinitions, WindowAttributes)
{
    for (const WindowRow& row : window_rows) {
        const WindowDefinition& w = window_definition(row.id);
        SCOPED_TRACE(static_cast<int>(row.id));
        EXPECT_EQ(w.id, row.id);
        EXPECT_EQ(w.title, row.title);
        EXPECT_EQ(w.width, row.width);
        EXPECT_EQ(w.height, row.height);
        EXPECT_EQ(w.minimise_box, row.minimise_box);
        EXPECT_EQ(w.esc_closes, row.esc_closes);
        EXPECT_EQ(w.taskbar_button, row.taskbar_button);
        EXPECT_EQ(w.icon, "DEFAULT_ICON");
        EXPECT_EQ(w.font, WindowFont::default_gui);
        EXPECT_EQ(w.background, WindowBackground::button_face);
        EXPECT_EQ(w.controls.size(), row.control_count);
    }
}

TEST(AppWindowDefinitions, CentredPlaceUsesWholeNumberDivision)
{
    struct Row {
        WindowId id;
        std::int32_t screen_width, screen_height;
        WindowPlace place;
    };
    const Row rows[] = {
        {WindowId::main, 1920, 1080, {778, 421}},
        {WindowId::main, 1024, 768, {330, 265}},
        {WindowId::notice, 1024, 768, {377, 323}},
        {WindowId::notice, 1366, 768, {548, 323}},
        {WindowId::instructions, 1366, 768, {532, 202}},
        {WindowId::instructions, 1920, 1080, {809, 358}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(centred_place(window_definition(row.id), row.screen_width, row.screen_height),
                  row.place)
            << static_cast<int>(row.id) << " on " << row.screen_width << "x" << row.screen_height;
}

struct ControlRow {
    std::string_view name;
    ControlKind kind;
    std::string_view parent;
    std::int32_t left, top, width, height;
};

const ControlRow main_rows[] = {
    {"分组框1", K::group_box, "", 5, 5, 170, 80},
    {"分组框2", K::group_box, "", 184, 5, 170, 80},
    {"标签2", K::label, "分组框1", 9, 17, 64, 16},
    {"标签3", K::label, "分组框1", 9, 37, 64, 16},
    {"标签5", K::label, "分组框2", 9, 17, 64, 16},
    {"标签4", K::label, "分组框2", 9, 37, 64, 16},
    {"分组框3", K::group_box, "", 5, 87, 349, 105},
    {"标签1", K::label, "分组框3", 8, 15, 56, 24},
    {"阶段组合框", K::combo_box, "分组框3", 66, 17, 80, 20},
    {"按钮1", K::button, "分组框3", 11, 69, 81, 26},
    {"按钮2", K::button, "分组框3", 93, 69, 81, 26},
    {"按钮3", K::button, "分组框3", 175, 69, 81, 26},
    {"按钮5", K::button, "分组框3", 257, 69, 81, 26},
    {"标签6", K::label, "分组框3", 8, 39, 56, 24},
    {"设备组合框", K::combo_box, "分组框3", 66, 42, 80, 20},
    {"时钟1", K::timer, "", 152, 80, 24, 16},
    {"今日第一阶段标签", K::label, "分组框1", 67, 17, 100, 16},
    {"标签8", K::label, "分组框1", 9, 57, 64, 16},
    {"标签9", K::label, "分组框2", 9, 57, 64, 16},
    {"今日第二阶段标签", K::label, "分组框1", 67, 37, 100, 16},
    {"今日第三阶段标签", K::label, "分组框1", 67, 57, 100, 16},
    {"累计第三阶段标签", K::label, "分组框2", 67, 57, 100, 16},
    {"累计第二阶段标签", K::label, "分组框2", 67, 37, 100, 16},
    {"累计第一阶段标签", K::label, "分组框2", 67, 17, 100, 16},
    {"选择框2", K::check_box, "分组框3", 161, 19, 122, 16},
    {"自动音量选择框", K::check_box, "分组框3", 161, 44, 120, 16},
    {"透明标签1", K::trans_label, "", 7, 192, 345, 16},
    {"系统音量1", K::sys_volume, "分组框2", 96, 67, 24, 16},
};

void expect_controls(const WindowDefinition& w, std::span<const ControlRow> rows)
{
    ASSERT_EQ(w.controls.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ControlDefinition& c = w.controls[i];
        const ControlRow& row = rows[i];
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(c.name, row.name);
        EXPECT_EQ(c.kind, row.kind);
        EXPECT_EQ(c.parent, row.parent);
        EXPECT_EQ(c.left, row.left);
        EXPECT_EQ(c.top, row.top);
        EXPECT_EQ(c.width, row.width);
        EXPECT_EQ(c.height, row.height);
    }
}

TEST(AppWindowDefinitions, MainWindowControlsInCreationOrder)
{
    expect_controls(main_def(), main_rows);
}

TEST(AppWindowDefinitions, MainWindowTexts)
{
    struct Row {
        std::string_view name, text;
    };
    const std::string_view zero = "0小时00分00秒";
    const Row rows[] = {
        {"分组框1", "今日进度"},          {"分组框2", "累计进度"},
        {"标签2", "第一阶段："},          {"标签3", "第二阶段："},
        {"标签5", "第一阶段："},          {"标签4", "第二阶段："},
        {"分组框3", "工作设置"},          {"标签1", "阶段选择："},
        {"按钮1", "开始煲机"},            {"按钮2", "停止煲机"},
        {"按钮3", "计时清零"},            {"按钮5", "说明文档"},
        {"标签6", "设备选择："},          {"时钟1", ""},
        {"今日第一阶段标签", zero},       {"标签8", "第三阶段："},
        {"标签9", "第三阶段："},          {"今日第二阶段标签", zero},
        {"今日第三阶段标签", zero},       {"累计第三阶段标签", zero},
        {"累计第二阶段标签", zero},       {"累计第一阶段标签", zero},
        {"选择框2", "全自动煲机模式"},    {"自动音量选择框", "自动控制音量比例"},
        {"透明标签1", "Velmar_Ot为Orvane耳机专属设计"},
        {"系统音量1", ""},
    };
    for (const Row& row : rows) {
        const ControlDefinition* c = find_control(main_def(), row.name);
        ASSERT_NE(c, nullptr) << row.name;
        EXPECT_EQ(c->text, row.text) << row.name;
        EXPECT_TRUE(c->items.empty()) << row.name;
    }
    // The GBK bytes of the zero duration text's "小时".
    EXPECT_EQ(zero.substr(1, 4), bytes({0xD0, 0xA1, 0xCA, 0xB1}));
}

TEST(AppWindowDefinitions, ComboBoxItemsInDisplayOrder)
{
    struct Row {
        std::string_view name;
        std::vector<std::string_view> items;
    };
    const Row rows[] = {
        {"阶段组合框", {"第一阶段", "第二阶段", "第三阶段"}},
        {"设备组合框", {"设备一", "设备二", "设备三", "设备四", "设备五"}},
    };
    for (const Row& row : rows) {
        const ControlDefinition* c = find_control(main_def(), row.name);
        ASSERT_NE(c, nullptr) << row.name;
        EXPECT_EQ(c->items, row.items) << row.name;
        EXPECT_TRUE(c->text.empty()) << row.name;
    }
}

TEST(AppWindowDefinitions, MainWindowInitialStates)
{
    // Everything not listed is unchecked, enabled, visible, not a tab stop,
    // without selection or period.
    struct Row {
        std::string_view name;
        bool checked, disabled;
        std::int32_t selection, period;
        bool visible, tab_stop;
    };
    const Row exceptions[] = {
        {"阶段组合框", false, false, 0, 0, true, true},
        {"设备组合框", false, false, 0, 0, true, true},
        {"时钟1", false, false, -1, 0, false, false},
        {"选择框2", false, true, -1, 0, true, true},
        {"自动音量选择框", true, false, -1, 0, true, true},
        {"系统音量1", false, false, -1, 0, false, false},
    };
    for (const ControlDefinition& c : main_def().controls) {
        Row expected{c.name, false, false, -1, 0, true, false};
        for (const Row& row : exceptions)
            if (row.name == c.name)
                expected = row;
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.checked, expected.checked);
        EXPECT_EQ(c.disabled, expected.disabled);
        EXPECT_EQ(c.current_selection, expected.selection);
        EXPECT_EQ(c.period, expected.period);
        EXPECT_EQ(c.visible, expected.visible);
        EXPECT_EQ(c.tab_stop, expected.tab_stop);
    }
}

TEST(AppWindowDefinitions, MainWindowAppearance)
{
    for (const ControlDefinition& c : main_def().controls) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text_colour, c.name == "透明标签1" ? red : black);
        EXPECT_EQ(c.alignment, Alignment::left);
        EXPECT_FALSE(c.wraps);
        EXPECT_FALSE(c.font.has_value()) << "uses the window's font";
        EXPECT_FALSE(c.multi_line || c.vertical_scroll_bar || c.client_edge);
        EXPECT_NE(c.kind, K::edit_box);
    }
}

TEST(AppWindowDefinitions, DurationLabelsLieAboveTheStageLabelsTheyOverlap)
{
    struct Row {
        std::string_view duration_label, stage_label;
    };
    const Row rows[] = {
        {"今日第一阶段标签", "标签2"}, {"今日第二阶段标签", "标签3"},
        {"今日第三阶段标签", "标签8"}, {"累计第一阶段标签", "标签5"},
        {"累计第二阶段标签", "标签4"}, {"累计第三阶段标签", "标签9"},
    };
    for (const Row& row : rows) {
        const ControlDefinition* d = find_control(main_def(), row.duration_label);
        const ControlDefinition* s = find_control(main_def(), row.stage_label);
        ASSERT_TRUE(d && s) << row.duration_label;
        EXPECT_EQ(d->parent, s->parent) << row.duration_label;
        EXPECT_EQ(d->top, s->top) << row.duration_label;
        EXPECT_EQ(s->left + s->width - d->left, 6) << row.duration_label;
        EXPECT_GT(creation_index(main_def(), row.duration_label),
                  creation_index(main_def(), row.stage_label))
            << row.duration_label;
    }
}

TEST(AppWindowDefinitions, TabStopsInCreationOrder)
{
    std::vector<std::string_view> stops, reachable;
    for (const ControlDefinition& c : main_def().controls)
        if (c.tab_stop) {
            stops.push_back(c.name);
            if (c.visible && !c.disabled)
                reachable.push_back(c.name);
        }
    EXPECT_EQ(stops, (std::vector<std::string_view>{"阶段组合框", "设备组合框", "选择框2",
                                                    "自动音量选择框"}));
    EXPECT_EQ(reachable,
              (std::vector<std::string_view>{"阶段组合框", "设备组合框", "自动音量选择框"}));
}

TEST(AppWindowDefinitions, ParentsAreGroupBoxesCreatedEarlier)
{
    for (const WindowRow& row : window_rows) {
        const WindowDefinition& w = window_definition(row.id);
        for (const ControlDefinition& c : w.controls) {
            if (c.parent.empty())
                continue;
            const ControlDefinition* parent = find_control(w, c.parent);
            ASSERT_NE(parent, nullptr) << c.name;
            EXPECT_EQ(parent->kind, K::group_box) << c.name;
            EXPECT_LT(creation_index(w, c.parent), creation_index(w, c.name)) << c.name;
        }
    }
}

TEST(AppWindowDefinitions, NamesAreUniquePerWindow)
{
    for (const WindowRow& row : window_rows) {
        std::vector<std::string_view> names;
        for (const ControlDefinition& c : window_definition(row.id).controls)
            names.push_back(c.name);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end())
            << static_cast<int>(row.id);
    }
}

TEST(AppWindowDefinitions, EveryNamedControlExistsWithItsKind)
{
    struct Row {
        Control control;
        ControlKind kind;
    };
    namespace mw = main_window;
    const Row rows[] = {
        {mw::stage_combo, K::combo_box},
        {mw::device_combo, K::combo_box},
        {mw::auto_volume_box, K::check_box},
        {mw::start_button, K::button},
        {mw::stop_button, K::button},
        {mw::reset_button, K::button},
        {mw::instructions_button, K::button},
        {mw::clock, K::timer},
        {mw::today_stage_one, K::label},
        {mw::today_stage_two, K::label},
        {mw::today_stage_three, K::label},
        {mw::total_stage_one, K::label},
        {mw::total_stage_two, K::label},
        {mw::total_stage_three, K::label},
        {notice_window::choice_label, K::label},
        {notice_window::advice_label, K::label},
        {instructions_window::text_box, K::edit_box},
        {instructions_window::cover_label, K::trans_label},
    };
    for (const Row& row : rows) {
        const ControlDefinition* c = find_control(window_definition(row.control.window),
                                                  row.control.name);
        ASSERT_NE(c, nullptr) << row.control.name;
        EXPECT_EQ(c->kind, row.kind) << row.control.name;
    }
    EXPECT_EQ(find_control(main_def(), "按钮4"), nullptr);
}

TEST(AppWindowDefinitions, NoticeLabels)
{
    const ControlRow rows[] = {
        {"标签1", K::label, "", 3, 6, 260, 21},
        {"标签2", K::label, "", 3, 24, 260, 70},
    };
    expect_controls(notice_def(), rows);

    struct Look {
        Rgb colour;
        Alignment alignment;
        std::int32_t character_height;
    };
    const Look looks[] = {{red, Alignment::centre, 12}, {black, Alignment::left, 16}};
    for (std::size_t i = 0; i < 2; ++i) {
        const ControlDefinition& c = notice_def().controls[i];
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text_colour, looks[i].colour);
        EXPECT_EQ(c.alignment, looks[i].alignment);
        EXPECT_TRUE(c.wraps);
        ASSERT_TRUE(c.font.has_value());
        EXPECT_EQ(c.font->face, bytes({0xCB, 0xCE, 0xCC, 0xE5})); // 宋体
        EXPECT_EQ(c.font->character_height, looks[i].character_height);
        EXPECT_EQ(c.font->weight, 400);
        EXPECT_TRUE(c.text.empty()) << "filled by the created handler";
        EXPECT_TRUE(c.visible);
        EXPECT_FALSE(c.disabled || c.tab_stop);
    }
    // The advice label overlaps the choice label by three rows and lies above it.
    const ControlDefinition& choice = notice_def().controls[0];
    const ControlDefinition& advice = notice_def().controls[1];
    EXPECT_EQ(choice.top + choice.height - advice.top, 3);
}

TEST(AppWindowDefinitions, InstructionsControls)
{
    const ControlRow rows[] = {
        {"编辑框1", K::edit_box, "", 0, 0, 296, 336},
        {"透明标签1", K::trans_label, "", 0, 0, 280, 344},
    };
    expect_controls(instructions_def(), rows);

    const ControlDefinition& box = instructions_def().controls[0];
    EXPECT_TRUE(box.multi_line);
    EXPECT_TRUE(box.vertical_scroll_bar);
    EXPECT_TRUE(box.client_edge);
    EXPECT_TRUE(box.tab_stop);
    EXPECT_TRUE(box.visible);
    EXPECT_FALSE(box.disabled);
    EXPECT_FALSE(box.font.has_value());

    const ControlDefinition& cover = instructions_def().controls[1];
    EXPECT_TRUE(cover.text.empty());
    EXPECT_FALSE(cover.tab_stop);
    EXPECT_TRUE(cover.visible);
    EXPECT_EQ(cover.text_colour, black);
    EXPECT_FALSE(cover.wraps);
    // Everything but the rightmost 16 pixels, where the scroll bar is.
    EXPECT_EQ(box.width - cover.width, 16);
    EXPECT_GE(cover.height, box.height);
}

std::string_view instructions_text() { return instructions_def().controls[0].text; }

TEST(AppWindowDefinitions, InstructionsTextLines)
{
    const std::vector<std::string> lines = split_lines(instructions_text());
    ASSERT_EQ(lines.size(), 13u);

    // GBK byte length of each line: catches a lost or a widened character.
    const std::size_t lengths[13] = {6, 118, 0, 195, 0, 291, 0, 235, 0, 83, 83, 0, 154};
    for (std::size_t i = 0; i < 13; ++i)
        EXPECT_EQ(lines[i].size(), lengths[i]) << "line " << i + 1;

    const std::size_t empty = std::count(lines.begin(), lines.end(), std::string{});
    EXPECT_EQ(empty, 5u);
    for (std::size_t i : {2u, 4u, 6u, 8u, 11u})
        EXPECT_TRUE(lines[i].empty()) << "line " << i + 1;
}

TEST(AppWindowDefinitions, InstructionsTextBreaksAndSpaces)
{
    const std::string_view text = instructions_text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 12);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12);
    EXPECT_FALSE(text.ends_with("\r\n"));
    EXPECT_FALSE(text.ends_with("\n"));

    const std::vector<std::string> lines = split_lines(text);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[1].find_first_not_of(' '), 4u);
    EXPECT_EQ(lines[1].substr(4, 6), "非常感");
    EXPECT_EQ(lines[9].size() - 1 - lines[9].find_last_not_of(' '), 12u);
    EXPECT_TRUE(lines[9].ends_with("耳机。            "));
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (i != 1 && i != 9 && !lines[i].empty()) {
            EXPECT_NE(lines[i].front(), ' ') << "line " << i + 1;
            EXPECT_NE(lines[i].back(), ' ') << "line " << i + 1;
        }
}

TEST(AppWindowDefinitions, InstructionsTextBytes)
{
    const std::string_view text = instructions_text();
    const std::string open_quote = bytes({0xA1, 0xB0});
    const std::string close_quote = bytes({0xA1, 0xB1});
    struct Row {
        std::string sought;
        std::size_t count;
    };
    const Row rows[] = {
        {bytes({0xC4, 0xFA, 0xBA, 0xC3, 0xA3, 0xBA}) + "\r\n", 1}, // 您好：
        {open_quote + "开始煲机" + close_quote, 1},
        {open_quote + "停止煲机" + close_quote, 1},
        {open_quote, 2},
        {close_quote, 2},
        {"\"", 0}, // the quotation marks are full-width
        // ASCII where the text has ASCII.
        {"Orvane", 1},
        {"30%", 1},
        {"50-80", 1},
        {"50%", 1},
        {"80%", 2},
        {"3-5", 1},
        {"IE80", 1},
        {"200", 1},
    };
    // Counted on character boundaries: a byte search would also find A1 B0
    // made of one character's trail byte and the next one's lead byte.
    for (const Row& row : rows) {
        std::size_t count = 0;
        const auto step = static_cast<std::int32_t>(row.sought.size());
        for (auto at = find_text(text, row.sought, 1, false); at > 0;
             at = find_text(text, row.sought, at + step, false))
            ++count;
        EXPECT_EQ(count, row.count) << row.sought;
    }
    EXPECT_TRUE(text.starts_with(bytes({0xC4, 0xFA, 0xBA, 0xC3})));

    // Every byte above 0x7F opens a double-byte character with a valid trail.
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80)
            continue;
        ASSERT_LT(i + 1, text.size());
        auto trail = static_cast<unsigned char>(text[i + 1]);
        EXPECT_TRUE(trail >= 0x40 && trail != 0x7F && trail != 0xFF) << "at " << i;
        ++i;
    }
}
} // namespace
