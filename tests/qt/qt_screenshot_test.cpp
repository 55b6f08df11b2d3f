// Screenshots of the three windows and the reset message box, with their
// window-manager frames, saved under the build folder for a person to look
// at; run at Qt's scale factor 1 and again at 1.5.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScreen>
#include <QTest>

#include "app/qt/gbk_qstring.h"
#include "app/qt/window_builder.h"
#include "tests/qt/qt_frame_driver.h"

namespace {
Text gbk(const char* utf8) { return gbk_from_qstring(QString::fromUtf8(utf8)); }

class QtScreenshots : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
        folder = QStringLiteral(BURNIN_SCREENSHOT_FOLDER "/scale-") + scale;
        ASSERT_TRUE(QDir().mkpath(folder));
        // What the created handlers write: the notice's two captions, and
        // the focus parked on the instructions' cover label.
        sink.on_each = [this](WindowId window, std::string_view, Event event) {
            if (event != Event::created)
                return;
            if (window == WindowId::notice) {
                set_caption(driver.frame(), control_named(WindowId::notice, "标签1"),
                            gbk("设备编号：设备三    所选阶段：第二阶段"));
                set_caption(driver.frame(), control_named(WindowId::notice, "标签2"),
                            gbk("请根据当前播放的音乐调整系统音量为正常听歌音量，确认红色信息"
                                "无误后关闭本窗口，程序将根据所选阶段适合的音量进行调整。"));
            } else if (window == WindowId::instructions) {
                driver.frame().move_focus(control_named(WindowId::instructions, "透明标签1"));
            }
        };
        driver.frame().set_event_sink(&sink);
    }
    void TearDown() override { driver.frame().set_event_sink(nullptr); }

    // Saves the window with its frame as the screen shows it, and checks
    // that the window itself renders at its client size times the scale.
    void save(QWidget* window, const QString& name, QSize client)
    {
        ASSERT_TRUE(QtFrameDriver::wait_until_active(window));
        QTest::qWait(100); // the window manager's frame is drawn after mapping
        QPixmap inside = window->grab();
        EXPECT_EQ(inside.size(), client * window->devicePixelRatio());
        QRect outer = window->frameGeometry();
        QPixmap shot = window->screen()->grabWindow(0, outer.x(), outer.y(), outer.width(),
                                                    outer.height());
        EXPECT_TRUE(shot.save(folder + QLatin1Char('/') + name));
    }

    QtFrameDriver driver;
    RecordingSink sink;
    QString folder;
};

TEST_F(QtScreenshots, ThreeWindowsAndTheResetMessage)
{
    for (auto [window, name] : {std::pair{WindowId::main, "main.png"},
                                std::pair{WindowId::notice, "notice.png"},
                                std::pair{WindowId::instructions, "instructions.png"}}) {
        ASSERT_TRUE(driver.frame().load_window(window));
        save(QtFrameDriver::window_widget(window), QString::fromLatin1(name),
             client_size(window_definition(window)));
        if (window != WindowId::main)
            driver.request_close(window);
    }
    bool shown = false;
    driver.on_message([&](std::string_view, std::string_view) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = true;
        save(box, QStringLiteral("reset_message.png"), box->size());
    });
    driver.frame().show_message(gbk("【设备一】计时清除完毕"), gbk("提示"));
    EXPECT_TRUE(shown);
}
} // namespace
