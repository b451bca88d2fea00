#include "platform/UserDialogs.h"

#include <SDL2/SDL.h>

namespace velmorra {

namespace {

constexpr int yesButton = 1;
constexpr int noButton = 0;

bool askYesNoBox(const char* text, const char* caption) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, yesButton, "Yes"},
        {0, noButton, "No"},
    };
    const SDL_MessageBoxData box{
        SDL_MESSAGEBOX_WARNING, nullptr, caption, text, 2, buttons, nullptr};
    int pressed = noButton;
    return SDL_ShowMessageBox(&box, &pressed) == 0 && pressed == yesButton;
}

void tellBox(const char* text, const char* caption) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr);
}

} // namespace

const UserDialogs& UserDialogs::system() {
    static const UserDialogs dialogs{askYesNoBox, tellBox};
    return dialogs;
}

} // namespace velmorra
