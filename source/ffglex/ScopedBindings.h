// Scope objects for one piece of GL binding state each. Ending a scope never
// restores the previous binding: it binds the neutral value (0, or unit
// GL_TEXTURE0), so that whatever ran inside leaves that binding neutral.
#pragma once

#include <cstdint>

namespace ffglex {

class ScopedTextureBinding {
public:
    ScopedTextureBinding(uint32_t target, uint32_t texture);
    virtual ~ScopedTextureBinding();
    void EndScope();

    ScopedTextureBinding(const ScopedTextureBinding&) = delete;
    ScopedTextureBinding& operator=(const ScopedTextureBinding&) = delete;

private:
    uint32_t target;
    bool bound;
};

class Scoped2DTextureBinding : public ScopedTextureBinding {
public:
    explicit Scoped2DTextureBinding(uint32_t texture);
    ~Scoped2DTextureBinding() override;
};

class ScopedBufferBinding {
public:
    ScopedBufferBinding(uint32_t target, uint32_t buffer);
    virtual ~ScopedBufferBinding();
    void EndScope();

    ScopedBufferBinding(const ScopedBufferBinding&) = delete;
    ScopedBufferBinding& operator=(const ScopedBufferBinding&) = delete;

private:
    uint32_t target;
    bool bound;
};

class ScopedVBOBinding : public ScopedBufferBinding {
public:
    explicit ScopedVBOBinding(uint32_t buffer);
};

class ScopedActiveTextureUnit {
public:
    explicit ScopedActiveTextureUnit(uint32_t unit);
    ~ScopedActiveTextureUnit();
    void EndScope();

    ScopedActiveTextureUnit(const ScopedActiveTextureUnit&) = delete;
    ScopedActiveTextureUnit& operator=(const ScopedActiveTextureUnit&) = delete;

private:
    bool bound;
};

class ScopedProgramUse {
public:
    explicit ScopedProgramUse(uint32_t program);
    ~ScopedProgramUse();
    void EndScope();

    ScopedProgramUse(const ScopedProgramUse&) = delete;
    ScopedProgramUse& operator=(const ScopedProgramUse&) = delete;

private:
    bool bound;
};

class ScopedVertexArrayBinding {
public:
    explicit ScopedVertexArrayBinding(uint32_t vertexArray);
    ~ScopedVertexArrayBinding();
    void EndScope();

    ScopedVertexArrayBinding(const ScopedVertexArrayBinding&) = delete;
    ScopedVertexArrayBinding& operator=(const ScopedVertexArrayBinding&) = delete;

private:
    bool bound;
};

}  // namespace ffglex
