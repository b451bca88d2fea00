#pragma once

namespace velmorra {

// The questions the display asks the user. Replaceable, so that tests can
// answer them without a person in front of the screen.
struct UserDialogs {
    // Yes/No question with a warning icon, Yes the Return-key default.
    bool (*askYesNo)(const char* text, const char* caption);
    // Information with a warning icon and an OK button.
    void (*tell)(const char* text, const char* caption);

    static const UserDialogs& system();
};

} // namespace velmorra
