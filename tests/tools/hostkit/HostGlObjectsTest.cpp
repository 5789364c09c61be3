// The host kit's owners of GL names: a texture and a render target hold their
// names until released, moved away or destroyed, and then delete them once.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <utility>

#include "GlTestContext.h"
#include "hostkit/HostGl.h"

namespace {

using HostGlObjects = testsupport::GlTest;

TEST_F(HostGlObjects, TextureIsDeletedOnceByReleaseOrDestructorAndMovesItsName)
{
    const uint8_t red[4] = {255, 0, 0, 255};
    hostkit::Texture texture(1, 1, red);
    const GLuint name = texture.Name();
    ASSERT_TRUE(glIsTexture(name));
    hostkit::Texture moved(std::move(texture));
    EXPECT_EQ(texture.Name(), 0u);
    EXPECT_EQ(moved.Name(), name);
    moved.Release();
    EXPECT_EQ(moved.Name(), 0u);
    EXPECT_FALSE(glIsTexture(name));
    GLuint scoped = 0;
    {
        const hostkit::Texture inner(2, 2, nullptr, 4, 4);
        scoped = inner.Name();
        EXPECT_TRUE(glIsTexture(scoped));
    }
    EXPECT_FALSE(glIsTexture(scoped));
}

TEST_F(HostGlObjects, RenderTargetMovedOntoAnotherDeletesTheOthersNames)
{
    hostkit::RenderTarget target(8, 4);
    const GLuint framebuffer = target.framebuffer, texture = target.texture;
    target = hostkit::RenderTarget(2, 2);
    EXPECT_FALSE(glIsFramebuffer(framebuffer));
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_EQ(hostkit::ReadPixels(target).size(), 16u);
    target.Release();
    EXPECT_EQ(target.framebuffer, 0u);
    EXPECT_EQ(target.width, 0u);
}

}  // namespace
