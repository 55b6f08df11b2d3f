// A track player and a master volume that record what the handlers ask of
// them, for tests that run without a sound device.
#pragma once

#include <string>
#include <vector>

#include "sound/master_volume.h"
#include "sound/track_player.h"

class RecordingTrackPlayer final : public TrackPlayer {
public:
    struct Request {
        std::int32_t count;
        std::string path;
        friend bool operator==(const Request&, const Request&) = default;
    };
    void play_track(std::int32_t count, std::string_view path) override
    {
        requests.push_back({count, std::string(path)});
    }
    std::vector<Request> requests;
};

// A mixer line whose state a test sets: closed (no mixer), one or two
// channels, reads that fail.
class FakeMasterVolume final : public MasterVolume {
public:
    bool has_mixer = true;
    int channels = 2;
    bool read_fails = false;
    std::int32_t left = 65535, right = 65535;
    bool open = false;
    std::vector<std::string> calls; // "select 4", "get", "set 19660 19660"

    void select_line(std::int32_t line_type) override
    {
        calls.push_back("select " + std::to_string(line_type));
        open = has_mixer && line_type == speakers_line;
    }
    void get_volume(std::int32_t& l, std::int32_t& r) override
    {
        calls.push_back("get");
        if (!open)
            return;
        l = r = -1;
        if (read_fails)
            return;
        l = left;
        if (channels == 2)
            r = right;
    }
    void set_volume(std::int32_t l, std::int32_t r) override
    {
        calls.push_back("set " + std::to_string(l) + " " + std::to_string(r));
        if (!open)
            return;
        left = l;
        if (channels == 2)
            right = r;
    }
};
