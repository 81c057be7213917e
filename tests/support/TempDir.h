#pragma once
// A fresh folder under the system's temporary directory, removed with everything in it when the
// test ends. Tests build their files there byte by byte.
#include <filesystem>
#include <string>
#include <string_view>

namespace pelvano::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Path of a file in the folder, as a byte string with a trailing name.
    std::string file(std::string_view name) const;
    // Writes bytes to a file in the folder and returns its path.
    std::string write(std::string_view name, std::string_view bytes) const;
    std::string read(std::string_view name) const;

  private:
    std::filesystem::path path_;
};

}  // namespace pelvano::test
