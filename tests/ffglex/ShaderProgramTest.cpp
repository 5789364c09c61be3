// Shader programs: the order of compile steps, the one diagnostic line per
// failure, and releases that leave nothing behind.
#include <algorithm>
#include <string>
#include <vector>

#include "GlTestContext.h"
#include "GlewInterpose.h"
#include "ffglex/ScopedBindings.h"
#include "ffglex/ShaderProgram.h"

namespace {

using testsupport::GlTest;
using testsupport::Interpose;

const char* const kVertex = "#version 410 core\nlayout(location = 0) in vec2 p;\nvoid main() { gl_Position = vec4(p, 0.0, 1.0); }\n";
const char* const kFragment = "#version 410 core\nuniform vec2 Offset;\nuniform int Unit;\nout vec4 c;\nvoid main() { c = vec4(Offset, float(Unit), 1.0); }\n";
const char* const kBroken = "#version 410 core\nvoid main() { this is not glsl }\n";

struct Calls {
    int compiles = 0;
    int deletedShaders = 0;
    int deletedPrograms = 0;
    std::vector<GLenum> created;
};
Calls calls;
PFNGLCOMPILESHADERPROC realCompile;
PFNGLDELETESHADERPROC realDeleteShader;
PFNGLDELETEPROGRAMPROC realDeleteProgram;
PFNGLCREATESHADERPROC realCreateShader;

void GLAPIENTRY CountCompile(GLuint shader)
{
    ++calls.compiles;
    realCompile(shader);
}
void GLAPIENTRY CountDeleteShader(GLuint shader)
{
    ++calls.deletedShaders;
    realDeleteShader(shader);
}
void GLAPIENTRY CountDeleteProgram(GLuint program)
{
    ++calls.deletedPrograms;
    realDeleteProgram(program);
}
GLuint GLAPIENTRY RecordCreateShader(GLenum type)
{
    calls.created.push_back(type);
    return realCreateShader(type);
}

class ShaderProgramTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        calls = Calls();
        realCompile = __glewCompileShader;
        realDeleteShader = __glewDeleteShader;
        realDeleteProgram = __glewDeleteProgram;
        realCreateShader = __glewCreateShader;
        compile.reset(new Interpose<PFNGLCOMPILESHADERPROC>(__glewCompileShader, CountCompile));
        deleteShader.reset(new Interpose<PFNGLDELETESHADERPROC>(__glewDeleteShader, CountDeleteShader));
        deleteProgram.reset(new Interpose<PFNGLDELETEPROGRAMPROC>(__glewDeleteProgram, CountDeleteProgram));
        createShader.reset(new Interpose<PFNGLCREATESHADERPROC>(__glewCreateShader, RecordCreateShader));
    }
    void TearDown() override
    {
        compile.reset();
        deleteShader.reset();
        deleteProgram.reset();
        createShader.reset();
        GlTest::TearDown();
    }

    std::unique_ptr<Interpose<PFNGLCOMPILESHADERPROC>> compile;
    std::unique_ptr<Interpose<PFNGLDELETESHADERPROC>> deleteShader;
    std::unique_ptr<Interpose<PFNGLDELETEPROGRAMPROC>> deleteProgram;
    std::unique_ptr<Interpose<PFNGLCREATESHADERPROC>> createShader;
};

TEST_F(ShaderProgramTest, GoodSourcesLinkAndReleaseDeletesBothShadersAndTheProgram)
{
    ffglex::ShaderProgram program;
    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(program.CompileAndLink(kVertex, kFragment));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(program.GetProgram(), 0u);
    EXPECT_TRUE(glIsProgram(program.GetProgram()));
    EXPECT_EQ(calls.created, (std::vector<GLenum>{GL_VERTEX_SHADER, GL_FRAGMENT_SHADER}));
    program.Release();
    EXPECT_EQ(program.GetProgram(), 0u);
    EXPECT_EQ(calls.deletedShaders, 2);
    EXPECT_EQ(calls.deletedPrograms, 1);
    program.Release();
    EXPECT_EQ(calls.deletedShaders, 2) << "a second release makes no GL call";
    EXPECT_EQ(calls.deletedPrograms, 1);
}

TEST_F(ShaderProgramTest, MissingSourcesFailWithoutAnyGlCallOrLine)
{
    ffglex::ShaderProgram program;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(program.CompileAndLink(nullptr, kFragment));
    EXPECT_FALSE(program.CompileAndLink("", kFragment));
    EXPECT_FALSE(program.CompileAndLink(kVertex, nullptr));
    EXPECT_FALSE(program.CompileAndLink(kVertex, ""));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(calls.created.empty());
    EXPECT_EQ(program.GetProgram(), 0u);
}

TEST_F(ShaderProgramTest, FailingVertexStagePrintsOneLineAndNeverCompilesTheFragmentStage)
{
    ffglex::ShaderProgram program;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(program.CompileAndLink(kBroken, kFragment));
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.rfind("Vertex Shader error: ", 0), 0u) << output;
    EXPECT_EQ(output.find("Fragment Shader error: "), std::string::npos);
    EXPECT_GT(output.size(), std::string("Vertex Shader error: \n").size()) << "the driver's log follows";
    EXPECT_EQ(calls.compiles, 1);
    EXPECT_EQ(calls.created, std::vector<GLenum>{GL_VERTEX_SHADER});
    EXPECT_EQ(calls.deletedShaders, 1) << "the failed shader is released";
    EXPECT_EQ(program.GetProgram(), 0u);
}

TEST_F(ShaderProgramTest, FailingFragmentStagePrintsOneLineAndReleasesTheVertexShader)
{
    ffglex::ShaderProgram program;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(program.CompileAndLink(kVertex, kBroken));
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.rfind("Fragment Shader error: ", 0), 0u) << output;
    EXPECT_EQ(output.find("Vertex Shader error: "), std::string::npos);
    EXPECT_EQ(calls.deletedShaders, 2);
    EXPECT_EQ(calls.deletedPrograms, 0) << "no program was made";
    EXPECT_EQ(program.GetProgram(), 0u);
}

PFNGLGETSHADERIVPROC realGetShaderiv;
void GLAPIENTRY EmptyLogShaderivForwarding(GLuint shader, GLenum name, GLint* value)
{
    if (name == GL_INFO_LOG_LENGTH) {
        *value = 0;
        return;
    }
    realGetShaderiv(shader, name, value);
}

TEST_F(ShaderProgramTest, EmptyDriverLogGivesThePrefixAlone)
{
    realGetShaderiv = __glewGetShaderiv;
    Interpose<PFNGLGETSHADERIVPROC> fake(__glewGetShaderiv, EmptyLogShaderivForwarding);
    ffglex::ShaderProgram program;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(program.CompileAndLink(kBroken, kFragment));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Vertex Shader error: \n");
}

PFNGLGETPROGRAMIVPROC realGetProgramiv;
void GLAPIENTRY FailedLinkStatus(GLuint program, GLenum name, GLint* value)
{
    realGetProgramiv(program, name, value);
    if (name == GL_LINK_STATUS)
        *value = GL_FALSE;
}
void GLAPIENTRY LongProgramLog(GLuint, GLsizei size, GLsizei* length, GLchar* log)
{
    // A 2000-character log, cut to the buffer as a driver would.
    const GLsizei count = size > 0 ? std::min<GLsizei>(size - 1, 2000) : 0;
    for (GLsizei i = 0; i < count; ++i)
        log[i] = static_cast<GLchar>('a' + i % 26);
    if (size > 0)
        log[count] = '\0';
    if (length)
        *length = count;
}

TEST_F(ShaderProgramTest, LinkFailureCarriesTheFragmentPrefixAndAtMost1022CharactersOfLog)
{
    realGetProgramiv = __glewGetProgramiv;
    Interpose<PFNGLGETPROGRAMIVPROC> status(__glewGetProgramiv, FailedLinkStatus);
    Interpose<PFNGLGETPROGRAMINFOLOGPROC> log(__glewGetProgramInfoLog, LongProgramLog);
    ffglex::ShaderProgram program;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(program.CompileAndLink(kVertex, kFragment));
    const std::string output = ::testing::internal::GetCapturedStdout();
    std::string expected = "Fragment Shader error: ";
    for (int i = 0; i < 1022; ++i)
        expected += static_cast<char>('a' + i % 26);
    EXPECT_EQ(output, expected + "\n");
    EXPECT_EQ(calls.deletedShaders, 2);
    EXPECT_EQ(calls.deletedPrograms, 1);
    EXPECT_EQ(program.GetProgram(), 0u);
}

TEST_F(ShaderProgramTest, UniformsAreSetByNameAndUnknownNamesChangeNothing)
{
    ffglex::ShaderProgram program;
    ASSERT_TRUE(program.CompileAndLink(kVertex, kFragment));
    ffglex::ScopedProgramUse use(program.GetProgram());
    program.SetUniform("Offset", 0.25f, 0.5f);
    program.SetUniform("Unit", 3);
    program.SetUniform("Missing", 1.0f, 2.0f);
    program.SetUniform("Missing", 7);
    EXPECT_EQ(program.UniformLocation("Missing"), -1);
    GLfloat offset[2] = {0, 0};
    glGetUniformfv(program.GetProgram(), program.UniformLocation("Offset"), offset);
    GLint unit = 0;
    glGetUniformiv(program.GetProgram(), program.UniformLocation("Unit"), &unit);
    EXPECT_EQ(offset[0], 0.25f);
    EXPECT_EQ(offset[1], 0.5f);
    EXPECT_EQ(unit, 3);
    use.EndScope();
    program.Release();
}

TEST(ShaderDiagnostic, JoinsPrefixAndMessageUntrimmedOnOneLine)
{
    ::testing::internal::CaptureStdout();
    ffglex::ShaderProgram::PrintDiagnostic("Vertex Shader error: ", "0:1: oops\n");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Vertex Shader error: 0:1: oops\n\n");
}

}  // namespace
