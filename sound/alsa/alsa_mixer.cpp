// The master volume on ALSA's simple mixer: the "Master" element, else "PCM",
// else the first element with a playback volume, read and written as raw
// values in the element's own range.
#include "sound/alsa/alsa_mixer.h"

#include <algorithm>
#include <array>

#include <alsa/asoundlib.h>

#include "sound/alsa/alsa_quiet.h"

namespace {

constexpr std::array<snd_mixer_selem_channel_id_t, 2> pair_channels = {SND_MIXER_SCHN_FRONT_LEFT,
                                                                       SND_MIXER_SCHN_FRONT_RIGHT};

bool has_volume(snd_mixer_elem_t* element)
{
    return snd_mixer_selem_is_active(element) && snd_mixer_selem_has_playback_volume(element);
}

snd_mixer_elem_t* find_named(snd_mixer_t* mixer, const char* name)
{
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_selem_id_set_name(id, name);
    snd_mixer_elem_t* element = snd_mixer_find_selem(mixer, id);
    return element && has_volume(element) ? element : nullptr;
}

snd_mixer_elem_t* find_master(snd_mixer_t* mixer)
{
    for (const char* name : {"Master", "PCM"})
        if (snd_mixer_elem_t* element = find_named(mixer, name))
            return element;
    for (snd_mixer_elem_t* element = snd_mixer_first_elem(mixer); element; element = snd_mixer_elem_next(element))
        if (has_volume(element))
            return element;
    return nullptr;
}

class AlsaMasterVolume final : public MasterVolume {
public:
    explicit AlsaMasterVolume(std::string card) : card_(std::move(card)) {}
    ~AlsaMasterVolume() override { close(); }
    AlsaMasterVolume(const AlsaMasterVolume&) = delete;
    AlsaMasterVolume& operator=(const AlsaMasterVolume&) = delete;

    void select_line(std::int32_t line_type) override
    {
        close();
        keep_alsa_quiet();
        // Only the speakers line has a counterpart here: the master element.
        if (line_type != speakers_line || snd_mixer_open(&mixer_, 0) < 0) {
            mixer_ = nullptr;
            return;
        }
        if (snd_mixer_attach(mixer_, card_.c_str()) < 0 || snd_mixer_selem_register(mixer_, nullptr, nullptr) < 0 ||
            snd_mixer_load(mixer_) < 0 || !(element_ = find_master(mixer_)) ||
            snd_mixer_selem_get_playback_volume_range(element_, &min_, &max_) < 0) {
            close();
            return;
        }
        channels_ = snd_mixer_selem_is_playback_mono(element_) ? 1 : 2;
    }

    void get_volume(std::int32_t& left, std::int32_t& right) override
    {
        if (!element_)
            return;
        left = right = -1;
        // Someone else may have changed the volume since the last look.
        if (snd_mixer_handle_events(mixer_) < 0)
            return;
        std::int32_t* values[] = {&left, &right};
        for (int i = 0; i < channels_; ++i) {
            long value = 0;
            if (snd_mixer_selem_get_playback_volume(element_, pair_channels[i], &value) < 0)
                return;
            *values[i] = static_cast<std::int32_t>(value);
        }
    }

    void set_volume(std::int32_t left, std::int32_t right) override
    {
        if (!element_)
            return;
        snd_mixer_handle_events(mixer_);
        const std::int32_t values[] = {left, right};
        for (int i = 0; i < channels_; ++i) {
            // ALSA ignores a value outside the element's range without a
            // word; the nearest end of the range is what was meant.
            long value = std::clamp<long>(values[i], min_, max_);
            snd_mixer_selem_set_playback_volume(element_, pair_channels[i], value);
        }
    }

private:
    void close()
    {
        if (mixer_)
            snd_mixer_close(mixer_);
        mixer_ = nullptr;
        element_ = nullptr;
        channels_ = 0;
    }

    const std::string card_;
    snd_mixer_t* mixer_ = nullptr;
    snd_mixer_elem_t* element_ = nullptr; // set only while the line is open
    long min_ = 0, max_ = 0;
    int channels_ = 0; // 1 or 2: only left and right are read and written
};

} // namespace

std::unique_ptr<MasterVolume> make_alsa_master_volume(std::string card)
{
    return std::make_unique<AlsaMasterVolume>(std::move(card));
}
