// The quad's corners come from gl_VertexID, so no vertex buffer is needed.
#include "PassThrough.h"

#include <GL/glew.h>

#include <string>

#include "HostError.h"

namespace hostsupport {

namespace {

const char* const kVertexSource = R"(#version 410 core
out vec2 uv;
void main()
{
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    uv = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const kFragmentSource = R"(#version 410 core
uniform sampler2D InputTexture;
in vec2 uv;
out vec4 fragColor;
void main()
{
    fragColor = texture(InputTexture, uv);
}
)";

GLuint Compile(GLenum kind, const char* source)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        glDeleteShader(shader);
        throw HostError(std::string("the host's pass-through shader does not compile: ") + log);
    }
    return shader;
}

}  // namespace

PassThrough::PassThrough()
{
    const GLuint vertex = Compile(GL_VERTEX_SHADER, kVertexSource);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, kFragmentSource);
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        glDeleteProgram(program);
        throw HostError("the host's pass-through program does not link");
    }
    samplerLocation = glGetUniformLocation(program, "InputTexture");
    GLuint names = 0;
    glGenVertexArrays(1, &names);
    vertexArray = names;
}

PassThrough::~PassThrough()
{
    GLuint names = vertexArray;
    glDeleteVertexArrays(1, &names);
    glDeleteProgram(program);
}

void PassThrough::Draw(uint32_t texture) const
{
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(samplerLocation, 0);
    glBindVertexArray(vertexArray);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glUseProgram(0);
}

}  // namespace hostsupport
