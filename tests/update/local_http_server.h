#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pelmora::test {

// A listening socket on 127.0.0.1 that accepts nothing: connecting to it is refused.
class RefusingPort {
public:
    RefusingPort() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~RefusingPort() { ::close(fd_); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// A one-thread HTTP server on 127.0.0.1 for the update check. For each request it asks
// respond for the whole raw answer; no answer (nullopt) keeps the connection open and silent
// until the server is destroyed. It stops within a fraction of a second of destruction.
class LocalHttpServer {
public:
    using Responder = std::function<std::optional<std::string>(const std::string& request)>;

    explicit LocalHttpServer(Responder respond) : respond_(std::move(respond)) {
        // A proxy named in the environment must not stand between the test and its server.
        ::setenv("no_proxy", "127.0.0.1", 1);
        ::setenv("NO_PROXY", "127.0.0.1", 1);
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 8);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    // A server that answers every request with 200 and this body.
    static Responder Body(const std::string& body) {
        return [body](const std::string&) -> std::optional<std::string> {
            return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                   "\r\nConnection: close\r\n\r\n" + body;
        };
    }
    ~LocalHttpServer() {
        stop_ = true;
        thread_.join();
        for (int fd : silent_) ::close(fd);
        ::close(listener_);
    }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    std::vector<std::string> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    bool Ready(int fd) const {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 50) > 0;
    }

    void Serve() {
        while (!stop_) {
            if (!Ready(listener_)) continue;
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            std::string request;
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos && !stop_ &&
                   std::chrono::steady_clock::now() < giveUp) {
                if (!Ready(client)) continue;
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                request.append(buffer, static_cast<size_t>(got));
            }
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(request);
            }
            const std::optional<std::string> answer = respond_(request);
            if (!answer) {
                silent_.push_back(client);
                continue;
            }
            ::send(client, answer->data(), answer->size(), MSG_NOSIGNAL);
            ::close(client);
        }
    }

    Responder respond_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::vector<int> silent_;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace pelmora::test
