// TCP client sockets whose every wait is bounded: Winsock on Windows, BSD sockets elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// A connected stream socket. A call that waits longer than the socket's time-out fails and
// TimedOut() reports it, so a silent peer can never hang the caller.
class ISocket {
public:
    virtual ~ISocket() = default;
    // Sends every byte; false on an error, a closed peer or a time-out.
    virtual bool Send(const void* data, size_t count) = 0;
    // Bytes received (at least 1); 0 when the peer closed the connection; -1 on an error or a
    // time-out.
    virtual int Receive(void* buffer, size_t count) = 0;
    // The platform's error code of the last failed call (WSA code, errno).
    virtual int LastError() const = 0;
    virtual bool TimedOut() const = 0;
    // The longest wait of each later call; a Send gets it once for all of its bytes, so a
    // peer that takes them a byte at a time cannot stretch it.
    virtual void SetTimeout(int milliseconds) = 0;
};

// Starts the socket layer once per process (WSAStartup); false when it is unavailable.
bool SocketStartup();

// Resolves host (name or dotted address) and connects to port, waiting at most timeoutMs for
// the connection; the socket keeps timeoutMs for each later send and receive. nullptr on
// failure, with the platform's error code in error.
std::unique_ptr<ISocket> ConnectTcp(const std::string& host, uint16_t port, int timeoutMs,
                                    int& error);

// The system's description of a socket error code.
std::string SocketErrorText(int error);
