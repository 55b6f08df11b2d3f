// The one request the program makes of the track player.
#pragma once

#include <cstdint>
#include <string_view>

class TrackPlayer {
public:
    virtual ~TrackPlayer() = default;
    // Stops whatever plays (queued audio is dropped, the player's threads are
    // joined), then, unless count is 0 or the path is empty, starts the file:
    // count < 0 loops endlessly, n > 0 plays it n times. Returns at once; never
    // reports failure: an unplayable file is silence.
    virtual void play_track(std::int32_t count, std::string_view path) = 0;
};
