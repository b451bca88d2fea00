#pragma once

#include <chrono>
#include <mutex>
#include <string>

namespace velmorra {

// What the encoding thread tells the caller's thread: the first failure, the frames done and
// the time spent per stage. Every member is safe to call from either thread.
class EncodingState {
  public:
    enum class Stage { convert, encodeVideo, encodeAudio, mux, count };

    // Adds the wall time from construction to destruction to one stage.
    class Measure {
      public:
        Measure(EncodingState& state, Stage stage)
            : state(state), stage(stage), start(std::chrono::steady_clock::now()) {}
        ~Measure();
        Measure(const Measure&) = delete;
        Measure& operator=(const Measure&) = delete;

      private:
        EncodingState& state;
        Stage stage;
        std::chrono::steady_clock::time_point start;
    };

    void addTime(Stage stage, double seconds);
    double time(Stage stage) const;

    // Keeps the first reason: later failures are usually its consequences.
    void fail(const std::string& reason);
    bool failed() const;
    std::string failure() const;

    void countFrame();
    long frames() const;

  private:
    mutable std::mutex mutex;
    double seconds[static_cast<int>(Stage::count)] = {};
    std::string firstFailure;
    bool hasFailed = false;
    long frameCount = 0;
};

} // namespace velmorra
