#include "tests/services/raw_http_reply.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace services_testing {

RawHttpReply::RawHttpReply(std::string reply) : reply_(std::move(reply))
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(listener_, 1) == 0 &&
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { AnswerOnce(); });
}

RawHttpReply::~RawHttpReply()
{
    // Wakes a thread still waiting in accept.
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
}

void RawHttpReply::AnswerOnce()
{
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0)
        return;
    asked_ = true;
    // Reads the request up to its blank line (a GET has no body).
    std::string request;
    char buffer[1024];
    pollfd waiting{connection, POLLIN, 0};
    while (request.find("\r\n\r\n") == std::string::npos && ::poll(&waiting, 1, 5000) > 0) {
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, static_cast<size_t>(n));
    }
    size_t sent = 0;
    while (sent < reply_.size()) {
        const ssize_t n = ::send(connection, reply_.data() + sent, reply_.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<size_t>(n);
    }
    ::close(connection);
}

}  // namespace services_testing
