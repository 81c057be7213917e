#include "IcecastServer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "Loopback.h"

namespace pelvano::test {

namespace {

// A port nobody listens on now: the kernel's pick for a socket bound to port 0.
int freePort() {
    int port = 0;
    ::close(ListenOnLoopback(port));
    return port;
}

void appendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The server's status page writes every character outside ASCII as "&#N;".
std::string decodeEntities(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t end = text.find(';', i);
        if (text.compare(i, 2, "&#") == 0 && end != std::string::npos && end > i + 2) {
            appendUtf8(out, std::stoul(text.substr(i + 2, end - i - 2)));
            i = end;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The value of "key": "..." after the position, or "".
std::string jsonString(const std::string& json, std::size_t from, const std::string& key) {
    const std::string quoted = "\"" + key + "\":";
    const std::size_t at = json.find(quoted, from);
    if (at == std::string::npos) return "";
    std::size_t i = at + quoted.size();
    while (i < json.size() && json[i] == ' ') ++i;
    if (i >= json.size() || json[i] != '"') return "";
    std::string value;
    for (++i; i < json.size() && json[i] != '"'; ++i) {
        if (json[i] == '\\' && i + 1 < json.size()) ++i;
        value += json[i];
    }
    return value;
}

}  // namespace

IcecastServer::IcecastServer() : port_(freePort()) {
    const std::string folder = dir_.path().string();
    // icecast2 refuses to run as root without dropping to its own user, which then writes
    // the logs.
    std::string security = "<chroot>0</chroot>";
    if (::geteuid() == 0) {
        security += "<changeowner><user>icecast2</user><group>icecast</group></changeowner>";
        std::filesystem::permissions(dir_.path(), std::filesystem::perms::all);
    }
    const std::string xml =
        "<icecast><location>test</location><admin>test@localhost</admin>"
        "<limits><clients>20</clients><sources>4</sources><queue-size>1048576</queue-size>"
        "<client-timeout>30</client-timeout><header-timeout>15</header-timeout>"
        "<source-timeout>5</source-timeout><burst-on-connect>0</burst-on-connect></limits>"
        "<authentication><source-password>" +
        password_ + "</source-password><admin-user>admin</admin-user><admin-password>" + password_ +
        "</admin-password></authentication>"
        "<hostname>127.0.0.1</hostname>"
        "<listen-socket><port>" +
        std::to_string(port_) +
        "</port><bind-address>127.0.0.1</bind-address></listen-socket>"
        "<fileserve>1</fileserve>"
        "<paths><basedir>/usr/share/icecast2</basedir><logdir>" +
        folder +
        "</logdir><webroot>/usr/share/icecast2/web</webroot>"
        "<adminroot>/usr/share/icecast2/admin</adminroot><pidfile>" +
        folder +
        "/icecast.pid</pidfile></paths>"
        "<logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog>"
        "<loglevel>3</loglevel></logging>"
        "<security>" +
        security + "</security></icecast>\n";
    config_ = dir_.write("icecast.xml", xml);
}

IcecastServer::~IcecastServer() {
    stop();
}

bool IcecastServer::start() {
    if (port_ == 0) return false;
    return process_.start(
        {"icecast2", "-c", config_}, {}, [this] { return !get("/status-json.xsl").empty(); }, 100,
        std::chrono::milliseconds(50));
}

void IcecastServer::stop() {
    process_.stop();
}

std::string IcecastServer::url(const std::string& mount) const {
    return "http://127.0.0.1:" + std::to_string(port_) + mount;
}

std::string IcecastServer::get(const std::string& path) const {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(port_);
    timeval timeout{2, 0};
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string response;
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        const std::string request = "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        if (::send(s, request.data(), request.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(request.size())) {
            char buffer[4096];
            ssize_t n;
            while ((n = ::recv(s, buffer, sizeof buffer, 0)) > 0)
                response.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(s);
    const std::size_t body = response.find("\r\n\r\n");
    return body == std::string::npos ? "" : response.substr(body + 4);
}

std::string IcecastServer::titleOf(const std::string& mount) const {
    const std::string json = get("/status-json.xsl");
    const std::size_t source = json.find("\"listenurl\":\"" + url(mount) + "\"");
    if (source == std::string::npos) return "";
    // The fields of one source object surround its listenurl; the title comes before it.
    const std::size_t start = json.rfind('{', source);
    return decodeEntities(jsonString(json, start == std::string::npos ? 0 : start, "title"));
}

std::string IcecastServer::errorLog() const {
    return dir_.read("error.log");
}

}  // namespace pelvano::test
