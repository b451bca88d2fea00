// Encoding captured frames to MP4 (H.264 + AAC) at the capture sizes: frames per second of
// writeFrame and finish together, and the processor time all threads took per frame.

#include "video/RgbaConverter.h"
#include "video/VideoWriter.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int framesPerRun = 60;
constexpr int distinctFrames = 20;

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Like the demo's pictures: a black sky with sparse stars drifting, and two lit, textured balls
// moving across it.
std::vector<std::uint8_t> sceneFrame(int width, int height, int number) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4, 0);
    const auto hash = [](int u, int v) {
        return static_cast<std::uint32_t>(u * 73856093 ^ v * 19349663) * 2654435761u;
    };
    const int ballRadius = height / 5;
    const int balls[2][2] = {{width / 4 + number * 4, height / 3}, {width * 2 / 3 - number * 2, height * 2 / 3 + number}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            pixel[3] = 255;
            const std::uint32_t star = hash(x + number, y);
            if (star % 400 == 0) {
                pixel[0] = pixel[1] = pixel[2] = static_cast<std::uint8_t>(128 + (star >> 25));
            }
            for (const auto& ball : balls) {
                const int dx = x - ball[0];
                const int dy = y - ball[1];
                const int distance = dx * dx + dy * dy;
                if (distance < ballRadius * ballRadius) {
                    const int light = 255 - distance * 200 / (ballRadius * ballRadius);
                    const int grain = static_cast<int>(hash(dx / 3, dy / 3) >> 27);
                    pixel[0] = static_cast<std::uint8_t>(light * 3 / 4 + grain);
                    pixel[1] = static_cast<std::uint8_t>(light / 3 + grain);
                    pixel[2] = static_cast<std::uint8_t>(light / 8);
                }
            }
        }
    }
    return rgba;
}

void BM_EncodeMp4(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    std::vector<std::vector<std::uint8_t>> frames;
    for (int i = 0; i < distinctFrames; ++i) {
        frames.push_back(sceneFrame(width, height, i));
    }
    const std::string path = "video_writer_bench.mp4";
    velmorra::VideoSettings settings{path, width, height, 30, std::string(VELMORRA_SOURCE_DIR) + "/data/amns.mp3", 10.0};
    double cpuSeconds = 0;
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        velmorra::VideoWriter writer;
        std::string error;
        if (!writer.open(settings, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        for (int i = 0; i < framesPerRun; ++i) {
            state.PauseTiming();
            std::vector<std::uint8_t> frame = frames[static_cast<std::size_t>(i) % frames.size()];
            state.ResumeTiming();
            writer.writeFrame(std::move(frame));
        }
        if (!writer.finish(error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        cpuSeconds += processCpuSeconds() - cpuBefore;
        const double seconds = static_cast<double>(framesPerRun) / settings.framesPerSecond;
        state.counters["kbit_per_s"] = static_cast<double>(std::filesystem::file_size(path)) * 8 / 1000 / seconds;
        const velmorra::VideoWriter::Timings spent = writer.timings();
        state.counters["convert_ms"] = spent.convert * 1000 / framesPerRun;
        state.counters["video_ms"] = spent.encodeVideo * 1000 / framesPerRun;
        state.counters["audio_ms"] = spent.encodeAudio * 1000 / framesPerRun;
        state.counters["mux_ms"] = spent.mux * 1000 / framesPerRun;
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * framesPerRun, benchmark::Counter::kIsRate);
    // All threads' processor time: what the encoder takes from rendering on a busy machine.
    state.counters["cpu_ms_per_frame"] = cpuSeconds * 1000 / (static_cast<double>(state.iterations()) * framesPerRun);
    std::remove(path.c_str());
}

// The colour conversion alone, as the encoding thread does it before every picture.
void BM_ConvertRgbaToYuv(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const std::vector<std::uint8_t> frame = sceneFrame(width, height, 0);
    velmorra::RgbaConverter converter;
    std::string error;
    if (!converter.open(width, height, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(converter.convert(frame.data(), error));
    }
}

} // namespace

BENCHMARK(BM_ConvertRgbaToYuv)->Args({640, 480})->Args({1440, 1080})->Args({1920, 1440})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeMp4)->Args({640, 480})->Args({1440, 1080})->Args({1920, 1440})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
