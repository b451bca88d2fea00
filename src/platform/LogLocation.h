#pragma once

#include <cstdio>
#include <filesystem>

namespace velmorra {

// Where debug.log goes: the current directory when the program may write
// there (a source tree, a working folder), otherwise the user's state folder,
// so that an installed program started from / or a read-only folder still logs.
class LogLocation {
  public:
    // $XDG_STATE_HOME/velmorra when that is an absolute path, else
    // $HOME/.local/state/velmorra; empty when neither is known.
    static std::filesystem::path stateFolder(const char* xdgStateHome, const char* home);

    // Creates or truncates the file for binary writing in the current directory,
    // or else in the state folder (made, private to the user, if missing). Null
    // when neither can be written.
    static std::FILE* open(const char* fileName);
};

} // namespace velmorra
