// Compile, link and release in the order drivers and our diagnostics rely on.
#include "ShaderProgram.h"

#include <iostream>
#include <sstream>

#include "GlHeaders.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace ffglex {

namespace {

bool IsEmpty(const char* text)
{
    return text == nullptr || text[0] == '\0';
}

}  // namespace

bool ShaderProgram::CompileAndLink(const char* vertexSource, const char* fragmentSource)
{
    if (IsEmpty(vertexSource))
        return false;
    if (IsEmpty(fragmentSource) && feedbackVaryings.empty())
        return false;
    bool ok = CompileStage(GL_VERTEX_SHADER, vertexSource, "Vertex Shader error: ", vertexShader);
    if (ok && !IsEmpty(fragmentSource))
        ok = CompileStage(GL_FRAGMENT_SHADER, fragmentSource, "Fragment Shader error: ", fragmentShader);
    if (ok)
        ok = Link();
    if (!ok)
        Release();
    return ok;
}

bool ShaderProgram::CompileStage(uint32_t type, const char* source, const char* prefix, uint32_t& stage)
{
    // Stored at once so that Release deletes it whatever follows.
    stage = glCreateShader(type);
    glShaderSource(stage, 1, &source, nullptr);
    glCompileShader(stage);
    GLint status = 0;
    glGetShaderiv(stage, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE)
        return true;
    GLint length = 0;
    glGetShaderiv(stage, GL_INFO_LOG_LENGTH, &length);
    if (length < 0)
        length = 0;
    std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
    glGetShaderInfoLog(stage, length, nullptr, log.data());
    PrintDiagnostic(prefix, log.data());
    return false;
}

bool ShaderProgram::Link()
{
    program = glCreateProgram();
    glAttachShader(program, vertexShader);
    if (extraShader != 0)
        glAttachShader(program, extraShader);
    if (fragmentShader != 0)
        glAttachShader(program, fragmentShader);
    if (!feedbackVaryings.empty()) {
        std::vector<const char*> names;
        names.reserve(feedbackVaryings.size());
        for (const std::string& name : feedbackVaryings)
            names.push_back(name.c_str());
        glTransformFeedbackVaryings(program, static_cast<GLsizei>(names.size()), names.data(),
                                    GL_INTERLEAVED_ATTRIBS);
    }
    glLinkProgram(program);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status == GL_TRUE)
        return true;
    char log[1024];
    GLsizei length = 0;
    glGetProgramInfoLog(program, 1023, &length, log);
    if (length < 0)
        length = 0;
    if (length > 1022)
        length = 1022;
    log[length] = '\0';
    // Link failures carry the fragment prefix: hosts and users grep for these two only.
    PrintDiagnostic("Fragment Shader error: ", log);
    return false;
}

void ShaderProgram::Release()
{
    if (vertexShader != 0) {
        glDeleteShader(vertexShader);
        vertexShader = 0;
    }
    if (fragmentShader != 0) {
        glDeleteShader(fragmentShader);
        fragmentShader = 0;
    }
    if (extraShader != 0) {
        glDeleteShader(extraShader);
        extraShader = 0;
    }
    if (program != 0) {
        glDeleteProgram(program);
        program = 0;
    }
}

int32_t ShaderProgram::UniformLocation(const char* name) const
{
    return glGetUniformLocation(program, name);
}

void ShaderProgram::SetUniform(const char* name, int32_t value) const
{
    glUniform1i(UniformLocation(name), value);
}

void ShaderProgram::SetUniform(const char* name, float a, float b) const
{
    glUniform2f(UniformLocation(name), a, b);
}

void ShaderProgram::PrintDiagnostic(const char* prefix, const char* message)
{
    std::ostringstream joined;
    joined << (prefix ? prefix : "") << (message ? message : "");
    const std::string line = joined.str();
#if defined(_WIN32)
    OutputDebugStringA(line.c_str());
    OutputDebugStringA("\n");
#endif
    std::cout << line << '\n';
    std::cout.flush();
}

}  // namespace ffglex
