// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What one client may take of the server. Anything over these is refused or
// cut so that everyone else is still served.

#include <chrono>
#include <cstddef>

#include "server/score_query.h"

namespace velmora::server {

// Connections waiting in the kernel to be accepted. The game's requests are
// HTTP/1.0, one connection each, so a busy moment is a burst of new
// connections; a short queue drops them and the clients retry a second later.
inline constexpr int kListenBacklog = 1024;

// Connections held at once in all. Each costs a socket and at most
// kConnectionMemory, so this caps the memory the connections can take
// (256 MB, only when every one of them is filled). The serving threads
// share it out evenly, and connections do not come to them evenly, so it is
// well above the thousands of idle connections the server must carry.
inline constexpr unsigned kMaxConnections = 8192;

// Connections held at once by one client address: enough for a household or
// an office behind one address, small enough that one machine holding slow
// or idle connections cannot take the server's connections from the others.
inline constexpr unsigned kMaxConnectionsPerAddress = 128;

// Memory for one connection's request line, headers and reply bookkeeping.
// The longest post the game sends (kMaxQuery) must fit with its headers; a
// request that does not fit is refused (414 or 431) and its memory freed.
inline constexpr size_t kConnectionMemory = 32 * 1024;

// A connection that sends nothing this long (between requests, or idle from
// the start) is closed.
inline constexpr unsigned kIdleSeconds = 10;

// A request (line, headers and any small body) must arrive whole this long
// after the connection opened or the previous reply went out. A client
// trickling a byte at a time keeps the idle clock from running out; this
// does not.
inline constexpr auto kRequestDeadline = std::chrono::seconds(10);

// On SIGTERM, how long requests under way may take to finish.
inline constexpr auto kStopGrace = std::chrono::seconds(5);

// Requests carry no body; a body announced bigger than this is refused.
inline constexpr size_t kMaxRequestBody = 1024;

}  // namespace velmora::server
