// Native Qt widgets for a window definition: places, sizes, texts, fonts,
// colours and initial states, with no signal connected.
#pragma once

#include <vector>

#include <QSize>
#include <QString>
#include <QWidget>

#include "app/window_definition.h"

// Under Windows a definition's size is the outer size. A fixed (not
// sizable) frame with a caption and a window menu, WS_CAPTION | WS_SYSMENU
// with or without WS_MINIMIZEBOX, no WS_EX_DLGMODALFRAME, has at 96 DPI a
// 3-pixel border on every side (SM_CXFIXEDFRAME, SM_CYFIXEDFRAME) and a
// 23-pixel caption (SM_CYCAPTION) above the client area, as
// AdjustWindowRectEx gives it. The main window's 364 x 237 thus leaves the
// 358 x 208 that its credit line ends at.
inline constexpr int fixed_frame_border = 3;
inline constexpr int caption_height = 23;

// The client area of the window, in device-independent pixels.
QSize client_size(const WindowDefinition& window);

// A control as built; timers and the volume control have no widget.
struct BuiltControl {
    const ControlDefinition* definition = nullptr;
    QWidget* widget = nullptr;
};

// Gives window the definition's title, client size and background, and
// creates the controls in creation order, so later ones lie above and the
// focus chain follows that order.
std::vector<BuiltControl> build_window(const WindowDefinition& definition, QWidget& window);

// Writes the shown text of a label, button, check box or group box.
void show_caption(const BuiltControl& control, const QString& text);
