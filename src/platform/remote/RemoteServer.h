#pragma once
// The station's embedded HTTP(S) server: the status page, the JSON API, the server-sent events
// and the Prometheus metrics, with logins, sessions and CSRF tokens (docs/remote-api.md). It
// reads only the status board and the as-run folder and hands commands to RemoteCommands, so
// no request ever reaches the station's thread.
//
// Threading: construct, start and destroy on one thread (the UI thread); requests are served
// by the server's own pool of threads. The destructor ends the event streams and waits for the
// pool.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/ports/Clock.h"
#include "core/remote/RemoteCommands.h"
#include "core/remote/StatusBoard.h"
#include "core/schedule/RemoteSettings.h"
#include "platform/remote/RemoteSessions.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace pelvano::platform {

struct RemoteServerSetup {
    core::RemoteSettings settings;
    std::string asRunFolder;  // native, trailing '/'
    const core::Clock* clock = nullptr;
    core::StatusBoard* board = nullptr;
    core::RemoteCommands* commands = nullptr;
};

class RemoteServer {
  public:
    static constexpr std::size_t kMaxBodyBytes = 16 * 1024;
    static constexpr std::size_t kMaxHeaders = 50;
    static constexpr std::size_t kMaxHeaderBytes = 16 * 1024;
    static constexpr std::size_t kThreads = 100;
    // Event streams held at once; more are refused (503) so that they never take every thread.
    static constexpr int kMaxEventStreams = 40;
    static constexpr int kAsRunDays = 31;

    explicit RemoteServer(RemoteServerSetup setup);
    ~RemoteServer();
    RemoteServer(const RemoteServer&) = delete;
    RemoteServer& operator=(const RemoteServer&) = delete;

    // Binds and starts serving; false with the reason (UTF-8) when the address cannot be had or
    // the certificate cannot be loaded.
    bool start(std::string& error);

  private:
    struct Access;
    void routes();
    Access accessOf(const httplib::Request& req);
    // Answers 401 (and true) when a GET needs a session that the request lacks.
    bool refusedRead(const Access& access, httplib::Response& res) const;
    void login(const httplib::Request& req, httplib::Response& res);
    void command(const httplib::Request& req, httplib::Response& res, core::RemoteCommand command,
                 int row);
    void events(const Access& access, httplib::Response& res);
    void asRunFile(const std::string& day, httplib::Response& res) const;
    std::string asRunDays() const;
    void metrics(const httplib::Request& req, httplib::Response& res);
    void page(const Access& access, const std::string& name, httplib::Response& res) const;
    std::int64_t nowUs() const;
    // Waits up to ms; false when the server is stopping.
    bool pause(int ms);

    RemoteServerSetup setup_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    RemoteSessions sessions_;
    LoginLimiter limiter_;
    std::mutex verifying_;  // one password check at a time: each takes much memory
    std::atomic<int> eventStreams_{0};
    std::mutex stopMutex_;
    std::condition_variable stopWake_;
    bool stopping_ = false;
};

}  // namespace pelvano::platform
