// Audio output on an ALSA PCM device.
#pragma once

#include <memory>
#include <string>

#include "sound/audio_output.h"

// The program plays on "default", so that desktops with PipeWire or
// PulseAudio are reached through their ALSA plugins; tests name others.
std::unique_ptr<AudioOutput> make_alsa_output(std::string device = "default");
