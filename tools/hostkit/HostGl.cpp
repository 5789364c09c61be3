// Host-side GL helpers; the host sets GL state freely, the plug-in must cope.
#include "HostGl.h"

#include <GL/glew.h>

#include <utility>

namespace hostkit {

namespace {

uint32_t CreateTexture(uint32_t width, uint32_t height, const uint8_t* pixels, uint32_t hardwareWidth = 0,
                       uint32_t hardwareHeight = 0)
{
    if (hardwareWidth == 0)
        hardwareWidth = width;
    if (hardwareHeight == 0)
        hardwareHeight = height;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    const std::vector<uint8_t> zeros(static_cast<size_t>(hardwareWidth) * hardwareHeight * 4, 0);
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(hardwareWidth), static_cast<GLsizei>(hardwareHeight),
                 0, GL_RGBA, GL_UNSIGNED_BYTE, zeros.empty() ? nullptr : zeros.data());
    if (pixels != nullptr && width != 0 && height != 0)
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA,
                        GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

void DeleteTexture(uint32_t texture)
{
    GLuint name = texture;
    if (name != 0)
        glDeleteTextures(1, &name);
}

}  // namespace

void UpdateTexture(uint32_t texture, uint32_t width, uint32_t height, const uint8_t* pixels)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA,
                    GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
}

Texture::Texture(uint32_t width, uint32_t height, const uint8_t* pixels, uint32_t hardwareWidth,
                 uint32_t hardwareHeight)
    : name(CreateTexture(width, height, pixels, hardwareWidth, hardwareHeight))
{
}

Texture::Texture(Texture&& other) noexcept : name(std::exchange(other.name, 0)) {}

Texture& Texture::operator=(Texture&& other) noexcept
{
    if (this != &other) {
        Release();
        name = std::exchange(other.name, 0);
    }
    return *this;
}

void Texture::Release()
{
    DeleteTexture(std::exchange(name, 0));
}

RenderTarget::RenderTarget(uint32_t targetWidth, uint32_t targetHeight)
    : texture(CreateTexture(targetWidth, targetHeight, nullptr)), width(targetWidth), height(targetHeight)
{
    GLuint name = 0;
    glGenFramebuffers(1, &name);
    glBindFramebuffer(GL_FRAMEBUFFER, name);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    framebuffer = name;
}

RenderTarget::RenderTarget(RenderTarget&& other) noexcept
    : texture(std::exchange(other.texture, 0)),
      framebuffer(std::exchange(other.framebuffer, 0)),
      width(std::exchange(other.width, 0)),
      height(std::exchange(other.height, 0))
{
}

RenderTarget& RenderTarget::operator=(RenderTarget&& other) noexcept
{
    if (this != &other) {
        Release();
        texture = std::exchange(other.texture, 0);
        framebuffer = std::exchange(other.framebuffer, 0);
        width = std::exchange(other.width, 0);
        height = std::exchange(other.height, 0);
    }
    return *this;
}

void RenderTarget::Release()
{
    GLuint name = std::exchange(framebuffer, 0);
    if (name != 0)
        glDeleteFramebuffers(1, &name);
    DeleteTexture(std::exchange(texture, 0));
    width = height = 0;
}

void BeginFrame(const RenderTarget& target, float r, float g, float b, float a)
{
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glViewport(0, 0, static_cast<GLsizei>(target.width), static_cast<GLsizei>(target.height));
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT);
}

std::vector<uint8_t> ReadPixels(const RenderTarget& target)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(target.width) * target.height * 4);
    GLint previousRead = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(target.width), static_cast<GLsizei>(target.height), GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousRead));
    return pixels;
}

}  // namespace hostkit
