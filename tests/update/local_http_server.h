#pragma once

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pelmora::test {

// A socket bound to a free port on 127.0.0.1. Unless it listens, connecting to it is
// refused; listening, it takes connections that nobody answers.
class LoopbackPort {
public:
    explicit LoopbackPort(bool listen = false) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        // A proxy named in the environment must not stand between the test and its server.
        ::setenv("no_proxy", "127.0.0.1", 1);
        ::setenv("NO_PROXY", "127.0.0.1", 1);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length);
        if (listen) ::listen(fd_, 8);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        base_ = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
    }
    ~LoopbackPort() { ::close(fd_); }
    const std::string& Base() const { return base_; }
    int Fd() const { return fd_; }

private:
    int fd_;
    std::string base_;
};
using RefusingPort = LoopbackPort;

// A one-thread HTTP server on 127.0.0.1 that asks respond for the whole raw answer to each
// request. It stops within a fraction of a second of going.
class LocalHttpServer {
public:
    using Responder = std::function<std::string(const std::string& request)>;

    explicit LocalHttpServer(Responder respond)
        : respond_(std::move(respond)), thread_([this] { Serve(); }) {}
    ~LocalHttpServer() {
        stop_ = true;
        thread_.join();
    }
    // A responder that answers 200 with this body.
    static Responder Body(const std::string& body) {
        return [body](const std::string&) {
            return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                   "\r\nConnection: close\r\n\r\n" + body;
        };
    }
    const std::string& Base() const { return port_.Base(); }
    std::vector<std::string> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    static bool Ready(int fd) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 50) > 0;
    }
    void Serve() {
        while (!stop_) {
            const int client = Ready(port_.Fd()) ? ::accept(port_.Fd(), nullptr, nullptr) : -1;
            if (client < 0) continue;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos && !stop_) {
                if (!Ready(client)) continue;
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                request.append(buffer, static_cast<size_t>(got));
            }
            const std::string answer = respond_(request);
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            ::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
            ::close(client);
        }
    }

    Responder respond_;
    LoopbackPort port_{true};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace pelmora::test
