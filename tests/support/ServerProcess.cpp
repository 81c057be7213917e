#include "support/ServerProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace pelvano::test {

bool ServerProcess::spawn(const std::vector<std::string>& argv,
                          const std::vector<std::pair<std::string, std::string>>& env, int outFd) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
        if (outFd >= 0) ::dup2(outFd, STDOUT_FILENO);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return pid_ > 0;
}

bool ServerProcess::start(const std::vector<std::string>& argv,
                          const std::vector<std::pair<std::string, std::string>>& env,
                          const std::function<bool()>& answers, int attempts,
                          std::chrono::milliseconds interval) {
    if (!spawn(argv, env, -1)) return false;
    for (int i = 0; i < attempts; ++i) {
        if (answers()) return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(interval);
    }
    stop();
    return false;
}

int ServerProcess::startReading(const std::vector<std::string>& argv,
                                const std::vector<std::pair<std::string, std::string>>& env) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return -1;
    const bool started = spawn(argv, env, fds[1]);
    ::close(fds[1]);
    if (started) return fds[0];
    ::close(fds[0]);
    return -1;
}

void ServerProcess::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::kill(pid_, SIGCONT);  // a paused server must run to end
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

void ServerProcess::pause() {
    if (pid_ > 0) ::kill(pid_, SIGSTOP);
}

void ServerProcess::resume() {
    if (pid_ > 0) ::kill(pid_, SIGCONT);
}

}  // namespace pelvano::test
