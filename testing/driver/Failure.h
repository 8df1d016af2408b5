// The one way a step of the driver fails: a message for the person running it, in the
// program's own code page.
#pragma once
#include <stdexcept>
#include <string>

struct DriverFailure : std::runtime_error {
    explicit DriverFailure(const std::string& what) : std::runtime_error(what) {}
};
