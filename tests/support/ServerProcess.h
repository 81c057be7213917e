#pragma once
// A server program the tests start themselves (jackd, icecast2, pulseaudio), or a recorder that
// talks to one (parec): forked and exec'd with extra environment, waited for until it answers,
// and stopped by its PID (a stopped one too).
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pelvano::test {

class ServerProcess {
  public:
    ServerProcess() = default;
    ~ServerProcess() { stop(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Starts argv (looked up on PATH) with env set in the child, then asks answers() every
    // interval until it says yes (true) or the program ends or the attempts run out (false,
    // and the program is stopped).
    bool start(const std::vector<std::string>& argv,
               const std::vector<std::pair<std::string, std::string>>& env,
               const std::function<bool()>& answers, int attempts,
               std::chrono::milliseconds interval);
    // Starts argv with env set in the child and its standard output on a pipe; the pipe's
    // reading end (the caller closes it), or -1 when it could not be started.
    int startReading(const std::vector<std::string>& argv,
                     const std::vector<std::pair<std::string, std::string>>& env);
    void stop();
    void pause();   // SIGSTOP
    void resume();  // SIGCONT
    bool running() const { return pid_ > 0; }

  private:
    // Forks and execs; the child's standard output goes to outFd when it is not -1.
    bool spawn(const std::vector<std::string>& argv,
               const std::vector<std::pair<std::string, std::string>>& env, int outFd);
    pid_t pid_ = -1;
};

}  // namespace pelvano::test
