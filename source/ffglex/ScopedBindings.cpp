// Each scope sets its flag before binding, so an ended scope never unbinds twice.
#include "ScopedBindings.h"

#include "GlHeaders.h"

namespace ffglex {

ScopedTextureBinding::ScopedTextureBinding(uint32_t target_, uint32_t texture) : target(target_), bound(true)
{
    glBindTexture(target, texture);
}

ScopedTextureBinding::~ScopedTextureBinding()
{
    EndScope();
}

void ScopedTextureBinding::EndScope()
{
    if (!bound)
        return;
    glBindTexture(target, 0);
    bound = false;
}

Scoped2DTextureBinding::Scoped2DTextureBinding(uint32_t texture) : ScopedTextureBinding(GL_TEXTURE_2D, texture) {}

Scoped2DTextureBinding::~Scoped2DTextureBinding() = default;

ScopedBufferBinding::ScopedBufferBinding(uint32_t target_, uint32_t buffer) : target(target_), bound(true)
{
    glBindBuffer(target, buffer);
}

ScopedBufferBinding::~ScopedBufferBinding()
{
    EndScope();
}

void ScopedBufferBinding::EndScope()
{
    if (!bound)
        return;
    glBindBuffer(target, 0);
    bound = false;
}

ScopedVBOBinding::ScopedVBOBinding(uint32_t buffer) : ScopedBufferBinding(GL_ARRAY_BUFFER, buffer) {}

ScopedActiveTextureUnit::ScopedActiveTextureUnit(uint32_t unit) : bound(true)
{
    glActiveTexture(GL_TEXTURE0 + unit);
}

ScopedActiveTextureUnit::~ScopedActiveTextureUnit()
{
    EndScope();
}

void ScopedActiveTextureUnit::EndScope()
{
    if (!bound)
        return;
    glActiveTexture(GL_TEXTURE0);
    bound = false;
}

ScopedProgramUse::ScopedProgramUse(uint32_t program) : bound(true)
{
    glUseProgram(program);
}

ScopedProgramUse::~ScopedProgramUse()
{
    EndScope();
}

void ScopedProgramUse::EndScope()
{
    if (!bound)
        return;
    glUseProgram(0);
    bound = false;
}

ScopedVertexArrayBinding::ScopedVertexArrayBinding(uint32_t vertexArray) : bound(true)
{
    glBindVertexArray(vertexArray);
}

ScopedVertexArrayBinding::~ScopedVertexArrayBinding()
{
    EndScope();
}

void ScopedVertexArrayBinding::EndScope()
{
    if (!bound)
        return;
    glBindVertexArray(0);
    bound = false;
}

}  // namespace ffglex
