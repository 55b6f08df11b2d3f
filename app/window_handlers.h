// The handlers the windows themselves own: creation of the three windows and
// the instructions button.
#pragma once

#include "app/program.h"

// Opens the master-volume line, then loads the selected device's progress.
void main_window_created(Program& program);
// Plays the stage track and names the chosen device and stage in red.
void notice_window_created(Program& program);
// Instructions button: parks the focus and opens the instructions modally.
void show_instructions(Program& program);
// Gives the focus to the cover label so no caret shows in the text.
void instructions_window_created(Program& program);

inline constexpr std::string_view notice_advice_text =
    "请根据当前播放的音乐调整系统音量为正常听歌音量，确认红色信息无误后关闭本窗口，"
    "程序将根据所选阶段适合的音量进行调整。";
