// BSD sockets backend: non-blocking connect and poll() before every transfer give the time-outs.
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/socket.h"

namespace {

using Clock = std::chrono::steady_clock;

// Waits for the events on fd; 1 ready, 0 time-out, -1 error (errno set).
int WaitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    for (;;) {
        int n = ::poll(&p, 1, timeoutMs);
        if (n < 0 && errno == EINTR) continue;
        return n;
    }
}

class PosixSocket : public ISocket {
public:
    PosixSocket(int fd, int timeoutMs) : fd_(fd), timeoutMs_(timeoutMs) {}
    ~PosixSocket() override { ::close(fd_); }

    bool Send(const void* data, size_t count) override {
        const char* p = static_cast<const char*>(data);
        Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_);
        while (count > 0) {
            if (!Ready(POLLOUT, deadline)) return false;
            ssize_t n = ::send(fd_, p, count, MSG_NOSIGNAL);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
                return Fail(errno);
            }
            p += n;
            count -= static_cast<size_t>(n);
        }
        return true;
    }

    int Receive(void* buffer, size_t count) override {
        for (;;) {
            if (!Ready(POLLIN)) return -1;
            ssize_t n = ::recv(fd_, buffer, count, 0);
            if (n >= 0) return static_cast<int>(n);
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            Fail(errno);
            return -1;
        }
    }

    int LastError() const override { return error_; }
    bool TimedOut() const override { return timedOut_; }
    void SetTimeout(int milliseconds) override { timeoutMs_ = milliseconds; }

private:
    bool Ready(short events) { return Ready(events, Clock::now() + std::chrono::milliseconds(timeoutMs_)); }
    // Waits until the deadline at the latest.
    bool Ready(short events, Clock::time_point deadline) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        int n = left > 0 ? WaitFor(fd_, events, static_cast<int>(left)) : 0;
        if (n > 0) return true;
        if (n == 0) {
            timedOut_ = true;
            return Fail(ETIMEDOUT);
        }
        return Fail(errno);
    }
    bool Fail(int error) {
        error_ = error;
        return false;
    }

    int fd_;
    int timeoutMs_;
    int error_ = 0;
    bool timedOut_ = false;
};

// Connects fd to the address without waiting longer than timeoutMs; leaves fd non-blocking.
int ConnectWithin(int fd, const sockaddr* address, socklen_t length, int timeoutMs) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    if (::connect(fd, address, length) == 0) return 0;
    if (errno != EINPROGRESS) return errno;
    int n = WaitFor(fd, POLLOUT, timeoutMs);
    if (n == 0) return ETIMEDOUT;
    if (n < 0) return errno;
    int soError = 0;
    socklen_t len = sizeof soError;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) != 0) return errno;
    return soError;
}

}  // namespace

bool SocketStartup() { return true; }

std::unique_ptr<ISocket> ConnectTcp(const std::string& host, uint16_t port, int timeoutMs,
                                    int& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    if (rc != 0) {
        error = rc == EAI_SYSTEM ? errno : EHOSTUNREACH;
        return nullptr;
    }
    error = ECONNREFUSED;
    for (addrinfo* a = list; a; a = a->ai_next) {
        int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            error = errno;
            continue;
        }
        error = ConnectWithin(fd, a->ai_addr, a->ai_addrlen, timeoutMs);
        if (error == 0) {
            ::freeaddrinfo(list);
            return std::make_unique<PosixSocket>(fd, timeoutMs);
        }
        ::close(fd);
    }
    ::freeaddrinfo(list);
    return nullptr;
}

std::string SocketErrorText(int error) { return std::strerror(error); }
