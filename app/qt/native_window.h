// A top-level window of the program: fixed size, the frame decides what a
// close request does.
#pragma once

#include <functional>

#include <QString>
#include <QWidget>

#include "app/frame.h"

class NativeWindow final : public QWidget {
public:
    // on_close_request runs for every way of closing (close box, Alt+F4, the
    // window menu, Esc where it closes); the window itself never closes or
    // hides on its own.
    NativeWindow(bool minimise_box, bool esc_closes, std::function<void()> on_close_request);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> on_close_request_;
};

// The object name a loaded window carries, by which tools find it among the
// application's top-level widgets.
QString window_object_name(WindowId window);
