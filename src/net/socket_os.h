#pragma once

// The few operating-system socket calls that Socket is built on, one back end per OS
// (socket_posix.cpp, socket_win32.cpp). Every socket made here is non-blocking; the waiting and
// the time-outs are Socket's job.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace net::os {

constexpr intptr_t kInvalidHandle = -1;

// What a failed call means to the caller.
enum class Failure { WouldBlock, Refused, Reset, Other };

enum class Readiness { Ready, NotYet, Failed };

bool Startup();
std::optional<std::string> ResolveFirstIPv4(const std::string& host);

// What a socket's waits watch besides the socket, so that another thread can end them at once:
// after WakeWaits, every wait on it returns without waiting. Windows documents nothing done to a
// socket (shutdown, closesocket) as ending a select that another thread is in, so there it is an
// event of the socket's own. On POSIX the shutdown of a connected socket ends a poll; there it is
// kInvalidHandle, and a socket without a waker is waited for as before.
intptr_t CreateWaker();
void DestroyWaker(intptr_t waker);
void WakeWaits(intptr_t waker);

// A new non-blocking TCP socket whose waits also watch waker, or kInvalidHandle.
intptr_t CreateTcpSocket(intptr_t waker);
void CloseSocket(intptr_t handle);
// Stops both directions so that a wait on the socket in another thread returns.
void ShutdownBoth(intptr_t handle);

// Starts connecting to a dotted IPv4 address. Nothing when the connection is under way or made,
// else why it failed (a malformed address counts as Other).
std::optional<Failure> StartConnect(intptr_t handle, const std::string& ipv4, uint16_t port);
// Once the socket is writable: nothing when connected, else why not.
std::optional<Failure> ConnectOutcome(intptr_t handle);

// Waits at most ms for the socket to become readable (or writable), or for WakeWaits (NotYet).
// A wait to read follows a receive that found nothing; it may return Ready with nothing to read
// after all, which the next receive tells.
Readiness WaitReadable(intptr_t handle, intptr_t waker, uint32_t ms);
Readiness WaitWritable(intptr_t handle, intptr_t waker, uint32_t ms);

// Bytes moved (0 from Receive: the peer closed), or -1 with LastFailure() telling why.
long long SendSome(intptr_t handle, const void* data, size_t size);
long long ReceiveSome(intptr_t handle, void* buffer, size_t size);
Failure LastFailure();

std::string PeerAddress(intptr_t handle);

}  // namespace net::os
