// Native child windows for the control kinds of the window definitions.
#pragma once

#include <windows.h>

#include "app/window_definition.h"

// The control's window with its kind's class and styles, its text and items
// and its initial state, at its place scaled to dpi; nullptr for the kinds
// that have no window (timer, master volume) or when creation fails. Creating
// it raises no event the frame maps.
HWND create_native_control(const ControlDefinition& control, HWND parent, int id, UINT dpi);

// Places the control at its definition's place at dpi and gives it the font;
// a combo box's rows are made taller again, as a new font resets them.
void fit_native_control(HWND window, const ControlDefinition& control, HFONT font, UINT dpi);

// A font of the control's own, at dpi; the caller deletes it.
HFONT create_control_font(const FontDefinition& font, UINT dpi);
