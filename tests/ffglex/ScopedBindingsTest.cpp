// Scopes end by binding the neutral value, never what the host had bound.
#include "GlTestContext.h"
#include "ffglex/ScopedBindings.h"

namespace {

using testsupport::GlTest;

class ScopedBindingsTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        glGenTextures(2, textures);
        glGenBuffers(2, buffers);
        glGenVertexArrays(2, arrays);
    }
    void TearDown() override
    {
        if (!context)
            return;
        glDeleteTextures(2, textures);
        glDeleteBuffers(2, buffers);
        glDeleteVertexArrays(2, arrays);
        GlTest::TearDown();
    }
    GLuint textures[2] = {};
    GLuint buffers[2] = {};
    GLuint arrays[2] = {};
};

TEST_F(ScopedBindingsTest, TextureScopeEndsUnboundWhateverTheHostHadBound)
{
    glBindTexture(GL_TEXTURE_2D, textures[0]);
    {
        ffglex::Scoped2DTextureBinding scope(textures[1]);
        EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(textures[1]));
    }
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), 0);
    // A name first bound as 2D cannot be bound as 3D: a name of its own.
    GLuint volume = 0;
    glGenTextures(1, &volume);
    glBindTexture(GL_TEXTURE_3D, volume);
    {
        ffglex::ScopedTextureBinding scope(GL_TEXTURE_3D, volume);
    }
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_3D), 0);
    glDeleteTextures(1, &volume);
}

TEST_F(ScopedBindingsTest, ActiveUnitScopeEndsOnUnitZeroNotOnThePreviousUnit)
{
    glActiveTexture(GL_TEXTURE5);
    {
        ffglex::ScopedActiveTextureUnit scope(3);
        EXPECT_EQ(Integer(GL_ACTIVE_TEXTURE), GL_TEXTURE3);
    }
    EXPECT_EQ(Integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
}

TEST_F(ScopedBindingsTest, BufferAndVertexArrayScopesEndUnbound)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[0]);
    {
        ffglex::ScopedVBOBinding vbo(buffers[1]);
        ffglex::ScopedBufferBinding pack(GL_PIXEL_PACK_BUFFER, buffers[1]);
        EXPECT_EQ(Integer(GL_ARRAY_BUFFER_BINDING), static_cast<GLint>(buffers[1]));
        EXPECT_EQ(Integer(GL_PIXEL_PACK_BUFFER_BINDING), static_cast<GLint>(buffers[1]));
    }
    EXPECT_EQ(Integer(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(Integer(GL_PIXEL_PACK_BUFFER_BINDING), 0);
    glBindVertexArray(arrays[0]);
    {
        ffglex::ScopedVertexArrayBinding scope(arrays[1]);
        EXPECT_EQ(Integer(GL_VERTEX_ARRAY_BINDING), static_cast<GLint>(arrays[1]));
    }
    EXPECT_EQ(Integer(GL_VERTEX_ARRAY_BINDING), 0);
}

TEST_F(ScopedBindingsTest, ProgramScopeEndsWithNoProgramInUse)
{
    const GLuint program = glCreateProgram();
    {
        ffglex::ScopedProgramUse scope(0);
        EXPECT_EQ(Integer(GL_CURRENT_PROGRAM), 0) << "name 0 is passed on unchanged";
    }
    EXPECT_EQ(Integer(GL_CURRENT_PROGRAM), 0);
    glDeleteProgram(program);
}

TEST_F(ScopedBindingsTest, EndingAScopeTwiceUnbindsOnce)
{
    ffglex::Scoped2DTextureBinding scope(textures[0]);
    scope.EndScope();
    glBindTexture(GL_TEXTURE_2D, textures[1]);
    scope.EndScope();
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(textures[1])) << "the ended scope stays quiet";
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace
