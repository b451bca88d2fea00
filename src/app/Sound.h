#pragma once

namespace velmorra {

// The demo's music player. Playback is silent until the audio back end lands.
class Sound {
  public:
    Sound() = default;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    void play(const char* fileName);
};

} // namespace velmorra
