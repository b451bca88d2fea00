#include "music/Envelope.h"
#include "music/StateVariableFilter.h"
#include "music/StereoBuffer.h"
#include "music/WavWriter.h"
#include "music/Waveforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmorra {
namespace {

using namespace tools;

TEST(EnvelopeTest, RisesDecaysHoldsAndReleasesToZero) {
    const Envelope envelope(0.1, 0.4, 0.5, 0.2);
    EXPECT_DOUBLE_EQ(envelope.level(-0.01, 1.0), 0.0);
    EXPECT_DOUBLE_EQ(envelope.level(0.05, 1.0), 0.5);
    EXPECT_DOUBLE_EQ(envelope.level(0.1, 1.0), 1.0);
    // A decay's length brings it within e^-4 of the sustain level.
    EXPECT_NEAR(envelope.level(0.5, 1.0), 0.5 + 0.5 * std::exp(-4.0), 1e-12);
    EXPECT_NEAR(envelope.level(0.99, 1.0), 0.5, 1e-3);
    EXPECT_LT(envelope.level(1.1, 1.0), envelope.level(1.0, 1.0));
    EXPECT_NEAR(envelope.level(1.2, 1.0), 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(envelope.level(1.21, 1.0), 0.0);
    EXPECT_DOUBLE_EQ(envelope.length(1.0), 1.2);
    // Let go during the attack, the release starts from where the attack had got to.
    EXPECT_NEAR(envelope.level(0.05, 0.05), 0.5, 1e-12);
}

double settledGain(double cutoff, double frequency, bool low) {
    StateVariableFilter filter;
    filter.setCutoff(cutoff, 0.0);
    double largest = 0.0;
    const int frames = StereoBuffer::sampleRate;
    for (int i = 0; i < frames; ++i) {
        const double input =
            std::sin(2.0 * 3.14159265358979 * frequency * i / StereoBuffer::sampleRate);
        const StateVariableFilter::Output out = filter.process(input);
        if (i > frames / 2) {
            largest = std::max(largest, std::fabs(low ? out.low : out.high));
        }
    }
    return largest;
}

TEST(StateVariableFilterTest, PassesBelowTheCutoffAndStopsAbove) {
    EXPECT_NEAR(settledGain(1000.0, 50.0, true), 1.0, 0.01);
    EXPECT_LT(settledGain(1000.0, 10000.0, true), 0.02); // two octaves and more: about -40 dB
    EXPECT_NEAR(settledGain(1000.0, 10000.0, false), 1.0, 0.02);
    // At the cutoff with no resonance a two-pole low-pass is at -6 dB.
    EXPECT_NEAR(settledGain(1000.0, 1000.0, true), 0.5, 0.02);
}

TEST(WaveformsTest, PitchesPansAndTheSmoothedSawStep) {
    EXPECT_DOUBLE_EQ(Waveforms::frequency(69), 440.0);
    EXPECT_NEAR(Waveforms::frequency(57), 220.0, 1e-9);
    EXPECT_NEAR(Waveforms::leftGain(0.0), std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(Waveforms::rightGain(1.0), 1.0, 1e-12);
    EXPECT_NEAR(Waveforms::leftGain(1.0), 0.0, 1e-12);
    // Away from the wrap the saw is the plain ramp; at the wrap the correction
    // meets in the middle, so the jump is spread over two samples.
    EXPECT_DOUBLE_EQ(Waveforms::saw(0.25, 0.01), -0.5);
    EXPECT_NEAR(Waveforms::saw(0.0, 0.01), 0.0, 1e-12);
    EXPECT_NEAR(Waveforms::pulse(0.25, 0.01, 0.5), 1.0, 1e-12);
    EXPECT_NEAR(Waveforms::pulse(0.75, 0.01, 0.5), -1.0, 1e-12);
}

TEST(StereoBufferTest, MeasuresPeakLoudnessAndOffset) {
    StereoBuffer buffer(StereoBuffer::sampleRate);
    for (std::size_t i = 0; i < buffer.frames(); ++i) {
        const auto value =
            static_cast<float>(std::sin(2.0 * 3.14159265358979 * 441.0 * i / 44100.0));
        buffer.add(i, value, value);
    }
    buffer.add(buffer.frames() + 5, 9.0f, 9.0f); // past the end: dropped
    EXPECT_NEAR(buffer.peak(), 1.0f, 1e-4f);
    EXPECT_NEAR(buffer.rmsDecibels(0, buffer.frames()), -3.0103, 1e-3);
    EXPECT_NEAR(buffer.meanLeft(), 0.0, 1e-6);
    buffer.scale(0.5f);
    EXPECT_NEAR(buffer.rmsDecibels(0, buffer.frames()), -9.0309, 1e-3);
    EXPECT_EQ(buffer.rmsDecibels(10, 10), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(StereoBuffer::frameAt(162.0), 7144200u);
}

TEST(WavWriterTest, SamplesRoundClampAndInterleave) {
    EXPECT_EQ(WavWriter::toSample(1.0f), 32767);
    EXPECT_EQ(WavWriter::toSample(2.0f), 32767);
    EXPECT_EQ(WavWriter::toSample(-2.0f), -32768);
    EXPECT_EQ(WavWriter::toSample(0.5f), 16384); // 16383.5 rounds away from zero
    EXPECT_EQ(WavWriter::toSample(std::numeric_limits<float>::quiet_NaN()), 0);
    StereoBuffer buffer(2);
    buffer.add(1, 0.25f, -0.25f);
    const std::vector<std::uint8_t> bytes = WavWriter::encode(buffer);
    ASSERT_EQ(bytes.size(), 44u + 8u);
    EXPECT_EQ(bytes[44 + 4], 0x00); // 8192 = 0x2000, little-endian
    EXPECT_EQ(bytes[44 + 5], 0x20);
    EXPECT_EQ(bytes[44 + 6], 0x00); // -8192 = 0xE000
    EXPECT_EQ(bytes[44 + 7], 0xE0);
}

} // namespace
} // namespace velmorra
