// Reading BMP textures at start-up: a full 512 x 512 file, and the same file
// cut after its header, which the reader fills by repeating the last pixel.

#include "render/Image.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<std::uint8_t> bmpBytes(int side, bool withRows) {
    std::vector<std::uint8_t> bytes(54, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    const auto put32 = [&bytes](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    };
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(side));
    put32(22, static_cast<std::uint32_t>(side));
    bytes[26] = 1;
    bytes[28] = 24;
    if (withRows) {
        for (int i = 0; i < side * side * 3; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(i * 31));
        }
    }
    return bytes;
}

void decode(benchmark::State& state, bool withRows) {
    const int side = static_cast<int>(state.range(0));
    const std::vector<std::uint8_t> file = bmpBytes(side, withRows);
    for (auto _ : state) {
        velmorra::Image image;
        benchmark::DoNotOptimize(image.loadFromMemory(file));
        benchmark::DoNotOptimize(image.getPixels());
    }
    state.SetBytesProcessed(state.iterations() * side * side * 3);
}

void BM_DecodeWholeFile(benchmark::State& state) {
    decode(state, true);
}
void BM_DecodeHeaderOnly(benchmark::State& state) {
    decode(state, false);
}

} // namespace

BENCHMARK(BM_DecodeWholeFile)->Arg(64)->Arg(512);
BENCHMARK(BM_DecodeHeaderOnly)->Arg(512);
