// The Linux program: the Qt frame, the looping player on ALSA and libmpg123,
// the ALSA master volume and the system clock, run by the portable start
// sequence from the executable's folder.
#include <QApplication>
#include <QIcon>

#include "app/qt/alsa_track_player.h"
#include "app/qt/qt_frame.h"
#include "app/start_sequence.h"
#include "progress/file_access.h"
#include "sound/alsa/alsa_mixer.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/burnin.png")));

    std::unique_ptr<QtFrameHost> frame = make_qt_frame();
    frame->handle_ending_requests();
    std::unique_ptr<TrackPlayer> player = make_alsa_track_player();
    std::unique_ptr<MasterVolume> volume = make_alsa_master_volume();
    SystemClock clock;
    Program program{*frame, *player, *volume, clock, {}, {}, {}, {}};
    return run_program(*frame, program, executable_folder());
}
