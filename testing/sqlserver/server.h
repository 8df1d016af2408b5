// The TCP listener on 127.0.0.1: one thread per client; stops on request (a signal),
// closing every client connection.
#pragma once
#include <string>

#include "executor.h"

namespace standin {

// Listens on `port` (0 picks a free one) and serves until a signal in `stop_fd` (a pipe
// written by the signal handler) arrives. `on_ready` receives the port once it listens.
// Returns false (after printing why) when the port cannot be bound.
bool serve(int port, const ServerConfig& config, int stop_fd,
           void (*on_ready)(int port, void* data), void* data);

}  // namespace standin
