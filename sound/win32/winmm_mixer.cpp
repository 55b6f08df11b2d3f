// The master volume through the winmm mixer API: mixer device 0, a
// destination line picked by component type, and that line's volume control,
// read and written as raw per-channel values.
#include "sound/win32/winmm_mixer.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <vector>

namespace {

bool succeeded(MMRESULT result) { return result == MMSYSERR_NOERROR; }

class WinmmMasterVolume final : public MasterVolume {
public:
    WinmmMasterVolume() = default;
    ~WinmmMasterVolume() override { close(); }
    WinmmMasterVolume(const WinmmMasterVolume&) = delete;
    WinmmMasterVolume& operator=(const WinmmMasterVolume&) = delete;

    void select_line(std::int32_t line_type) override
    {
        close();
        if (mixerGetNumDevs() == 0)
            return;
        HMIXER mixer = nullptr;
        if (!succeeded(mixerOpen(&mixer, 0, 0, 0, MIXER_OBJECTF_MIXER)))
            return;
        mixer_ = mixer;
        if (!find_volume_control(static_cast<DWORD>(line_type)))
            close();
    }

    void get_volume(std::int32_t& left, std::int32_t& right) override
    {
        if (!mixer_)
            return;
        left = -1;
        right = -1;
        std::vector<MIXERCONTROLDETAILS_UNSIGNED> values;
        if (!read_values(values))
            return;
        left = static_cast<std::int32_t>(values[0].dwValue);
        if (values.size() >= 2)
            right = static_cast<std::int32_t>(values[1].dwValue);
    }

    void set_volume(std::int32_t left, std::int32_t right) override
    {
        if (!mixer_)
            return;
        std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(channels_);
        // Channels past the second are not the pair's: they keep their values.
        if (channels_ > 2 && !read_values(values))
            return;
        values[0].dwValue = static_cast<DWORD>(left);
        if (channels_ >= 2)
            values[1].dwValue = static_cast<DWORD>(right);
        MIXERCONTROLDETAILS details = describe(values);
        mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer_), &details,
                               MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
    }

private:
    bool find_volume_control(DWORD component_type)
    {
        MIXERCAPSW caps{};
        if (!succeeded(mixerGetDevCapsW(reinterpret_cast<UINT_PTR>(mixer_), &caps, sizeof caps)))
            return false;
        MIXERLINEW line{};
        line.cbStruct = sizeof line;
        line.dwComponentType = component_type;
        if (!succeeded(mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer_), &line,
                                         MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE)))
            return false;
        MIXERCONTROLW control{};
        control.cbStruct = sizeof control;
        MIXERLINECONTROLSW controls{};
        controls.cbStruct = sizeof controls;
        controls.dwLineID = line.dwLineID;
        controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof control;
        controls.pamxctrl = &control;
        if (!succeeded(mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer_), &controls,
                                             MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE)))
            return false;
        // A uniform control holds one value for all the line's channels and
        // takes exactly one in its details (Wine's speakers volume is one):
        // asking it for one per channel would read a right value it never
        // wrote. It counts as a one-channel line. A driver saying 0 means one.
        bool uniform = (control.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) != 0;
        channels_ = uniform ? 1 : std::max<DWORD>(line.cChannels, 1);
        control_id_ = control.dwControlID;
        return true;
    }

    MIXERCONTROLDETAILS describe(std::vector<MIXERCONTROLDETAILS_UNSIGNED>& values) const
    {
        MIXERCONTROLDETAILS details{};
        details.cbStruct = sizeof details;
        details.dwControlID = control_id_;
        details.cChannels = channels_;
        details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
        details.paDetails = values.data();
        return details;
    }

    // One value per channel of the line, in channel order.
    bool read_values(std::vector<MIXERCONTROLDETAILS_UNSIGNED>& values) const
    {
        values.assign(channels_, MIXERCONTROLDETAILS_UNSIGNED{});
        MIXERCONTROLDETAILS details = describe(values);
        return succeeded(mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer_), &details,
                                                 MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE));
    }

    void close()
    {
        if (mixer_)
            mixerClose(mixer_);
        mixer_ = nullptr;
    }

    HMIXER mixer_ = nullptr;
    DWORD channels_ = 1;
    DWORD control_id_ = 0;
};

} // namespace

std::unique_ptr<MasterVolume> make_winmm_master_volume() { return std::make_unique<WinmmMasterVolume>(); }
