// A top-level window of the program: fixed size, the frame decides what a
// close request does.
#pragma once

#include <functional>

#include <QWidget>

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
