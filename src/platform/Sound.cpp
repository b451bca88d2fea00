#include "platform/Sound.h"

#include "platform/StartupTimings.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

namespace velmorra {

namespace {

constexpr int mixRate = 44100;
constexpr int outputChannels = 2;
constexpr int mixingChannels = 16;
constexpr int chunkSamples = 2048;
constexpr int loopForever = -1;

} // namespace

Sound::Sound() {
    audioStarted = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    Mix_Init(MIX_INIT_MP3);
    Mix_OpenAudio(mixRate, AUDIO_S16SYS, outputChannels, chunkSamples);
    Mix_AllocateChannels(mixingChannels);
}

Sound::~Sound() {
    Mix_HaltMusic();
    Mix_FreeMusic(music);
    music = nullptr;
    Mix_CloseAudio();
    Mix_Quit();
    if (audioStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void Sound::play(const char* fileName) {
    if (music != nullptr) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
    }
    // A failed load hands its null on to the play call, which fails in turn.
    music = Mix_LoadMUS(fileName);
    StartupTimings::step("music opened");
    Mix_PlayMusic(music, loopForever);
    StartupTimings::step("music started");
}

} // namespace velmorra
