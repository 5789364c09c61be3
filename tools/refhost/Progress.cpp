// Redrawn at most ten times a second, so that it never slows a fast run.
#include "Progress.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace refhost {

Progress::Progress(uint64_t totalFrames)
    : total(totalFrames), enabled(isatty(2) != 0), start(std::chrono::steady_clock::now()), lastDraw(start)
{
}

Progress::~Progress()
{
    Finish();
}

void Progress::Update(uint64_t done)
{
    if (!enabled)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn && now - lastDraw < std::chrono::milliseconds(100) && done != total)
        return;
    lastDraw = now;
    drawn = true;
    const double seconds = std::chrono::duration<double>(now - start).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    constexpr int kWidth = 30;
    std::string bar;
    if (total > 0) {
        const int filled = static_cast<int>(kWidth * done / total);
        bar = "[" + std::string(static_cast<size_t>(filled), '#') +
              std::string(static_cast<size_t>(kWidth - filled), '.') + "] ";
        std::fprintf(stderr, "\rrendering %s%llu/%llu frames, %.1f frames/s ", bar.c_str(),
                     static_cast<unsigned long long>(done), static_cast<unsigned long long>(total), rate);
    } else {
        std::fprintf(stderr, "\rrendering %llu frames, %.1f frames/s ", static_cast<unsigned long long>(done), rate);
    }
    std::fflush(stderr);
}

void Progress::Finish()
{
    if (enabled && drawn)
        std::fprintf(stderr, "\r\033[K");
    drawn = false;
}

}  // namespace refhost
