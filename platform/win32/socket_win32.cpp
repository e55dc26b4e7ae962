// Winsock backend: non-blocking sockets and select() before every transfer give the time-outs.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <chrono>
#include <string>

#include "platform/socket.h"

namespace {

using Clock = std::chrono::steady_clock;

// Waits until s is readable (write false) or writable; 1 ready, 0 time-out, -1 error.
int WaitFor(SOCKET s, bool write, int timeoutMs) {
    fd_set set, errors;
    FD_ZERO(&set);
    FD_SET(s, &set);
    FD_ZERO(&errors);
    FD_SET(s, &errors);
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    int n = ::select(0, write ? nullptr : &set, write ? &set : nullptr, &errors, &tv);
    if (n > 0 && FD_ISSET(s, &errors) && !FD_ISSET(s, &set)) return -1;
    return n;
}

class WinSocket : public ISocket {
public:
    WinSocket(SOCKET s, int timeoutMs) : s_(s), timeoutMs_(timeoutMs) {}
    ~WinSocket() override { ::closesocket(s_); }

    bool Send(const void* data, size_t count) override {
        const char* p = static_cast<const char*>(data);
        Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_);
        while (count > 0) {
            if (!Ready(true, deadline)) return false;
            int chunk = count > 0x10000 ? 0x10000 : static_cast<int>(count);
            int n = ::send(s_, p, chunk, 0);
            if (n == SOCKET_ERROR) {
                int e = ::WSAGetLastError();
                if (e == WSAEWOULDBLOCK || e == WSAEINTR) continue;
                return Fail(e);
            }
            p += n;
            count -= static_cast<size_t>(n);
        }
        return true;
    }

    int Receive(void* buffer, size_t count) override {
        for (;;) {
            if (!Ready(false)) return -1;
            int n = ::recv(s_, static_cast<char*>(buffer), static_cast<int>(count), 0);
            if (n != SOCKET_ERROR) return n;
            int e = ::WSAGetLastError();
            if (e == WSAEWOULDBLOCK || e == WSAEINTR) continue;
            Fail(e);
            return -1;
        }
    }

    int LastError() const override { return error_; }
    bool TimedOut() const override { return timedOut_; }
    void SetTimeout(int milliseconds) override { timeoutMs_ = milliseconds; }

private:
    bool Ready(bool write) { return Ready(write, Clock::now() + std::chrono::milliseconds(timeoutMs_)); }
    // Waits until the deadline at the latest.
    bool Ready(bool write, Clock::time_point deadline) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        int n = left > 0 ? WaitFor(s_, write, static_cast<int>(left)) : 0;
        if (n > 0) return true;
        if (n == 0) {
            timedOut_ = true;
            return Fail(WSAETIMEDOUT);
        }
        int e = 0, len = sizeof e;
        ::getsockopt(s_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&e), &len);
        return Fail(e ? e : ::WSAGetLastError());
    }
    bool Fail(int error) {
        error_ = error;
        return false;
    }

    SOCKET s_;
    int timeoutMs_;
    int error_ = 0;
    bool timedOut_ = false;
};

// Connects s without waiting longer than timeoutMs; leaves s non-blocking. 0 or a WSA code.
int ConnectWithin(SOCKET s, const sockaddr* address, int length, int timeoutMs) {
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    if (::connect(s, address, length) == 0) return 0;
    int e = ::WSAGetLastError();
    if (e != WSAEWOULDBLOCK) return e;
    int n = WaitFor(s, true, timeoutMs);
    if (n == 0) return WSAETIMEDOUT;
    int soError = 0, len = sizeof soError;
    ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &len);
    if (n < 0) return soError ? soError : WSAECONNREFUSED;
    return soError;
}

}  // namespace

bool SocketStartup() {
    static int started = -1;
    if (started < 0) {
        WSADATA data;
        started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0 ? 1 : 0;
    }
    return started == 1;
}

std::unique_ptr<ISocket> ConnectTcp(const std::string& host, uint16_t port, int timeoutMs,
                                    int& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0) {
        error = ::WSAGetLastError();
        return nullptr;
    }
    error = WSAECONNREFUSED;
    for (addrinfo* a = list; a; a = a->ai_next) {
        SOCKET s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s == INVALID_SOCKET) {
            error = ::WSAGetLastError();
            continue;
        }
        error = ConnectWithin(s, a->ai_addr, static_cast<int>(a->ai_addrlen), timeoutMs);
        if (error == 0) {
            ::freeaddrinfo(list);
            return std::make_unique<WinSocket>(s, timeoutMs);
        }
        ::closesocket(s);
    }
    ::freeaddrinfo(list);
    return nullptr;
}

std::string SocketErrorText(int error) {
    char buffer[512] = {0};
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               static_cast<DWORD>(error), 0, buffer, sizeof buffer, nullptr);
    while (n > 0 && (buffer[n - 1] == '\n' || buffer[n - 1] == '\r' || buffer[n - 1] == ' '))
        buffer[--n] = 0;
    return n ? std::string(buffer, n) : "Socket error " + std::to_string(error);
}
