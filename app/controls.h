// The controls the handlers address, by window and name.
#pragma once

#include "app/frame.h"

namespace main_window {
inline constexpr Control window{WindowId::main, ""};
inline constexpr Control stage_combo{WindowId::main, "阶段组合框"};
inline constexpr Control device_combo{WindowId::main, "设备组合框"};
inline constexpr Control auto_volume_box{WindowId::main, "自动音量选择框"};
inline constexpr Control start_button{WindowId::main, "按钮1"};
inline constexpr Control stop_button{WindowId::main, "按钮2"};
inline constexpr Control reset_button{WindowId::main, "按钮3"};
inline constexpr Control instructions_button{WindowId::main, "按钮5"};
inline constexpr Control clock{WindowId::main, "时钟1"};
inline constexpr Control today_stage_one{WindowId::main, "今日第一阶段标签"};
inline constexpr Control today_stage_two{WindowId::main, "今日第二阶段标签"};
inline constexpr Control today_stage_three{WindowId::main, "今日第三阶段标签"};
inline constexpr Control total_stage_one{WindowId::main, "累计第一阶段标签"};
inline constexpr Control total_stage_two{WindowId::main, "累计第二阶段标签"};
inline constexpr Control total_stage_three{WindowId::main, "累计第三阶段标签"};
// Where most handlers park the keyboard focus.
inline constexpr Control focus_parking = today_stage_one;

inline constexpr Control today_labels[3] = {today_stage_one, today_stage_two, today_stage_three};
inline constexpr Control total_labels[3] = {total_stage_one, total_stage_two, total_stage_three};
} // namespace main_window

namespace notice_window {
inline constexpr Control window{WindowId::notice, ""};
inline constexpr Control choice_label{WindowId::notice, "标签1"};
inline constexpr Control advice_label{WindowId::notice, "标签2"};
} // namespace notice_window

namespace instructions_window {
inline constexpr Control window{WindowId::instructions, ""};
inline constexpr Control text_box{WindowId::instructions, "编辑框1"};
inline constexpr Control cover_label{WindowId::instructions, "透明标签1"};
} // namespace instructions_window
