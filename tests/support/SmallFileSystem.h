#pragma once
// Disks that refuse: a tmpfs of a few pages mounted on a folder (a full disk at will), and a
// piece of code run in a child process as the unprivileged user "nobody" (a file it may not
// read). Both need root; without it a mount is not made (mounted() is false) and the child runs
// as the calling user.
#include <cstddef>
#include <functional>
#include <string>

namespace pelvano::test {

class SmallFileSystem {
  public:
    // Mounts on folder (which must exist) a file system of `bytes` bytes.
    SmallFileSystem(std::string folder, std::size_t bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool mounted() const { return mounted_; }
    // Takes every free byte with a file of that name in the folder; returns its path.
    std::string fill(const std::string& name) const;

  private:
    std::string folder_;
    bool mounted_ = false;
};

// Runs body in a forked child, as "nobody" when this process is root, and returns its exit
// status (body's result; 127 when the child could not change user or ended abnormally).
int RunUnprivileged(const std::function<int()>& body);

}  // namespace pelvano::test
