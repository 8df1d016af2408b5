// A statement the calling thread can give up on: it runs on a thread of its own while the
// caller waits and asks its connection whether it is overdue (its command timeout passed and
// the cancel's answer has not come: the link to the server is gone). Then the caller stops
// waiting at once, and the statement's thread, still held by the driver, ends by itself later,
// letting go of what the statement holds.
#pragma once
#include "framework/AdoConnection.h"
#include <functional>

// Runs `statement` (which must hold, by value, the references it uses): true once it has
// ended, having raised here what it raised. False when the connection said it was overdue
// and it was given up: the caller must then let go of the connection and of anything the
// statement uses, and use neither again.
bool RunWatchedStatement(const CConnectionPtr& connection, std::function<void()> statement);
