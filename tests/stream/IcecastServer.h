#pragma once
// Debian's icecast2 for a test: a configuration generated in a temporary folder (loopback, a
// free port, its own log and pid files, a source password), started with `icecast2 -c FILE`,
// waited for, and stopped by its PID. It can be stopped and started again on the same port (a
// server going away under a streaming station).

#include <string>

#include "support/ServerProcess.h"
#include "support/TempDir.h"

namespace pelvano::test {

class IcecastServer {
  public:
    IcecastServer();
    ~IcecastServer();
    IcecastServer(const IcecastServer&) = delete;
    IcecastServer& operator=(const IcecastServer&) = delete;

    // False when icecast2 is missing or does not answer within a few seconds.
    bool start();
    void stop();
    bool running() const { return process_.running(); }

    int port() const { return port_; }
    const std::string& password() const { return password_; }
    std::string url(const std::string& mount) const;
    // The body of an HTTP GET on the server ("" when it does not answer).
    std::string get(const std::string& path) const;
    // The title the server shows for the mount (its status page), "" when none.
    std::string titleOf(const std::string& mount) const;
    // The server's error log (to explain a failure).
    std::string errorLog() const;

  private:
    TempDir dir_;
    int port_ = 0;
    std::string password_ = "hackme-7f3a";
    std::string config_;
    ServerProcess process_;
};

}  // namespace pelvano::test
