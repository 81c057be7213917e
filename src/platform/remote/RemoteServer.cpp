#include "platform/remote/RemoteServer.h"

#include <httplib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/app/TextHelpers.h"
#include "core/remote/MetricsText.h"
#include "core/remote/StatusJson.h"
#include "platform/remote/PageFiles.h"
#include "platform/remote/PasswordHash.h"

namespace pelvano::platform {

namespace {

constexpr const char* kCookie = "pelvano_session";
constexpr const char* kJson = "application/json; charset=utf-8";
constexpr std::uintmax_t kMaxAsRunBytes = 64 * 1024 * 1024;
constexpr int kEventIntervalMs = 100;

// The value of one cookie of the Cookie header; "" when it is not there.
std::string cookieValue(const httplib::Request& req, const std::string& name) {
    const std::string header = req.get_header_value("Cookie");
    std::size_t at = 0;
    while (at < header.size()) {
        const std::size_t end = std::min(header.find(';', at), header.size());
        std::string pair = core::Trim(std::string_view(header).substr(at, end - at));
        if (pair.size() > name.size() && pair.compare(0, name.size(), name) == 0 &&
            pair[name.size()] == '=')
            return pair.substr(name.size() + 1);
        at = end + 1;
    }
    return "";
}

void answer(httplib::Response& res, int status, const std::string& text) {
    res.status = status;
    res.set_content(text + "\n", "text/plain; charset=utf-8");
}

// The login page, marked for the reason it is shown again (a class on its body).
std::string loginPage(const char* mark) {
    const PageFile* file = FindPageFile("login.html");
    if (!file) return "";
    std::string html(reinterpret_cast<const char*>(file->data), file->size);
    if (const std::size_t body = html.find("<body"); mark && body != std::string::npos)
        html.insert(body + 5, std::string(" class=\"") + mark + "\"");
    return html;
}

std::string eventText(const char* name, const std::string& json) {
    return std::string("event: ") + name + "\ndata: " + json + "\n\n";
}

}  // namespace

struct RemoteServer::Access {
    std::optional<RemoteSessions::Session> session;
    bool open = false;  // reads need no session
};

RemoteServer::RemoteServer(RemoteServerSetup setup) : setup_(std::move(setup)) {}

RemoteServer::~RemoteServer() {
    {
        const std::lock_guard lock(stopMutex_);
        stopping_ = true;
    }
    stopWake_.notify_all();
    if (server_) server_->stop();
    if (thread_.joinable()) thread_.join();
}

std::int64_t RemoteServer::nowUs() const {
    return setup_.clock->tickUs();
}

bool RemoteServer::pause(int ms) {
    std::unique_lock lock(stopMutex_);
    return !stopWake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_; });
}

bool RemoteServer::start(std::string& error) {
    const core::RemoteSettings& s = setup_.settings;
    if (s.tls()) {
        auto tls = std::make_unique<httplib::SSLServer>(s.CertFile.c_str(), s.KeyFile.c_str());
        if (!tls->is_valid()) {
            error = "证书或私钥无法读取: " + s.CertFile + ", " + s.KeyFile;
            return false;
        }
        server_ = std::move(tls);
    } else {
        server_ = std::make_unique<httplib::Server>();
    }
    server_->new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
    server_->set_payload_max_length(kMaxBodyBytes);
    server_->set_keep_alive_max_count(1000);
    // An idle connection is held for 1 s only: the stop waits for every connection's thread.
    server_->set_keep_alive_timeout(1);
    server_->set_read_timeout(5, 0);
    server_->set_write_timeout(5, 0);
    server_->set_default_headers({
        {"X-Content-Type-Options", "nosniff"},
        {"X-Frame-Options", "DENY"},
        {"Referrer-Policy", "no-referrer"},
        {"Cache-Control", "no-store"},
        {"Content-Security-Policy",
         "default-src 'self'; style-src 'self' 'unsafe-inline'; frame-ancestors 'none'"},
    });
    routes();
    if (!server_->bind_to_port(s.Bind, s.Port)) {
        error = "无法在 " + s.Bind + ":" + std::to_string(s.Port) + " 上监听";
        server_.reset();
        return false;
    }
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    return true;
}

RemoteServer::Access RemoteServer::accessOf(const httplib::Request& req) {
    Access access;
    const std::string id = cookieValue(req, kCookie);
    if (!id.empty()) access.session = sessions_.touch(id, nowUs());
    access.open = access.session.has_value() || setup_.settings.PublicStatus;
    return access;
}

bool RemoteServer::refusedRead(const Access& access, httplib::Response& res) const {
    if (access.open) return false;
    answer(res, 401, "请先登录");
    return true;
}

void RemoteServer::routes() {
    httplib::Server& srv = *server_;
    srv.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        std::size_t bytes = 0;
        for (const auto& [name, value] : req.headers) bytes += name.size() + value.size();
        if (req.headers.size() <= kMaxHeaders && bytes <= kMaxHeaderBytes)
            return httplib::Server::HandlerResponse::Unhandled;
        answer(res, 431, "请求头过大");
        return httplib::Server::HandlerResponse::Handled;
    });
    srv.Get("/login", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(loginPage(nullptr), "text/html; charset=utf-8");
    });
    srv.Post("/login", [this](const httplib::Request& req, httplib::Response& res) { login(req, res); });
    srv.Post("/logout", [this](const httplib::Request& req, httplib::Response& res) {
        sessions_.close(cookieValue(req, kCookie));
        res.status = 303;
        res.set_header("Location", "/login");
        res.set_header("Set-Cookie", std::string(kCookie) + "=; Max-Age=0; HttpOnly; SameSite=Strict; Path=/");
    });
    srv.Get("/api/status", [this](const httplib::Request& req, httplib::Response& res) {
        const Access access = accessOf(req);
        if (refusedRead(access, res)) return;
        res.set_content(core::StatusJson(*setup_.board->status(),
                                         access.session ? access.session->csrf : ""),
                        kJson);
    });
    srv.Get("/api/schedule", [this](const httplib::Request& req, httplib::Response& res) {
        if (refusedRead(accessOf(req), res)) return;
        res.set_content(core::ScheduleJson(*setup_.board->status()), kJson);
    });
    srv.Get("/api/log", [this](const httplib::Request& req, httplib::Response& res) {
        if (refusedRead(accessOf(req), res)) return;
        std::uint64_t since = 0;
        const std::string text = req.get_param_value("since");
        if (!text.empty() && std::all_of(text.begin(), text.end(), ::isdigit) && text.size() < 20)
            since = std::stoull(text);
        const std::uint64_t last = setup_.board->lastLogSeq();
        res.set_content(core::LogJson(setup_.board->logSince(since), last), kJson);
    });
    srv.Get("/api/asrun", [this](const httplib::Request& req, httplib::Response& res) {
        if (refusedRead(accessOf(req), res)) return;
        res.set_content(asRunDays(), kJson);
    });
    srv.Get(R"(/api/asrun/(\d{4}-\d{2}-\d{2})\.csv)",
            [this](const httplib::Request& req, httplib::Response& res) {
                if (refusedRead(accessOf(req), res)) return;
                asRunFile(req.matches[1], res);
            });
    srv.Get("/api/events", [this](const httplib::Request& req, httplib::Response& res) {
        const Access access = accessOf(req);
        if (refusedRead(access, res)) return;
        events(access, res);
    });
    const std::pair<const char*, core::RemoteCommand> commands[] = {
        {"/api/play", core::RemoteCommand::Play},
        {"/api/pause", core::RemoteCommand::Pause},
        {"/api/stop", core::RemoteCommand::Stop},
        {"/api/next", core::RemoteCommand::Next},
    };
    for (const auto& [path, cmd] : commands) {
        srv.Post(path, [this, c = cmd](const httplib::Request& req, httplib::Response& res) {
            command(req, res, c, 0);
        });
    }
    srv.Post(R"(/api/rows/(\d{1,9})/start)", [this](const httplib::Request& req, httplib::Response& res) {
        command(req, res, core::RemoteCommand::StartRow, std::stoi(req.matches[1]));
    });
    srv.Get("/metrics", [this](const httplib::Request& req, httplib::Response& res) { metrics(req, res); });
    srv.Get("/", [this](const httplib::Request& req, httplib::Response& res) {
        page(accessOf(req), "index.html", res);
    });
    srv.Get(R"(/([A-Za-z0-9_-]+\.[a-z]+))", [this](const httplib::Request& req, httplib::Response& res) {
        page(accessOf(req), req.matches[1], res);
    });
}

void RemoteServer::page(const Access& access, const std::string& name, httplib::Response& res) const {
    // The page itself shows the station; its scripts, styles and pictures show nothing.
    if (name.ends_with(".html") && name != "login.html" && !access.open) {
        res.status = 303;
        res.set_header("Location", "/login");
        return;
    }
    const PageFile* file = FindPageFile(name);
    if (!file) {
        answer(res, 404, "没有这个文件");
        return;
    }
    res.set_content(std::string(reinterpret_cast<const char*>(file->data), file->size),
                    ContentTypeOf(name));
}

void RemoteServer::login(const httplib::Request& req, httplib::Response& res) {
    const std::string& address = req.remote_addr;
    if (limiter_.refused(address, nowUs())) {
        res.status = 429;
        res.set_header("Retry-After", "60");
        res.set_content(loginPage("limited"), "text/html; charset=utf-8");
        return;
    }
    const std::string user = req.get_param_value("user");
    const core::RemoteSettings& s = setup_.settings;
    bool ok = false;
    {
        const std::lock_guard lock(verifying_);
        ok = !s.User.empty() && SameSecret(user, s.User) &&
             VerifyPassword(s.PasswordHash, req.get_param_value("password"));
    }
    if (!ok) {
        limiter_.failed(address, nowUs());
        res.status = 401;
        res.set_content(loginPage("failed"), "text/html; charset=utf-8");
        return;
    }
    const RemoteSessions::Session session = sessions_.open(user, nowUs());
    res.status = 303;
    res.set_header("Location", "/");
    res.set_header("Set-Cookie", std::string(kCookie) + "=" + session.id +
                                     "; HttpOnly; SameSite=Strict; Path=/" +
                                     (s.tls() ? "; Secure" : ""));
}

void RemoteServer::command(const httplib::Request& req, httplib::Response& res,
                           core::RemoteCommand cmd, int row) {
    const Access access = accessOf(req);
    if (!access.session) return answer(res, 401, "请先登录");
    if (!SameSecret(req.get_header_value("X-CSRF-Token"), access.session->csrf))
        return answer(res, 403, "缺少或错误的 X-CSRF-Token");
    if (cmd == core::RemoteCommand::StartRow) {
        const auto rows = setup_.board->status()->rows;
        if (row < 1 || static_cast<std::size_t>(row) > rows->size())
            return answer(res, 404, "没有这一行");
    }
    setup_.commands->post(cmd, row, access.session->user + "@" + req.remote_addr);
    res.status = 204;
}

void RemoteServer::events(const Access& access, httplib::Response& res) {
    if (++eventStreams_ > kMaxEventStreams) {
        --eventStreams_;
        return answer(res, 503, "连接过多");
    }
    const std::string csrf = access.session ? access.session->csrf : "";
    struct Position {
        std::uint64_t version = 0;
        std::uint64_t logSeq = 0;
        bool first = true;
    };
    auto at = std::make_shared<Position>();
    at->logSeq = setup_.board->lastLogSeq();
    res.set_header("X-Accel-Buffering", "no");
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, csrf, at](std::size_t, httplib::DataSink& sink) {
            if (!at->first && !pause(kEventIntervalMs)) return false;
            at->first = false;
            const auto status = setup_.board->status();
            std::string out = eventText("levels", core::LevelsJson(*status));
            if (const std::uint64_t version = setup_.board->statusVersion(); version != at->version) {
                at->version = version;
                out += eventText("status", core::StatusJson(*status, csrf));
            }
            for (const core::StatusLogLine& line : setup_.board->logSince(at->logSeq)) {
                out += eventText("log", core::LogLineJson(line));
                at->logSeq = line.seq;
            }
            return sink.write(out.data(), out.size());
        },
        [this](bool) { --eventStreams_; });
}

std::string RemoteServer::asRunDays() const {
    const core::LocalDateTime today = setup_.clock->now();
    std::vector<std::string> days;
    for (int back = 0; back < kAsRunDays; ++back) {
        const std::string day =
            core::FormatDate(core::LocalDateTime::fromDayNumber(today.dayNumber() - back, 0), true);
        std::error_code ignored;
        if (std::filesystem::is_regular_file(setup_.asRunFolder + day + ".asrun.csv", ignored))
            days.push_back(day);
    }
    return core::AsRunDaysJson(days);
}

void RemoteServer::asRunFile(const std::string& day, httplib::Response& res) const {
    const std::string path = setup_.asRunFolder + day + ".asrun.csv";
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || !std::filesystem::is_regular_file(path, error) || size > kMaxAsRunBytes)
        return answer(res, 404, "没有这一天的播出记录");
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in.is_open()) return answer(res, 404, "没有这一天的播出记录");
    res.set_header("Content-Disposition", "attachment; filename=\"" + day + ".csv\"");
    res.set_content(bytes.str(), "text/csv; charset=utf-8");
}

void RemoteServer::metrics(const httplib::Request& req, httplib::Response& res) {
    const core::RemoteSettings& s = setup_.settings;
    const std::string bearer = "Bearer ";
    const std::string auth = req.get_header_value("Authorization");
    const bool token = !s.MetricsToken.empty() && auth.size() > bearer.size() &&
                       auth.compare(0, bearer.size(), bearer) == 0 &&
                       SameSecret(auth.substr(bearer.size()), s.MetricsToken);
    if (!s.loopback() && !token && !accessOf(req).session) return answer(res, 401, "请先登录");
    res.set_content(core::MetricsText(*setup_.board->status()),
                    "text/plain; version=0.0.4; charset=utf-8");
}

}  // namespace pelvano::platform
