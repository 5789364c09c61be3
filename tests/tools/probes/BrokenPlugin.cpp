// A tiny FFGL 2 effect with one deliberate fault, chosen at build time, for
// the validator's and the live window's tests: it crashes making an
// instance, crashes or hangs on frames, leaks one GL program
// per instance, leaves GL state or a GL error behind, binds its input handle
// unchecked, clobbers every viewport index, allocates by the declared size or
// sizes a texture by it without a guard, samples its input through whatever
// sampler the host left on unit 0, changes the host's texture, framebuffer or
// vertex array, keeps memory or a GL object from every frame, or, loading GL through GLEW as most
// plug-ins do, calls a 4.5 function without asking whether the context has
// it, or leaves GLEW to go by the extension list. Otherwise it clears the
// output to green and restores what it touches.
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "hostkit/FfglCodes.h"

#define ZAO_FAULT_CRASH_ON_FRAME 1
#define ZAO_FAULT_HANG_ON_FRAME 2
#define ZAO_FAULT_LEAK_PROGRAM 3
#define ZAO_FAULT_LEAVE_GL_ERROR 4
#define ZAO_FAULT_SWALLOW_GL_ERROR 5
#define ZAO_FAULT_LEAVE_BLEND 6
#define ZAO_FAULT_MOVE_VIEWPORT 7
#define ZAO_FAULT_LEAVE_TEXTURE_BOUND 8
#define ZAO_FAULT_LEAVE_SAMPLER_BOUND 9
#define ZAO_FAULT_BIND_INPUT_UNCHECKED 10
#define ZAO_FAULT_SET_ALL_VIEWPORTS 11
#define ZAO_FAULT_ALLOCATE_DECLARED_SIZE 12
#define ZAO_FAULT_UNGUARDED_GL45 13
#define ZAO_FAULT_GLEW_BY_EXTENSION_LIST 14
#define ZAO_FAULT_SAMPLE_THROUGH_HOST_SAMPLER 15
#define ZAO_FAULT_UNGUARDED_DECLARED_SIZE 16
#define ZAO_FAULT_LEAVE_VERTEX_ARRAY 17
#define ZAO_FAULT_LEAVE_DEPTH_TEST 18
#define ZAO_FAULT_CHANGE_PIXEL_STORE 19
#define ZAO_FAULT_CHANGE_HOST_TEXTURE_FILTER 20
#define ZAO_FAULT_GROW_MEMORY 21
#define ZAO_FAULT_GROW_GL_OBJECTS 22
#define ZAO_FAULT_CHANGE_HOST_FRAMEBUFFER 23
#define ZAO_FAULT_CHANGE_HOST_VERTEX_ARRAY 24
#define ZAO_FAULT_CRASH_ON_CREATE 25

#ifndef ZAO_BROKEN_FAULT
#error "ZAO_BROKEN_FAULT must name the fault"
#endif

#if ZAO_BROKEN_FAULT == ZAO_FAULT_UNGUARDED_GL45 || ZAO_BROKEN_FAULT == ZAO_FAULT_GLEW_BY_EXTENSION_LIST
#define ZAO_BROKEN_USES_GLEW 1
#include <GL/glew.h>
#else
#define ZAO_BROKEN_USES_GLEW 0
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#endif

namespace {

constexpr uint64_t kFailure = 0xFFFFFFFFu;

struct alignas(8) InfoRecord {
    uint32_t apiMajor = 2, apiMinor = 1;
    char code[4] = {'B', 'R', 'K', '1'};
    char name[16] = "Broken Probe";
    uint32_t type = 0;
};

struct alignas(8) ExtendedRecord {
    uint32_t major = 1, minor = 0;
    const char* description = "A plug-in with a deliberate fault";
    const char* about = "zao tests";
    uint32_t dataSize = 0;
    uint32_t padding = 0;
    const void* data = nullptr;
};

InfoRecord info;
ExtendedRecord extended;

struct Instance {
    unsigned program = 0;
    unsigned sampler = 0;
    unsigned texture = 0;
    unsigned vertexArray = 0;
    // The declared width the texture was last sized for.
    uint32_t columns = 0;
    // What every frame keeps until the instance goes.
    std::vector<std::unique_ptr<uint8_t[]>> kept;
    std::vector<unsigned> keptTextures;
};

// GLEW as a plug-in links it, set up at the first instance.
bool LoadGl()
{
#if ZAO_BROKEN_USES_GLEW
    static const bool loaded = [] {
        glewExperimental = ZAO_BROKEN_FAULT == ZAO_FAULT_UNGUARDED_GL45 ? GL_TRUE : GL_FALSE;
        const GLenum result = glewInit();
        return result == GLEW_OK || result == GLEW_ERROR_NO_GLX_DISPLAY;
    }();
    return loaded;
#else
    return true;
#endif
}

// The first input's TextureInfo: width (0), height (4), allocated width (8)
// and height (12), handle (16).
struct Input {
    uint32_t width = 0, height = 0, hardwareWidth = 0, hardwareHeight = 0, handle = 0;
};

#if ZAO_BROKEN_FAULT == ZAO_FAULT_SAMPLE_THROUGH_HOST_SAMPLER
// The input drawn over the output by one triangle that covers it.
const char* const kVertexShader = "#version 410 core\n"
                                  "void main() {\n"
                                  "    vec2 corner = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);\n"
                                  "    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);\n"
                                  "}\n";
const char* const kFragmentShader = "#version 410 core\n"
                                    "uniform sampler2D image;\n"
                                    "uniform vec2 size;\n"
                                    "out vec4 color;\n"
                                    "void main() { color = texture(image, gl_FragCoord.xy / size); }\n";

unsigned DrawingProgram()
{
    const unsigned program = glCreateProgram();
    for (const auto& [type, source] : {std::make_pair(GL_VERTEX_SHADER, kVertexShader),
                                       std::make_pair(GL_FRAGMENT_SHADER, kFragmentShader)}) {
        const unsigned shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    return program;
}

// Binds its program, vertex array and the input on unit 0, but not sampler 0.
void DrawInput(const Instance& instance, const Input& input)
{
    glUseProgram(instance.program);
    glUniform2f(glGetUniformLocation(instance.program, "size"), static_cast<float>(input.hardwareWidth),
                static_cast<float>(input.hardwareHeight));
    glBindVertexArray(instance.vertexArray);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, input.handle);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindVertexArray(0);
    glUseProgram(0);
}
#endif

// Returns whether it drew the output itself.
bool Fault(Instance& instance, const Input& input)
{
    (void)instance;
    (void)input;
#if ZAO_BROKEN_FAULT == ZAO_FAULT_CRASH_ON_FRAME
    raise(SIGSEGV);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_HANG_ON_FRAME
    for (;;)
        pause();
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_LEAVE_GL_ERROR
    glLineWidth(-1.0f);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_SWALLOW_GL_ERROR
    // Read back at once: only a debug context's messages show it.
    glLineWidth(-1.0f);
    glGetError();
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_LEAVE_BLEND
    glEnable(GL_BLEND);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_MOVE_VIEWPORT
    glViewport(1, 2, 3, 4);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_LEAVE_TEXTURE_BOUND
    GLint active = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(GL_TEXTURE5);
    glBindTexture(GL_TEXTURE_2D, input.handle);
    glActiveTexture(static_cast<GLenum>(active));
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_LEAVE_SAMPLER_BOUND
    glBindSampler(5, instance.sampler);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_BIND_INPUT_UNCHECKED
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, input.handle);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_SET_ALL_VIEWPORTS
    // Put back as index 0 had it, which glViewport does for every index.
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, 1, 1);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_ALLOCATE_DECLARED_SIZE
    // Through a volatile pointer, which the compiler may not drop with the free.
    const size_t bytes = static_cast<size_t>(input.width) * input.height * 4;
    if (volatile uint8_t* scratch = static_cast<volatile uint8_t*>(std::malloc(bytes))) {
        for (size_t at = 0; at < bytes; at += 4096)
            scratch[at] = 1;
        std::free(const_cast<uint8_t*>(scratch));
    }
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_SAMPLE_THROUGH_HOST_SAMPLER
    DrawInput(instance, input);
    return true;
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_UNGUARDED_DECLARED_SIZE
    // One texel per column of the declared image, with no look at GL_MAX_TEXTURE_SIZE.
    if (input.width != instance.columns) {
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glBindTexture(GL_TEXTURE_2D, instance.texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, static_cast<GLsizei>(input.width), 1, 0, GL_RED, GL_UNSIGNED_BYTE,
                     nullptr);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
        instance.columns = input.width;
    }
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_LEAVE_VERTEX_ARRAY
    glBindVertexArray(instance.vertexArray);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_LEAVE_DEPTH_TEST
    glEnable(GL_DEPTH_TEST);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_CHANGE_PIXEL_STORE
    // A tightly packed upload and a read-back into a wider image, neither put back.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 1000);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_CHANGE_HOST_TEXTURE_FILTER
    if (glIsTexture(input.handle)) {
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glBindTexture(GL_TEXTURE_2D, input.handle);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    }
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_CHANGE_HOST_FRAMEBUFFER
    // A second output for its own use, attached to the host's framebuffer and left there.
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_2D, instance.texture, 0);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_CHANGE_HOST_VERTEX_ARRAY
    // Attribute state set without a vertex array of its own lands in the host's.
    GLint bound = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
    if (bound != 0)
        glDisableVertexAttribArray(0);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_GROW_MEMORY
    constexpr size_t kBytes = 64 * 1024;
    instance.kept.emplace_back(new uint8_t[kBytes]);
    std::memset(instance.kept.back().get(), 1, kBytes);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_GROW_GL_OBJECTS
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    unsigned texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    instance.keptTextures.push_back(texture);
#endif
    return false;
}

uint64_t Frame(Instance& instance, const uint8_t* record)
{
    uint32_t textureCount = 0;
    std::memcpy(&textureCount, record, 4);
    const uint8_t* const* textures = nullptr;
    std::memcpy(&textures, record + 8, sizeof textures);
    if (textureCount == 0 || textures == nullptr || textures[0] == nullptr)
        return kFailure;
    Input input;
    std::memcpy(&input.width, textures[0], 4);
    std::memcpy(&input.height, textures[0] + 4, 4);
    std::memcpy(&input.hardwareWidth, textures[0] + 8, 4);
    std::memcpy(&input.hardwareHeight, textures[0] + 12, 4);
    std::memcpy(&input.handle, textures[0] + 16, 4);
    if (Fault(instance, input))
        return 0;
    GLfloat clearColor[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    return 0;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) uint64_t plugMain(uint32_t code, uint64_t input, void* instance)
{
    const void* pointer = reinterpret_cast<const void*>(static_cast<uintptr_t>(input));
    Instance* live = static_cast<Instance*>(instance);
    switch (code) {
    case ffgl::kGetInfo:
        return reinterpret_cast<uintptr_t>(&info);
    case ffgl::kGetExtendedInfo:
        return reinterpret_cast<uintptr_t>(&extended);
    case ffgl::kDeinitialise:
    case ffgl::kInitialiseV2:
    case ffgl::kGetNumParameters:
        return 0;
    case ffgl::kGetPluginCaps:
        return input == ffgl::kCapabilityMinimumInputs || input == ffgl::kCapabilityMaximumInputs ? 1 : 0;
    case ffgl::kInstantiateGL: {
        if (pointer == nullptr || !LoadGl())
            return kFailure;
#if ZAO_BROKEN_FAULT == ZAO_FAULT_CRASH_ON_CREATE
        raise(SIGSEGV);
#endif
        Instance* made = new Instance();
#if ZAO_BROKEN_FAULT == ZAO_FAULT_LEAK_PROGRAM
        made->program = glCreateProgram();
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_LEAVE_SAMPLER_BOUND
        glGenSamplers(1, &made->sampler);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_UNGUARDED_GL45
        glCreateTextures(GL_TEXTURE_2D, 1, &made->texture);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_GLEW_BY_EXTENSION_LIST
        // 4.1 core, from GL_ARB_get_program_binary, which macOS does not list.
        made->program = glCreateProgram();
        glProgramParameteri(made->program, GL_PROGRAM_BINARY_RETRIEVABLE_HINT, GL_TRUE);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_SAMPLE_THROUGH_HOST_SAMPLER
        made->program = DrawingProgram();
        glGenVertexArrays(1, &made->vertexArray);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_UNGUARDED_DECLARED_SIZE
        glGenTextures(1, &made->texture);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_CHANGE_HOST_FRAMEBUFFER
        glGenTextures(1, &made->texture);
        glBindTexture(GL_TEXTURE_2D, made->texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
#elif ZAO_BROKEN_FAULT == ZAO_FAULT_LEAVE_VERTEX_ARRAY
        glGenVertexArrays(1, &made->vertexArray);
#endif
        return reinterpret_cast<uintptr_t>(made);
    }
    case ffgl::kDeinstantiateGL:
        if (live == nullptr)
            return kFailure;
        if (live->sampler != 0)
            glDeleteSamplers(1, &live->sampler);
        if (live->texture != 0)
            glDeleteTextures(1, &live->texture);
        if (live->vertexArray != 0)
            glDeleteVertexArrays(1, &live->vertexArray);
        if (!live->keptTextures.empty())
            glDeleteTextures(static_cast<GLsizei>(live->keptTextures.size()), live->keptTextures.data());
#if ZAO_BROKEN_USES_GLEW || ZAO_BROKEN_FAULT == ZAO_FAULT_SAMPLE_THROUGH_HOST_SAMPLER
        if (live->program != 0)
            glDeleteProgram(live->program);
#endif
        delete live;
        return 0;
    case ffgl::kProcessOpenGL:
        if (live == nullptr || pointer == nullptr)
            return kFailure;
        return Frame(*live, static_cast<const uint8_t*>(pointer));
    case ffgl::kSetTime:
    case ffgl::kConnect:
    case ffgl::kDisconnect:
    case ffgl::kResize:
        return live == nullptr ? kFailure : 0;
    default:
        return kFailure;
    }
}

extern "C" __attribute__((visibility("default"))) void SetLogCallback(void (*)(const char*)) {}
