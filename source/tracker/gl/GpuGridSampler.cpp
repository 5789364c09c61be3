// GL objects and the per-frame draw of the GPU sampling road.
#include "GpuGridSampler.h"

#include <algorithm>
#include <array>
#include <string>

#include "ffglex/GlHeaders.h"
#include "ffglex/ScopedBindings.h"
#include "PackStateGuard.h"

namespace {

constexpr GLint kInputUnit = 0;
constexpr GLint kIndexUnit = 1;

// The draw state that would change what lands in the surface, set neutral for
// the draw and given back as the host had it. Blending, masks, scissor,
// culling and the like belong to the host; the surface's bytes must not
// depend on them. Viewport and scissor are touched through index 0 only:
// glViewport and glDisable(GL_SCISSOR_TEST) would reach every index. Clip
// distances need no switch: the grid's vertex shader writes them all.
class GridDrawState {
public:
    GridDrawState(GridSize grid, const float hostViewport[4]) : viewport(hostViewport)
    {
        glGetBooleani_v(GL_COLOR_WRITEMASK, 0, colorMask);
        glGetIntegerv(GL_POLYGON_MODE, polygonMode);
        blend = glIsEnabledi(GL_BLEND, 0);
        scissor = glIsEnabledi(GL_SCISSOR_TEST, 0);
        for (size_t i = 0; i < kOffForTheDraw.size(); ++i)
            wasOn[i] = glIsEnabled(kOffForTheDraw[i]);
        glActiveTexture(GL_TEXTURE0 + kIndexUnit);
        glGetIntegerv(GL_TEXTURE_BINDING_BUFFER, &indexUnitBufferTexture);
        glActiveTexture(GL_TEXTURE0 + kInputUnit);

        glViewportIndexedf(0, 0.0f, 0.0f, static_cast<float>(grid.width), static_cast<float>(grid.height));
        glColorMaski(0, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        if (polygonMode[0] != GL_FILL)
            glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        if (blend)
            glDisablei(GL_BLEND, 0);
        if (scissor)
            glDisablei(GL_SCISSOR_TEST, 0);
        for (size_t i = 0; i < kOffForTheDraw.size(); ++i)
            if (wasOn[i])
                glDisable(kOffForTheDraw[i]);
    }

    ~GridDrawState()
    {
        glViewportIndexedfv(0, viewport);
        glColorMaski(0, colorMask[0], colorMask[1], colorMask[2], colorMask[3]);
        if (polygonMode[0] != GL_FILL)
            glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(polygonMode[0]));
        if (blend)
            glEnablei(GL_BLEND, 0);
        if (scissor)
            glEnablei(GL_SCISSOR_TEST, 0);
        for (size_t i = 0; i < kOffForTheDraw.size(); ++i)
            if (wasOn[i])
                glEnable(kOffForTheDraw[i]);
        glActiveTexture(GL_TEXTURE0 + kIndexUnit);
        glBindTexture(GL_TEXTURE_BUFFER, static_cast<GLuint>(indexUnitBufferTexture));
        glActiveTexture(GL_TEXTURE0 + kInputUnit);
        // The frame gives the host's own sampler back when it ends.
        glBindSampler(kInputUnit, 0);
    }

    GridDrawState(const GridDrawState&) = delete;
    GridDrawState& operator=(const GridDrawState&) = delete;

private:
    // Each would drop or alter fragments of the grid draw; the host's are given back.
    static constexpr std::array<GLenum, 4> kOffForTheDraw = {GL_CULL_FACE, GL_DITHER, GL_COLOR_LOGIC_OP,
                                                             GL_RASTERIZER_DISCARD};

    const float* viewport;
    GLboolean colorMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    GLint polygonMode[2] = {GL_FILL, GL_FILL};
    GLboolean blend = GL_FALSE;
    GLboolean scissor = GL_FALSE;
    std::array<GLboolean, kOffForTheDraw.size()> wasOn{};
    GLint indexUnitBufferTexture = 0;
};

// The vertex shader with the number of clip distances after its #version line.
std::string WithClipDistances(const char* source, int32_t clipDistances)
{
    std::string text = source;
    const size_t lineEnd = text.find('\n');
    const std::string define = "#define CLIP_DISTANCES " + std::to_string(std::max(1, clipDistances)) + "\n";
    text.insert(lineEnd == std::string::npos ? text.size() : lineEnd + 1, define);
    return text;
}

}  // namespace

bool GpuGridSampler::Create(const char* vertexSource, const char* fragmentSource, int32_t clipDistances)
{
    if (!program.CompileAndLink(WithClipDistances(vertexSource, clipDistances).c_str(), fragmentSource))
        return false;
    {
        ffglex::ScopedProgramUse use(program.GetProgram());
        program.SetUniform("InputTexture", kInputUnit);
        program.SetUniform("SourceIndices", kIndexUnit);
    }
    gridWidthLocation = program.UniformLocation("GridWidth");
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &renderbuffer);
    glGenSamplers(1, &sampler);
    glGenBuffers(1, &indexBuffer);
    glGenTextures(1, &indexTexture);
    // Nearest filtering makes a texture with only level 0 complete whatever
    // its own filters say; texelFetch ignores filtering and wrapping anyway.
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &limits.maxSurfaceSize);
    glGetIntegerv(GL_MAX_TEXTURE_BUFFER_SIZE, &limits.maxSourceIndexCount);
    surfaceSize = {0, 0};
    surfaceTrim = BufferTrim();
    indexCapacity = 0;
    uploadedIndexVersion = 0;
    return true;
}

void GpuGridSampler::Release()
{
    program.Release();
    if (framebuffer != 0)
        glDeleteFramebuffers(1, &framebuffer);
    if (renderbuffer != 0)
        glDeleteRenderbuffers(1, &renderbuffer);
    if (sampler != 0)
        glDeleteSamplers(1, &sampler);
    if (indexTexture != 0)
        glDeleteTextures(1, &indexTexture);
    if (indexBuffer != 0)
        glDeleteBuffers(1, &indexBuffer);
    framebuffer = renderbuffer = sampler = indexTexture = indexBuffer = 0;
    gridWidthLocation = -1;
    limits = {0, 0};
}

void GpuGridSampler::ResizeSurface(GridSize grid)
{
    GLint hostRenderbuffer = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &hostRenderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, grid.width, grid.height);
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(hostRenderbuffer));
    if (surfaceSize.width == 0)
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer);
    surfaceSize = grid;
}

void GpuGridSampler::UploadSourceIndices(const int32_t* sourceIndices, int32_t count)
{
    GLint hostBuffer = 0;
    glGetIntegerv(GL_TEXTURE_BUFFER_BINDING, &hostBuffer);
    glBindBuffer(GL_TEXTURE_BUFFER, indexBuffer);
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(count) * 4;
    if (count > indexCapacity) {
        glBufferData(GL_TEXTURE_BUFFER, bytes, sourceIndices, GL_DYNAMIC_DRAW);
        indexCapacity = count;
    } else {
        glBufferSubData(GL_TEXTURE_BUFFER, 0, bytes, sourceIndices);
    }
    glBindBuffer(GL_TEXTURE_BUFFER, static_cast<GLuint>(hostBuffer));
    // Expects the index unit active with indexTexture bound.
    glTexBuffer(GL_TEXTURE_BUFFER, GL_R32I, indexBuffer);
}

void GpuGridSampler::Sample(uint32_t texture, GridSize grid, const int32_t* sourceIndices, uint32_t indexVersion,
                            const ffglex::ScreenQuad& quad, const float hostViewport[4], uint8_t* gridBytes)
{
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    // The grid is drawn into the lower-left corner of a surface at least its size.
    const size_t needed = static_cast<size_t>(grid.width) * static_cast<size_t>(grid.height) * 4;
    const size_t held = static_cast<size_t>(surfaceSize.width) * static_cast<size_t>(surfaceSize.height) * 4;
    if (grid.width > surfaceSize.width || grid.height > surfaceSize.height)
        ResizeSurface({std::max(grid.width, surfaceSize.width), std::max(grid.height, surfaceSize.height)});
    else if (surfaceTrim.Tick(needed, held))
        ResizeSurface(grid);
    {
        GridDrawState state(grid, hostViewport);
        glActiveTexture(GL_TEXTURE0 + kIndexUnit);
        glBindTexture(GL_TEXTURE_BUFFER, indexTexture);
        if (indexVersion != uploadedIndexVersion) {
            UploadSourceIndices(sourceIndices, grid.width + grid.height);
            uploadedIndexVersion = indexVersion;
        }
        ffglex::ScopedProgramUse use(program.GetProgram());
        glUniform1i(gridWidthLocation, grid.width);
        ffglex::ScopedActiveTextureUnit unit(kInputUnit);
        ffglex::Scoped2DTextureBinding input(texture);
        glBindSampler(kInputUnit, sampler);
        quad.Draw();
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    PackStateGuard packState;
    glReadPixels(0, 0, grid.width, grid.height, GL_RGBA, GL_UNSIGNED_BYTE, gridBytes);
}
