// The screen quad's orientation, plain and flipped, and its release.
#include <vector>

#include "GlTestContext.h"
#include "GlewInterpose.h"
#include "ffglex/ScopedBindings.h"
#include "ffglex/ScreenQuad.h"
#include "ffglex/ShaderProgram.h"
#include "hostkit/HostGl.h"

namespace {

using testsupport::GlTest;
using testsupport::Interpose;

const char* const kVertex =
    "#version 410 core\nlayout(location = 0) in vec4 p;\nlayout(location = 1) in vec2 t;\nout vec2 uv;\n"
    "void main() { gl_Position = p; uv = t; }\n";
const char* const kFragment =
    "#version 410 core\nin vec2 uv;\nout vec4 c;\nvoid main() { c = vec4(uv, 0.0, 1.0); }\n";

class ScreenQuadTest : public GlTest {
protected:
    // Draws the quad with its texture coordinate as colour and reads it back.
    std::vector<uint8_t> DrawCoordinates(const ffglex::ScreenQuad& quad)
    {
        ffglex::ShaderProgram program;
        EXPECT_TRUE(program.CompileAndLink(kVertex, kFragment));
        hostkit::RenderTarget target(kSize, kSize);
        hostkit::BeginFrame(target, 0, 0, 0, 0);
        {
            ffglex::ScopedProgramUse use(program.GetProgram());
            quad.Draw();
        }
        std::vector<uint8_t> pixels = hostkit::ReadPixels(target);
        program.Release();
        return pixels;
    }
    static const uint8_t* Pixel(const std::vector<uint8_t>& pixels, uint32_t x, uint32_t y)
    {
        return &pixels[(y * kSize + x) * 4];
    }

    static constexpr uint32_t kSize = 64;
};

TEST_F(ScreenQuadTest, PlainQuadPutsVOneAtTheTopAndFlippedAtTheBottom)
{
    for (bool flipped : {false, true}) {
        SCOPED_TRACE(flipped);
        ffglex::ScreenQuad quad;
        ASSERT_TRUE(quad.Create(flipped));
        EXPECT_EQ(Integer(GL_VERTEX_ARRAY_BINDING), 0);
        EXPECT_EQ(Integer(GL_ARRAY_BUFFER_BINDING), 0);
        const std::vector<uint8_t> pixels = DrawCoordinates(quad);
        const uint8_t* upperLeft = Pixel(pixels, 0, kSize - 1);
        const uint8_t* lowerRight = Pixel(pixels, kSize - 1, 0);
        EXPECT_LT(upperLeft[0], 8);
        EXPECT_GT(lowerRight[0], 247);
        if (!flipped) {
            EXPECT_GT(upperLeft[1], 247);
            EXPECT_LT(lowerRight[1], 8);
        } else {
            EXPECT_LT(upperLeft[1], 8);
            EXPECT_GT(lowerRight[1], 247);
        }
        EXPECT_EQ(Integer(GL_VERTEX_ARRAY_BINDING), 0) << "drawing ends with vertex array 0";
        quad.Release();
    }
}

int bindVertexArrayCalls = 0;
PFNGLBINDVERTEXARRAYPROC realBindVertexArray;
void GLAPIENTRY CountBindVertexArray(GLuint array)
{
    ++bindVertexArrayCalls;
    realBindVertexArray(array);
}

TEST_F(ScreenQuadTest, DrawAndReleaseAfterReleaseAreHarmless)
{
    ffglex::ScreenQuad quad;
    ASSERT_TRUE(quad.Create(false));
    const GLuint vao = quad.VertexArray();
    const GLuint vbo = quad.Buffer();
    quad.Release();
    EXPECT_FALSE(glIsVertexArray(vao));
    EXPECT_FALSE(glIsBuffer(vbo));
    EXPECT_EQ(quad.VertexArray(), 0u);
    EXPECT_EQ(quad.Buffer(), 0u);
    realBindVertexArray = __glewBindVertexArray;
    Interpose<PFNGLBINDVERTEXARRAYPROC> count(__glewBindVertexArray, CountBindVertexArray);
    quad.Draw();
    quad.Release();
    EXPECT_EQ(bindVertexArrayCalls, 0) << "a released quad draws nothing";
    EXPECT_EQ(quad.VertexArray(), 0u);
}

}  // namespace
