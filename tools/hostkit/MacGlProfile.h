// The mac kind of context: this machine's driver seen as macOS's OpenGL 4.1
// core profile shows itself to a plug-in. The version reads 4.1, the
// extension list holds only Apple's names (MacGl41Extensions.txt) that the
// driver also has, entry points outside 4.1 core and those extensions resolve
// to null, and a shader past GLSL 4.10 fails to compile. It lives with the GL
// interposers (MacGlProfile.cpp), so only executables that link them (and
// export their symbols, for a loaded plug-in) can make a mac context.
#pragma once

namespace hostkit {

struct MacGlProfileHooks {
    // Switches the imitation on or off for the calling thread, as a mac
    // context becomes current there or stops being so.
    void (*setCurrent)(bool on);
    // Whether anything looked up name while the imitation was on: a loader
    // that goes by the extension list never asks for the functions 4.1
    // includes and macOS does not list. Safe in a signal handler.
    bool (*askedFor)(const char* name);
    // Forgets what was asked so far (the host's own loader asks for everything).
    void (*forgetAsked)();
};

// Null in executables without the interposers.
extern const MacGlProfileHooks* macGlProfile;

// For the GetProcAddress interposers: false where the calling thread's mac
// context must resolve name to null.
bool MacGlAllows(const char* name);

}  // namespace hostkit
