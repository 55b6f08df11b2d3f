// Close requests and Esc of the program's top-level windows.
#include "app/qt/native_window.h"

#include <utility>

#include <QCloseEvent>
#include <QShortcut>

namespace {
Qt::WindowFlags title_bar(bool minimise_box)
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (minimise_box)
        flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}
} // namespace

NativeWindow::NativeWindow(bool minimise_box, bool esc_closes,
                           std::function<void()> on_close_request)
    : QWidget(nullptr, title_bar(minimise_box)), on_close_request_(std::move(on_close_request))
{
    if (esc_closes) {
        // A window-wide shortcut, so Esc closes whichever control has the focus.
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        escape->setContext(Qt::WindowShortcut);
        QObject::connect(escape, &QShortcut::activated, this, [this] { close(); });
    }
}

void NativeWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    // A disabled window takes no close request, as under Windows.
    if (isEnabled() && on_close_request_)
        on_close_request_();
}

QString window_object_name(WindowId window)
{
    switch (window) {
    case WindowId::main:
        return QStringLiteral("main_window");
    case WindowId::notice:
        return QStringLiteral("notice_window");
    case WindowId::instructions:
        return QStringLiteral("instructions_window");
    }
    return {};
}
