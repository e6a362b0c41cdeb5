// A small HTTP/1.1 server on 127.0.0.1 for network tests: it serves given
// bytes at given paths, answers ranges with 206 (or ignores them when told),
// answers with an error status, or stalls so a client's time-out shows.
//
// Each connection is answered on a thread of its own and closed after one
// response. The destructor stops every thread, stalled ones included.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_net {

struct Resource {
    std::string body;
    int status = 200;           // anything else is sent with an empty body
    bool honourRanges = true;   // false: every GET gets 200 and the whole body
    int stallFromRequest = 0;   // this request to the path (1-based) and later ones stall; 0: never
    long stallAfterBytes = -1;  // a stalling answer sends its headers and this much body first; -1: nothing
};

class LocalHttpServer {
public:
    // Listens on an ephemeral port at once.
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Adds or replaces what `path` ("/clip.mp4") answers; unknown paths get 404.
    void Serve(const std::string& path, Resource resource);

    int Port() const { return m_port; }
    // "http://127.0.0.1:<port><path>"
    std::string Url(const std::string& path) const;
    // Requests received for `path` so far (each HEAD or GET counts).
    int RequestCount(const std::string& path) const;
    // The Range header values received for `path`, in order ("" for none).
    std::vector<std::string> RangesAsked(const std::string& path) const;

private:
    void AcceptLoop();
    void Answer(int connection);

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_lock;  // guards the maps and the thread list
    std::map<std::string, Resource> m_resources;
    std::map<std::string, std::vector<std::string>> m_requests;
    std::vector<std::thread> m_connections;
    std::thread m_acceptor;
};

// A port on 127.0.0.1 where nothing listens (connections are refused).
int UnusedLocalPort();

}  // namespace testing_net
