#pragma once

#include <optional>
#include <string>

struct _Mix_Music;

namespace velmorra {

// The demo's music player on SDL_mixer. Constructing it opens audio (44 100 Hz,
// 16-bit, stereo, 16 mixing channels, SDL's default output); `play` streams an
// MP3 file looped forever; destruction stops it and closes the library. Without a
// device or a playable file the demo runs in silence, and the log says why.
class Sound {
  public:
    Sound();
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    void play(const char* fileName);

  private:
    void warnNotPlayed(const char* reason) const;

    // SDL_mixer's reason when the audio device did not open. Kept until `play`,
    // as the log is not open yet when the player is made.
    std::optional<std::string> audioFailure;
    // Kept only to be freed when the library closes.
    _Mix_Music* music = nullptr;
    // Whether this player holds a reference on SDL's audio subsystem, so that it
    // releases only its own (and never the event subsystem that the display shares).
    bool audioStarted = false;
};

} // namespace velmorra
