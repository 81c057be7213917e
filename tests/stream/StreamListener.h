#pragma once
// A listener of an Icecast mount: the ffmpeg tool copying the stream as it comes into a file
// for a number of seconds, in a child process of its own (started now, waited for later).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace pelvano::test {

class StreamListener {
  public:
    StreamListener(const std::string& url, int seconds, const std::string& file) {
        const std::string length = std::to_string(seconds);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execlp("ffmpeg", "ffmpeg", "-v", "error", "-nostdin", "-y", "-i", url.c_str(), "-t",
                     length.c_str(), "-c", "copy", file.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~StreamListener() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        wait();
    }
    StreamListener(const StreamListener&) = delete;
    StreamListener& operator=(const StreamListener&) = delete;

    // The tool's exit status (0: it recorded), -1 when it could not be started.
    int wait() {
        if (pid_ <= 0) return -1;
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t pid_ = -1;
};

}  // namespace pelvano::test
