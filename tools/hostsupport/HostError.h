// The one kind of failure zao-host and its validator report: a one-line
// message that main prints after "zao-host: " before it exits non-zero.
#pragma once

#include <stdexcept>
#include <string>

namespace hostsupport {

class HostError : public std::runtime_error {
public:
    explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

// The message on one line: line breaks from tools and libraries become spaces.
std::string OneLine(std::string text);

}  // namespace hostsupport
