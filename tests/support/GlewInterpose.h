// Swaps one of GLEW's function pointers for a test's own function for the
// life of a scope: the code under test calls through the same pointer, so a
// test can count calls or fake a driver answer without changing that code.
#pragma once

#include <GL/glew.h>

namespace testsupport {

template <typename Function> class Interpose {
public:
    Interpose(Function& slot_, Function replacement) : slot(slot_), original(slot_) { slot = replacement; }
    ~Interpose() { slot = original; }
    Interpose(const Interpose&) = delete;
    Interpose& operator=(const Interpose&) = delete;

    Function Original() const { return original; }

private:
    Function& slot;
    Function original;
};

}  // namespace testsupport
