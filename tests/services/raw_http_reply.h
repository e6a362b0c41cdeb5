// A one-answer HTTP server on 127.0.0.1 that sends exactly the bytes it is
// given (for replies the shared test server never makes, such as one
// without a Content-Length) and closes the connection.
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace services_testing {

class RawHttpReply {
public:
    explicit RawHttpReply(std::string reply);
    ~RawHttpReply();
    RawHttpReply(const RawHttpReply&) = delete;
    RawHttpReply& operator=(const RawHttpReply&) = delete;

    int Port() const { return port_; }
    // Whether a client has connected.
    bool WasAsked() const { return asked_; }

private:
    void AnswerOnce();

    std::string reply_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> asked_{false};
    std::thread thread_;
};

}  // namespace services_testing
