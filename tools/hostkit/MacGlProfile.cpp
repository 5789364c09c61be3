// The mac kind's imitation of macOS's OpenGL (MacGlProfile.h), on the thread
// where a mac context is current: the executable's own glGetString,
// glGetIntegerv, glGetStringi and glShaderSource answer as a Mac does, and
// the GetProcAddress interposers (GlCallCounter.cpp) ask MacGlAllows first.
#define GL_GLEXT_PROTOTYPES
#include <GL/glcorearb.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "GlCallCounter.h"
#include "MacGlProfile.h"

#define ZAO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

const char* const kMacExtensions[] = {
#define ZAO_MAC_EXTENSION(name) name,
#define ZAO_MAC_FUNCTION(name)
#include "MacGlNames.inc"
#undef ZAO_MAC_EXTENSION
#undef ZAO_MAC_FUNCTION
};

// Sorted by strcmp, as the generator writes them.
const char* const kMacFunctions[] = {
#define ZAO_MAC_EXTENSION(name)
#define ZAO_MAC_FUNCTION(name) name,
#include "MacGlNames.inc"
#undef ZAO_MAC_EXTENSION
#undef ZAO_MAC_FUNCTION
};
constexpr size_t kMacFunctionCount = sizeof kMacFunctions / sizeof kMacFunctions[0];

// Per thread, as contexts are current per thread.
thread_local bool macCurrent = false;
// The extension list answered in this thread's mac context: Apple's names the
// driver also lists, so that a plug-in that trusts the list finds them working.
thread_local std::vector<const char*> answeredExtensions;
thread_local bool extensionsRead = false;
thread_local std::string versionText;

// Which of kMacFunctions, and which names outside them, anything looked up.
std::atomic<bool> askedFunctions[kMacFunctionCount];

long MacFunctionIndex(const char* name)
{
    const char* const* end = kMacFunctions + kMacFunctionCount;
    const char* const* at = std::lower_bound(kMacFunctions, end, name,
                                             [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
    return at != end && std::strcmp(*at, name) == 0 ? at - kMacFunctions : -1;
}

template <typename Function> Function Driver(const char* name)
{
    return reinterpret_cast<Function>(hostkit::DriverGlFunction(name));
}

const std::vector<const char*>& AnsweredExtensions()
{
    if (extensionsRead)
        return answeredExtensions;
    extensionsRead = true;
    answeredExtensions.clear();
    static const auto getIntegerv = Driver<decltype(&glGetIntegerv)>("glGetIntegerv");
    static const auto getStringi = Driver<decltype(&glGetStringi)>("glGetStringi");
    GLint count = 0;
    getIntegerv(GL_NUM_EXTENSIONS, &count);
    for (const char* apple : kMacExtensions)
        for (GLint i = 0; i < count; ++i) {
            const char* name = reinterpret_cast<const char*>(getStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
            if (name != nullptr && std::strcmp(name, apple) == 0) {
                answeredExtensions.push_back(apple);
                break;
            }
        }
    return answeredExtensions;
}

// "#version 450" and the like: the number a shader source asks for, 0 if none.
int ShaderVersion(GLsizei count, const GLchar* const* strings, const GLint* lengths)
{
    for (GLsizei i = 0; i < count; ++i) {
        if (strings[i] == nullptr)
            continue;
        const std::string text = lengths && lengths[i] >= 0 ? std::string(strings[i], static_cast<size_t>(lengths[i]))
                                                            : std::string(strings[i]);
        const size_t at = text.find("#version");
        if (at != std::string::npos)
            return std::atoi(text.c_str() + at + 8);
    }
    return 0;
}

void SetCurrent(bool on)
{
    macCurrent = on;
    extensionsRead = false;
}

bool AskedFor(const char* name)
{
    const long index = MacFunctionIndex(name);
    return index >= 0 && askedFunctions[index].load(std::memory_order_relaxed);
}

void ForgetAsked()
{
    for (std::atomic<bool>& asked : askedFunctions)
        asked.store(false, std::memory_order_relaxed);
}

const hostkit::MacGlProfileHooks kHooks = {SetCurrent, AskedFor, ForgetAsked};

// Offered to the host kit before main, where the interposers are linked.
[[maybe_unused]] const bool kOffered = (hostkit::macGlProfile = &kHooks, true);

}  // namespace

namespace hostkit {

// Whether the GetProcAddress interposers hand out name on this thread.
bool MacGlAllows(const char* name)
{
    if (!macCurrent || name == nullptr || std::strncmp(name, "gl", 2) != 0 || std::strncmp(name, "glX", 3) == 0)
        return true;
    const long index = MacFunctionIndex(name);
    if (index < 0)
        return false;
    askedFunctions[index].store(true, std::memory_order_relaxed);
    return true;
}

}  // namespace hostkit

ZAO_EXPORT const GLubyte* glGetString(GLenum name)
{
    static const size_t slot = hostkit::GlCallSlot("glGetString");
    hostkit::CountGlCall(slot);
    static const auto real = Driver<decltype(&glGetString)>("glGetString");
    const GLubyte* answer = real(name);
    if (!macCurrent || answer == nullptr)
        return answer;
    if (name == GL_VERSION) {
        // As a Mac writes it, "4.1 <driver>", with this machine's driver named.
        versionText = std::string("4.1 macOS profile over ") + reinterpret_cast<const char*>(answer);
        return reinterpret_cast<const GLubyte*>(versionText.c_str());
    }
    if (name == GL_SHADING_LANGUAGE_VERSION)
        return reinterpret_cast<const GLubyte*>("4.10");
    return answer;
}

ZAO_EXPORT void glGetIntegerv(GLenum name, GLint* data)
{
    static const size_t slot = hostkit::GlCallSlot("glGetIntegerv");
    hostkit::CountGlCall(slot);
    static const auto real = Driver<decltype(&glGetIntegerv)>("glGetIntegerv");
    if (macCurrent && data != nullptr) {
        switch (name) {
        case GL_MAJOR_VERSION:
            *data = 4;
            return;
        case GL_MINOR_VERSION:
            *data = 1;
            return;
        case GL_NUM_EXTENSIONS:
            *data = static_cast<GLint>(AnsweredExtensions().size());
            return;
        default:
            break;
        }
    }
    real(name, data);
}

ZAO_EXPORT const GLubyte* glGetStringi(GLenum name, GLuint index)
{
    static const size_t slot = hostkit::GlCallSlot("glGetStringi");
    hostkit::CountGlCall(slot);
    static const auto real = Driver<decltype(&glGetStringi)>("glGetStringi");
    if (!macCurrent || name != GL_EXTENSIONS)
        return real(name, index);
    const std::vector<const char*>& extensions = AnsweredExtensions();
    if (index < extensions.size())
        return reinterpret_cast<const GLubyte*>(extensions[index]);
    // The driver raises the GL_INVALID_VALUE a Mac would for an index past the list.
    return real(name, ~0u);
}

ZAO_EXPORT void glShaderSource(GLuint shader, GLsizei count, const GLchar* const* strings, const GLint* lengths)
{
    static const size_t slot = hostkit::GlCallSlot("glShaderSource");
    hostkit::CountGlCall(slot);
    static const auto real = Driver<decltype(&glShaderSource)>("glShaderSource");
    const int version = macCurrent && strings != nullptr && count > 0 ? ShaderVersion(count, strings, lengths) : 0;
    if (version <= 410) {
        real(shader, count, strings, lengths);
        return;
    }
    // A Mac's compiler stops at GLSL 4.10: the shader fails to compile, and its log says why.
    const std::string refusal = "#version 410 core\n#error macOS compiles GLSL up to #version 410; this shader asks for #version " +
                                std::to_string(version) + "\n";
    const GLchar* text = refusal.c_str();
    real(shader, 1, &text, nullptr);
}
