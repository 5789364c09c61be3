// The validator's own GL state, at GL's initial values.
#include "ValidatorGlState.h"

#include <GL/glew.h>

namespace validator {

namespace {

struct PixelStore {
    GLenum pname;
    GLint value;
};

// Both directions: the host's uploads unpack, its read-backs pack.
constexpr PixelStore kPixelStore[] = {
    {GL_UNPACK_SWAP_BYTES, 0}, {GL_UNPACK_LSB_FIRST, 0}, {GL_UNPACK_IMAGE_HEIGHT, 0}, {GL_UNPACK_SKIP_IMAGES, 0},
    {GL_UNPACK_ROW_LENGTH, 0}, {GL_UNPACK_SKIP_ROWS, 0}, {GL_UNPACK_SKIP_PIXELS, 0},  {GL_UNPACK_ALIGNMENT, 4},
    {GL_PACK_SWAP_BYTES, 0},   {GL_PACK_LSB_FIRST, 0},   {GL_PACK_IMAGE_HEIGHT, 0},   {GL_PACK_SKIP_IMAGES, 0},
    {GL_PACK_ROW_LENGTH, 0},   {GL_PACK_SKIP_ROWS, 0},   {GL_PACK_SKIP_PIXELS, 0},    {GL_PACK_ALIGNMENT, 4},
};

}  // namespace

void UseValidatorGlState()
{
    for (const PixelStore& store : kPixelStore)
        glPixelStorei(store.pname, store.value);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    glUseProgram(0);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindSampler(0, 0);
    // glDisable and glColorMask reach every viewport index and draw buffer.
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_RASTERIZER_DISCARD);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

}  // namespace validator
