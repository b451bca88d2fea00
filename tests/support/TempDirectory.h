#pragma once

#include <filesystem>
#include <string>

namespace velmorra::test {

// Makes a fresh directory and changes into it for the lifetime of the object,
// so that files the code writes to the current directory (debug.log) land there.
class TempDirectory {
  public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& path() const { return directory; }
    std::string readFile(const std::string& name) const;

  private:
    std::filesystem::path previous;
    std::filesystem::path directory;
};

// Opens the log in a fresh directory; `text` closes it and returns what it holds.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string text();

  private:
    TempDirectory directory;
};

} // namespace velmorra::test
