#include "platform/Sound.h"

#include "platform/Log.h"
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
    if (Mix_OpenAudio(mixRate, AUDIO_S16SYS, outputChannels, chunkSamples) != 0) {
        audioFailure = Mix_GetError();
    }
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
        music = nullptr;
    }
    if (audioFailure) {
        warnNotPlayed(audioFailure->c_str());
        return;
    }
    music = Mix_LoadMUS(fileName);
    startupStep("music opened");
    if (music == nullptr || Mix_PlayMusic(music, loopForever) != 0) {
        warnNotPlayed(Mix_GetError());
    }
    startupStep("music started");
}

void Sound::warnNotPlayed(const char* reason) const {
    write("Warning: music not played: %s\n", reason);
}

} // namespace velmorra
