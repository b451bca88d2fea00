#pragma once

namespace velmorra {

// SDL's event system, running for as long as this object lives. Started while SIGINT and SIGTERM
// are at their defaults, it turns them into SDL's quit event, which the frame loop takes as a
// close request. The music player's audio starts it too, but only when there is an audio device;
// without one, the display's video system would start it while the settings dialog holds the
// signals, and SDL leaves alone signals that something else already catches.
class EventSystem {
  public:
    EventSystem();
    ~EventSystem();
    EventSystem(const EventSystem&) = delete;
    EventSystem& operator=(const EventSystem&) = delete;

  private:
    bool started = false;
};

} // namespace velmorra
