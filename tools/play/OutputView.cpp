// The aspect fit in integer pixels, and the output drawn as one triangle.
#include "OutputView.h"

#include <GL/glew.h>

#include <cmath>

#include "hostsupport/HostError.h"

namespace play {

ViewRect FitRect(uint32_t imageWidth, uint32_t imageHeight, const ViewRect& area)
{
    if (imageWidth == 0 || imageHeight == 0 || area.width <= 0 || area.height <= 0)
        return {area.x, area.y, 0, 0};
    // Compared in 64 bits: which side limits the picture.
    ViewRect fit = area;
    if (static_cast<uint64_t>(area.width) * imageHeight > static_cast<uint64_t>(area.height) * imageWidth) {
        fit.width = static_cast<int>(std::lround(static_cast<double>(area.height) * imageWidth / imageHeight));
        fit.x = area.x + (area.width - fit.width) / 2;
    } else {
        fit.height = static_cast<int>(std::lround(static_cast<double>(area.width) * imageHeight / imageWidth));
        fit.y = area.y + (area.height - fit.height) / 2;
    }
    return fit;
}

namespace {

// A triangle that covers the viewport, its texture coordinates 0..1 inside it.
const char* const kVertexShader = R"(#version 410
out vec2 coordinate;
void main()
{
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1)) * 2.0;
    coordinate = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const kFragmentShader = R"(#version 410
in vec2 coordinate;
uniform sampler2D image;
out vec4 colour;
void main()
{
    colour = vec4(texture(image, coordinate).rgb, 1.0);
}
)";

GLuint Compile(GLenum stage, const char* text)
{
    const GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    return shader;
}

}  // namespace

OutputView::OutputView()
{
    const GLuint vertex = Compile(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, kFragmentShader);
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE)
        throw hostsupport::HostError("the window's output program does not link");
    GLuint name = 0;
    glGenVertexArrays(1, &name);
    vertexArray = name;
}

OutputView::~OutputView()
{
    const GLuint name = vertexArray;
    glDeleteVertexArrays(1, &name);
    glDeleteProgram(program);
}

void OutputView::Draw(uint32_t texture, const ViewRect& where, int windowWidth, int windowHeight) const
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // Only the bars around the output: the output covers the rest.
    glClearColor(0.08f, 0.08f, 0.09f, 1.0f);
    glEnable(GL_SCISSOR_TEST);
    const ViewRect bars[] = {
        {0, 0, where.x, windowHeight},
        {where.x + where.width, 0, windowWidth - where.x - where.width, windowHeight},
        {where.x, 0, where.width, where.y},
        {where.x, where.y + where.height, where.width, windowHeight - where.y - where.height},
    };
    for (const ViewRect& bar : bars)
        if (bar.width > 0 && bar.height > 0) {
            glScissor(bar.x, bar.y, bar.width, bar.height);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    glDisable(GL_SCISSOR_TEST);
    if (where.width <= 0 || where.height <= 0)
        return;
    glViewport(where.x, where.y, where.width, where.height);
    glDisable(GL_BLEND);
    glUseProgram(program);
    glBindVertexArray(vertexArray);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindVertexArray(0);
    glUseProgram(0);
    glViewport(0, 0, windowWidth, windowHeight);
}

}  // namespace play
