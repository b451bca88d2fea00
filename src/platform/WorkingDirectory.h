#pragma once

#include <filesystem>

namespace velmorra {

// Works in another folder for the object's lifetime, then returns to the
// folder the process was in, so that files the user names on the command line
// and the shell that started the program see the directory they expect.
class WorkingDirectory {
  public:
    explicit WorkingDirectory(const std::filesystem::path& folder);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

  private:
    std::filesystem::path start;
};

} // namespace velmorra
