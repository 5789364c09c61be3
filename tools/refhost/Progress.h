// A one-line progress bar on standard error, drawn only when that is a terminal.
#pragma once

#include <chrono>
#include <cstdint>

namespace refhost {

class Progress {
public:
    // total 0: unknown, then only the count is shown.
    explicit Progress(uint64_t total);
    ~Progress();
    void Update(uint64_t done);
    // Clears the line.
    void Finish();

private:
    uint64_t total;
    bool enabled;
    bool drawn = false;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastDraw;
};

}  // namespace refhost
