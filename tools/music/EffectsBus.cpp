#include "music/EffectsBus.h"

#include <array>
#include <vector>

namespace velmorra::tools {

namespace {

constexpr float echoFeedback = 0.38f;
constexpr float echoLevel = 0.45f;
constexpr float roomLevel = 0.22f;

class DelayLine {
  public:
    explicit DelayLine(std::size_t length) : samples(length, 0.0f) {}
    float read() const { return samples[position]; }
    void write(float value) {
        samples[position] = value;
        position = (position + 1) % samples.size();
    }

  private:
    std::vector<float> samples;
    std::size_t position = 0;
};

class Echo {
  public:
    explicit Echo(std::size_t length) : line(length) {}
    float process(float input) {
        const float delayed = line.read();
        damped += 0.35f * (delayed - damped);
        line.write(input + damped * echoFeedback);
        return delayed;
    }

  private:
    DelayLine line;
    float damped = 0.0f;
};

class Comb {
  public:
    explicit Comb(std::size_t length) : line(length) {}
    float process(float input) {
        const float delayed = line.read();
        damped += 0.3f * (delayed - damped);
        line.write(input + damped * 0.8f);
        return delayed;
    }

  private:
    DelayLine line;
    float damped = 0.0f;
};

class AllPass {
  public:
    explicit AllPass(std::size_t length) : line(length) {}
    float process(float input) {
        const float delayed = line.read();
        const float output = delayed - 0.5f * input;
        line.write(input + 0.5f * delayed);
        return output;
    }

  private:
    DelayLine line;
};

// Comb and all-pass lengths in samples, slightly different per side for width.
class Room {
  public:
    explicit Room(std::size_t spread)
        : combs{Comb(1116 + spread), Comb(1277 + spread), Comb(1422 + spread), Comb(1557 + spread)},
          allPasses{AllPass(556 + spread), AllPass(341 + spread)} {}
    float process(float input) {
        float sum = 0.0f;
        for (Comb& comb : combs) {
            sum += comb.process(input);
        }
        for (AllPass& allPass : allPasses) {
            sum = allPass.process(sum);
        }
        return sum * 0.25f;
    }

  private:
    std::array<Comb, 4> combs;
    std::array<AllPass, 2> allPasses;
};

} // namespace

void EffectsBus::apply(const StereoBuffer& send, StereoBuffer& mix, double beatSeconds) {
    Echo leftEcho(StereoBuffer::frameAt(beatSeconds * 0.75));
    Echo rightEcho(StereoBuffer::frameAt(beatSeconds));
    Room leftRoom(0), rightRoom(23);
    for (std::size_t i = 0; i < send.frames(); ++i) {
        const float inLeft = send.leftAt(i), inRight = send.rightAt(i);
        const float echoLeft = leftEcho.process(inLeft) * echoLevel;
        const float echoRight = rightEcho.process(inRight) * echoLevel;
        const float roomLeft = leftRoom.process(inLeft + echoLeft) * roomLevel;
        const float roomRight = rightRoom.process(inRight + echoRight) * roomLevel;
        mix.add(i, echoLeft + roomLeft, echoRight + roomRight);
    }
}

} // namespace velmorra::tools
