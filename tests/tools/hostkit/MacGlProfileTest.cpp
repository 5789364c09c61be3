// The host kit's mac kind, as a plug-in sees it: version 4.1, Apple's
// extension names only, nothing past 4.1 or outside those names resolvable,
// GLSL past 4.10 refused with the reason; and a core context made after it in
// the same process sees the driver as it is.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "hostkit/GlContext.h"

namespace {

using hostkit::GlContext;
using hostkit::GlContextKind;

std::unique_ptr<GlContext> MakeContext(GlContextKind kind)
{
    std::string error;
    hostkit::GlContextRequest request;
    request.kind = kind;
    std::unique_ptr<GlContext> context = GlContext::Create(request, &error);
    EXPECT_TRUE(context) << error;
    return context;
}

// As a plug-in's loader asks (X's headers stay out: they define None).
extern "C" void (*glXGetProcAddressARB(const GLubyte* name))();

bool Resolves(const char* name)
{
    return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)) != nullptr;
}

std::set<std::string> AppleExtensions()
{
    std::ifstream in(ZAO_MAC_EXTENSIONS_PATH);
    std::set<std::string> names;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            names.insert(line);
    return names;
}

TEST(MacGlProfileTest, AMacContextShowsMacOsOpenGl41)
{
    const std::unique_ptr<GlContext> context = MakeContext(GlContextKind::Mac);
    ASSERT_TRUE(context);
    const std::string version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    EXPECT_EQ(version.rfind("4.1 ", 0), 0u) << version;
    EXPECT_STREQ(reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION)), "4.10");
    GLint major = 0, minor = 0, flags = 0, count = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    EXPECT_EQ(major * 10 + minor, 41);
    EXPECT_TRUE(flags & GL_CONTEXT_FLAG_FORWARD_COMPATIBLE_BIT);

    const std::set<std::string> apple = AppleExtensions();
    ASSERT_GT(apple.size(), 40u);
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    EXPECT_GT(count, 10);
    for (GLint i = 0; i < count; ++i) {
        const char* name = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        ASSERT_NE(name, nullptr);
        EXPECT_TRUE(apple.count(name)) << name;
    }
    EXPECT_EQ(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(count)), nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE));

    for (const char* name : {"glGenVertexArrays", "glGenSamplers", "glViewportIndexedf", "glProgramBinary"})
        EXPECT_TRUE(Resolves(name)) << name;
    for (const char* name : {"glCreateTextures", "glGetTextureParameteriv", "glBindTextures", "glDebugMessageCallback",
                             "glTexStorage2DMultisample", "glBindImageTexture", "glNoSuchFunction"})
        EXPECT_FALSE(Resolves(name)) << name;
}

TEST(MacGlProfileTest, ShadersPastGlsl410FailToCompileWithTheReason)
{
    const std::unique_ptr<GlContext> context = MakeContext(GlContextKind::Mac);
    ASSERT_TRUE(context);
    const auto compiles = [](const char* source, std::string* log) {
        const GLuint shader = glCreateShader(GL_VERTEX_SHADER);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        GLint status = 0;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
        char text[512] = {};
        glGetShaderInfoLog(shader, sizeof text, nullptr, text);
        *log = text;
        glDeleteShader(shader);
        return status == GL_TRUE;
    };
    std::string log;
    EXPECT_TRUE(compiles("#version 410 core\nvoid main() { gl_Position = vec4(0.0); }\n", &log)) << log;
    EXPECT_FALSE(compiles("#version 450 core\nvoid main() { gl_Position = vec4(0.0); }\n", &log));
    EXPECT_NE(log.find("macOS compiles GLSL up to #version 410; this shader asks for #version 450"), std::string::npos)
        << log;
}

TEST(MacGlProfileTest, ACoreContextAfterAMacOneSeesTheDriverAsItIs)
{
    MakeContext(GlContextKind::Mac).reset();
    const std::unique_ptr<GlContext> context = MakeContext(GlContextKind::Core);
    ASSERT_TRUE(context);
    GLint minor = 0;
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    const std::string version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    EXPECT_EQ(version.find("macOS"), std::string::npos) << version;
    EXPECT_TRUE(Resolves("glCreateTextures"));
}

}  // namespace
