// The instructions window: the burn-in instructions in a scrollable edit box,
// under a transparent label that keeps mouse clicks and the caret out of the text.
#include "app/window_definitions.h"

namespace {
// 13 lines joined by CR LF, none after the last. Line 2 keeps its four
// leading spaces and line 10 its twelve trailing ones.
constexpr std::string_view instructions_text =
    "您好：\r\n"
    "    非常感谢您能够选择我们Orvane的耳机，为了提升一款新耳机的音质，我们一般要先将耳机进行煲机操作，一般分以下几个步骤：\r\n"
    "\r\n"
    "第一阶段为热身阶段，我们需要为用白噪音对耳机振膜进行初步煲机，这段时间大约需要30个小时，注意将音量调整至30%左右，不能太刺激耳机的振膜，因为全新的耳机振膜弹性一般，过大的音量容易造成不可逆的损伤。\r\n"
    "\r\n"
    "第二阶段为全面煲机阶段，我们用先前下载的试音碟对耳机进行进一步煲机，这段时间大约需要50-80小时，需要将音量调至50%，之后逐步放大音量，这个阶段最后20小时可以调至80%，在这个阶段之后你就会发现耳机的声音与初期有着很大的不同，尤其是标称使用新技术振膜的耳机改变最为明显，整体音质往往会有明显的改善。\r\n"
    "\r\n"
    "第三阶段为定型阶段，你可以用常听的音乐对耳机进行最后的煲机，这样耳机的声音会变得更加适合自己的口味，尤其是声音的细节表现更加舒服一些，这段需要50小时左右，而且把音量调至80%以上，让耳机振膜得到彻底的活动，这样高、低频的极限才能发挥出来。\r\n"
    "\r\n"
    "每天煲机大概3-5小时为宜，在未完全煲机结束之前不要开到最大音量使用耳机。            \r\n"
    "值得注意的是IE80这款耳机优于膜片比较特殊，需要宝200小时左右，这样才能完全舒展振膜。\r\n"
    "\r\n"
    "本款煲机软件使用过程中全部自动控制音量比例，小白直接选择需要煲机的阶段，点击“开始煲机”就可以去一边不用管了，等待着时间差不多了再点击“停止煲机”就好了。";
} // namespace

WindowDefinition make_instructions_window_definition()
{
    return {
        .id = WindowId::instructions,
        .title = "说明",
        .width = 302,
        .height = 363,
        .minimise_box = false,
        .esc_closes = true,
        .taskbar_button = false,
        .controls = {
            {.name = "编辑框1", .kind = ControlKind::edit_box, .left = 0, .top = 0,
             .width = 296, .height = 336, .text = instructions_text, .tab_stop = true,
             .multi_line = true, .vertical_scroll_bar = true, .client_edge = true},
            // Covers all of the edit box but its 16-pixel scroll-bar strip.
            {.name = "透明标签1", .kind = ControlKind::trans_label, .left = 0, .top = 0,
             .width = 280, .height = 344},
        },
    };
}
