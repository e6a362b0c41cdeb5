#include "tests/support/local_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <optional>
#include <stdexcept>

namespace testing_net {
namespace {

constexpr int kPollMs = 50;

int BoundLoopbackSocket()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        throw std::runtime_error("bind failed");
    }
    return fd;
}

int LocalPort(int fd)
{
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

// Waits for `events` on `fd` in short steps so a stopping server is noticed.
bool WaitFor(int fd, short events, const std::atomic<bool>& stopping)
{
    while (!stopping) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, kPollMs);
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
    return false;
}

// The request head, up to the blank line; nullopt if the client went away.
std::optional<std::string> ReadHead(int fd, const std::atomic<bool>& stopping)
{
    std::string head;
    char chunk[1024];
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (!WaitFor(fd, POLLIN, stopping)) return std::nullopt;
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) return std::nullopt;
        head.append(chunk, static_cast<size_t>(n));
    }
    return head;
}

bool SendAll(int fd, const std::string& bytes, const std::atomic<bool>& stopping)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        if (!WaitFor(fd, POLLOUT, stopping)) return false;
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            return false;  // the client closed: it has what it wanted
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

struct Request {
    std::string method;
    std::string path;
    std::string range;  // the Range header's value, or ""
};

Request ParseHead(const std::string& head)
{
    Request request;
    const size_t firstSpace = head.find(' ');
    const size_t secondSpace = head.find(' ', firstSpace + 1);
    request.method = head.substr(0, firstSpace);
    request.path = head.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    size_t line = head.find("\r\n");
    while (line != std::string::npos && line + 2 < head.size()) {
        const size_t end = head.find("\r\n", line + 2);
        const std::string header = head.substr(line + 2, end - line - 2);
        const size_t colon = header.find(':');
        if (colon != std::string::npos) {
            std::string name = header.substr(0, colon);
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (name == "range") request.range = header.substr(header.find_first_not_of(' ', colon + 1));
        }
        line = end;
    }
    return request;
}

// [first, last] of "bytes=a-b", "bytes=a-" or "bytes=-n"; nullopt if unsatisfiable.
std::optional<std::pair<size_t, size_t>> ByteRange(const std::string& range, size_t size)
{
    const std::string byteRange = range.substr(range.find('=') + 1);
    const size_t dash = byteRange.find('-');
    const std::string from = byteRange.substr(0, dash);
    const std::string to = byteRange.substr(dash + 1);
    if (from.empty()) {
        const size_t suffix = std::stoul(to);
        if (suffix == 0 || size == 0) return std::nullopt;
        return std::make_pair(size - std::min(suffix, size), size - 1);
    }
    const size_t first = std::stoul(from);
    if (first >= size) return std::nullopt;
    const size_t last = to.empty() ? size - 1 : std::min<size_t>(std::stoul(to), size - 1);
    return std::make_pair(first, last);
}

std::string StatusLine(int status)
{
    const char* reason = status == 200   ? "OK"
                         : status == 206 ? "Partial Content"
                         : status == 403 ? "Forbidden"
                         : status == 404 ? "Not Found"
                         : status == 416 ? "Range Not Satisfiable"
                         : status == 500 ? "Internal Server Error"
                                         : "Status";
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n";
}

struct Reply {
    std::string head;
    std::string body;
};

Reply Response(const Request& request, const Resource* resource)
{
    if (!resource) return {StatusLine(404) + "Content-Length: 0\r\nConnection: close\r\n\r\n", ""};
    if (resource->status != 200)
        return {StatusLine(resource->status) + "Content-Length: 0\r\nConnection: close\r\n\r\n", ""};

    const std::string& body = resource->body;
    int status = 200;
    std::string headers = "Connection: close\r\n";
    std::string content = body;
    if (resource->honourRanges) {
        headers += "Accept-Ranges: bytes\r\n";
        if (!request.range.empty()) {
            const auto range = ByteRange(request.range, body.size());
            if (!range) {
                return {StatusLine(416) + "Content-Range: bytes */" + std::to_string(body.size()) +
                            "\r\nContent-Length: 0\r\n" + headers + "\r\n",
                        ""};
            }
            status = 206;
            content = body.substr(range->first, range->second - range->first + 1);
            headers += "Content-Range: bytes " + std::to_string(range->first) + "-" + std::to_string(range->second) +
                       "/" + std::to_string(body.size()) + "\r\n";
        }
    }
    Reply reply{StatusLine(status) + "Content-Length: " + std::to_string(content.size()) + "\r\n" + headers + "\r\n",
                ""};
    if (request.method != "HEAD") reply.body = std::move(content);
    return reply;
}

}  // namespace

LocalHttpServer::LocalHttpServer() : m_listener(BoundLoopbackSocket())
{
    m_port = LocalPort(m_listener);
    if (::listen(m_listener, 16) != 0) throw std::runtime_error("listen failed");
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

LocalHttpServer::~LocalHttpServer()
{
    m_stopping = true;
    m_acceptor.join();
    // The acceptor has ended, so nothing adds to the list any more.
    for (std::thread& connection : m_connections) connection.join();
    ::close(m_listener);
}

void LocalHttpServer::Serve(const std::string& path, Resource resource)
{
    std::lock_guard lock(m_lock);
    m_resources[path] = std::move(resource);
}

std::string LocalHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

int LocalHttpServer::RequestCount(const std::string& path) const
{
    std::lock_guard lock(m_lock);
    const auto found = m_requests.find(path);
    return found == m_requests.end() ? 0 : static_cast<int>(found->second.size());
}

std::vector<std::string> LocalHttpServer::RangesAsked(const std::string& path) const
{
    std::lock_guard lock(m_lock);
    const auto found = m_requests.find(path);
    return found == m_requests.end() ? std::vector<std::string>{} : found->second;
}

void LocalHttpServer::AcceptLoop()
{
    while (WaitFor(m_listener, POLLIN, m_stopping)) {
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        std::lock_guard lock(m_lock);
        m_connections.emplace_back([this, connection] {
            Answer(connection);
            ::close(connection);
        });
    }
}

void LocalHttpServer::Answer(int connection)
{
    const auto head = ReadHead(connection, m_stopping);
    if (!head) return;
    const Request request = ParseHead(*head);

    std::optional<Resource> resource;
    bool stall = false;
    {
        std::lock_guard lock(m_lock);
        auto& asked = m_requests[request.path];
        asked.push_back(request.range);
        const auto found = m_resources.find(request.path);
        if (found != m_resources.end()) {
            resource = found->second;
            stall = resource->stallFromRequest > 0 && static_cast<int>(asked.size()) >= resource->stallFromRequest;
        }
    }
    const Reply reply = Response(request, resource ? &*resource : nullptr);
    if (stall) {
        if (resource->stallAfterBytes >= 0) {
            const size_t sent = std::min(reply.body.size(), static_cast<size_t>(resource->stallAfterBytes));
            SendAll(connection, reply.head + reply.body.substr(0, sent), m_stopping);
        }
        while (!m_stopping) std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
        return;
    }
    SendAll(connection, reply.head + reply.body, m_stopping);
    ::shutdown(connection, SHUT_WR);
}

int UnusedLocalPort()
{
    const int fd = BoundLoopbackSocket();
    const int port = LocalPort(fd);
    ::close(fd);
    return port;
}

}  // namespace testing_net
