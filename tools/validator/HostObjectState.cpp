// The host objects' tables and their reading: each object is bound where the
// query needs it (the texture on the active unit, the framebuffer to both
// targets, the vertex array) and the previous binding put back at once.
#include "HostObjectState.h"

#include <GL/glew.h>

#include "hostkit/GlFeatures.h"

namespace validator {

namespace {

StateRow Row(std::string label, StateQuery query, StateShown shown, GLenum pname, GLuint index = 0, int count = 1)
{
    return {std::move(label), "", query, shown, pname, index, count, -1, false};
}

std::vector<StateRow> TextureRows()
{
    using Q = StateQuery;
    using S = StateShown;
    std::vector<StateRow> rows = {
        Row("GL_TEXTURE_MIN_FILTER", Q::TextureParameter, S::Enum, GL_TEXTURE_MIN_FILTER),
        Row("GL_TEXTURE_MAG_FILTER", Q::TextureParameter, S::Enum, GL_TEXTURE_MAG_FILTER),
        Row("GL_TEXTURE_WRAP_S", Q::TextureParameter, S::Enum, GL_TEXTURE_WRAP_S),
        Row("GL_TEXTURE_WRAP_T", Q::TextureParameter, S::Enum, GL_TEXTURE_WRAP_T),
        Row("GL_TEXTURE_WRAP_R", Q::TextureParameter, S::Enum, GL_TEXTURE_WRAP_R),
        Row("GL_TEXTURE_SWIZZLE_RGBA", Q::TextureParameter, S::Enum, GL_TEXTURE_SWIZZLE_RGBA, 0, 4),
        Row("GL_TEXTURE_BASE_LEVEL", Q::TextureParameter, S::Number, GL_TEXTURE_BASE_LEVEL),
        Row("GL_TEXTURE_MAX_LEVEL", Q::TextureParameter, S::Number, GL_TEXTURE_MAX_LEVEL),
        Row("GL_TEXTURE_MIN_LOD", Q::TextureParameterFloat, S::Number, GL_TEXTURE_MIN_LOD),
        Row("GL_TEXTURE_MAX_LOD", Q::TextureParameterFloat, S::Number, GL_TEXTURE_MAX_LOD),
        Row("GL_TEXTURE_LOD_BIAS", Q::TextureParameterFloat, S::Number, GL_TEXTURE_LOD_BIAS),
        Row("GL_TEXTURE_COMPARE_MODE", Q::TextureParameter, S::Buffer, GL_TEXTURE_COMPARE_MODE),
        Row("GL_TEXTURE_COMPARE_FUNC", Q::TextureParameter, S::Enum, GL_TEXTURE_COMPARE_FUNC),
        Row("GL_TEXTURE_BORDER_COLOR", Q::TextureParameterFloat, S::Number, GL_TEXTURE_BORDER_COLOR, 0, 4),
        // New storage or mipmaps: the size and format of level 0, and whether level 1 exists.
        Row("GL_TEXTURE_WIDTH of level 0", Q::TextureLevel, S::Number, GL_TEXTURE_WIDTH, 0),
        Row("GL_TEXTURE_HEIGHT of level 0", Q::TextureLevel, S::Number, GL_TEXTURE_HEIGHT, 0),
        Row("GL_TEXTURE_INTERNAL_FORMAT of level 0", Q::TextureLevel, S::Enum, GL_TEXTURE_INTERNAL_FORMAT, 0),
        Row("GL_TEXTURE_WIDTH of level 1", Q::TextureLevel, S::Number, GL_TEXTURE_WIDTH, 1),
    };
    if (hostkit::ContextHasFeature(4, 3, "GL_ARB_stencil_texturing"))
        rows.push_back(
            Row("GL_DEPTH_STENCIL_TEXTURE_MODE", Q::TextureParameter, S::Enum, GL_DEPTH_STENCIL_TEXTURE_MODE));
    if (hostkit::ContextHasFeature(4, 6, "GL_EXT_texture_filter_anisotropic"))
        rows.push_back(
            Row("GL_TEXTURE_MAX_ANISOTROPY", Q::TextureParameterFloat, S::Number, GL_TEXTURE_MAX_ANISOTROPY_EXT));
    return rows;
}

std::vector<StateRow> FramebufferRows()
{
    std::vector<std::pair<GLenum, std::string>> attachments;
    GLint colours = 1;
    glGetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &colours);
    for (GLint i = 0; i < colours; ++i)
        attachments.emplace_back(GL_COLOR_ATTACHMENT0 + i, "GL_COLOR_ATTACHMENT" + std::to_string(i));
    attachments.emplace_back(GL_DEPTH_ATTACHMENT, "GL_DEPTH_ATTACHMENT");
    attachments.emplace_back(GL_STENCIL_ATTACHMENT, "GL_STENCIL_ATTACHMENT");
    std::vector<StateRow> rows;
    for (const auto& [attachment, name] : attachments) {
        rows.push_back(Row(name + " type", StateQuery::Attachment, StateShown::Buffer,
                           GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, attachment));
        rows.push_back(Row(name + " object", StateQuery::Attachment, StateShown::Number,
                           GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, attachment));
        rows.push_back(Row(name + " level", StateQuery::TextureAttachment, StateShown::Number,
                           GL_FRAMEBUFFER_ATTACHMENT_TEXTURE_LEVEL, attachment));
        rows.push_back(Row(name + " layer", StateQuery::TextureAttachment, StateShown::Number,
                           GL_FRAMEBUFFER_ATTACHMENT_TEXTURE_LAYER, attachment));
    }
    GLint drawBuffers = 1;
    glGetIntegerv(GL_MAX_DRAW_BUFFERS, &drawBuffers);
    for (GLint i = 0; i < drawBuffers; ++i) {
        const std::string name = "GL_DRAW_BUFFER" + std::to_string(i);
        rows.push_back(Row(name, StateQuery::Integer, StateShown::Buffer, static_cast<GLenum>(GL_DRAW_BUFFER0 + i)));
    }
    rows.push_back(Row("GL_READ_BUFFER", StateQuery::Integer, StateShown::Buffer, GL_READ_BUFFER));
    return rows;
}

std::vector<StateRow> VertexArrayRows()
{
    using Q = StateQuery;
    using S = StateShown;
    std::vector<StateRow> rows = {
        Row("element buffer", Q::Integer, S::Number, GL_ELEMENT_ARRAY_BUFFER_BINDING),
    };
    GLint attributes = 16;
    glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &attributes);
    for (GLuint i = 0; i < static_cast<GLuint>(attributes); ++i) {
        const std::string name = "attribute " + std::to_string(i);
        rows.push_back(Row(name, Q::Attribute, S::Switch, GL_VERTEX_ATTRIB_ARRAY_ENABLED, i));
        rows.push_back(Row(name + " buffer", Q::Attribute, S::Number, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, i));
        rows.push_back(Row(name + " size", Q::Attribute, S::Number, GL_VERTEX_ATTRIB_ARRAY_SIZE, i));
        rows.push_back(Row(name + " stride", Q::Attribute, S::Number, GL_VERTEX_ATTRIB_ARRAY_STRIDE, i));
        rows.push_back(Row(name + " type", Q::Attribute, S::Enum, GL_VERTEX_ATTRIB_ARRAY_TYPE, i));
        rows.push_back(Row(name + " normalized", Q::Attribute, S::Boolean, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, i));
        rows.push_back(Row(name + " integer", Q::Attribute, S::Boolean, GL_VERTEX_ATTRIB_ARRAY_INTEGER, i));
        rows.push_back(Row(name + " divisor", Q::Attribute, S::Number, GL_VERTEX_ATTRIB_ARRAY_DIVISOR, i));
        rows.push_back(Row(name + " offset", Q::AttributePointer, S::Number, 0, i));
    }
    return rows;
}

bool CompatibilityProfile()
{
    GLint mask = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &mask);
    return (mask & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT) != 0;
}

// Binds name for the reading and puts the previous binding back after it.
class TextureBound {
public:
    explicit TextureBound(GLuint name)
    {
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
        glBindTexture(GL_TEXTURE_2D, name);
    }
    ~TextureBound() { glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous)); }
    TextureBound(const TextureBound&) = delete;
    TextureBound& operator=(const TextureBound&) = delete;

private:
    GLint previous = 0;
};

class FramebufferBound {
public:
    explicit FramebufferBound(GLuint name)
    {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
        glBindFramebuffer(GL_FRAMEBUFFER, name);
    }
    ~FramebufferBound()
    {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
    }
    FramebufferBound(const FramebufferBound&) = delete;
    FramebufferBound& operator=(const FramebufferBound&) = delete;

private:
    GLint draw = 0, read = 0;
};

class VertexArrayBound {
public:
    explicit VertexArrayBound(GLuint name)
    {
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &previous);
        if (static_cast<GLuint>(previous) != name)
            glBindVertexArray(name);
    }
    ~VertexArrayBound() { glBindVertexArray(static_cast<GLuint>(previous)); }
    VertexArrayBound(const VertexArrayBound&) = delete;
    VertexArrayBound& operator=(const VertexArrayBound&) = delete;

private:
    GLint previous = 0;
};

std::string Deleted(const char* what, uint32_t name)
{
    return std::string("deleted the host's ") + what + " " + std::to_string(name);
}

}  // namespace

HostObjectState::HostObjectState()
{
    vertexArrayZeroIsObject = CompatibilityProfile();
    GLuint probeTexture = 0, probeFramebuffer = 0, probeVertexArray = 0;
    glGenTextures(1, &probeTexture);
    glGenFramebuffers(1, &probeFramebuffer);
    glGenVertexArrays(1, &probeVertexArray);
    {
        const TextureBound bound(probeTexture);
        texture = StateTable(TextureRows());
    }
    {
        const FramebufferBound bound(probeFramebuffer);
        framebuffer = StateTable(FramebufferRows());
    }
    {
        const VertexArrayBound bound(probeVertexArray);
        vertexArray = StateTable(VertexArrayRows());
    }
    glDeleteVertexArrays(1, &probeVertexArray);
    glDeleteFramebuffers(1, &probeFramebuffer);
    glDeleteTextures(1, &probeTexture);
}

HostObjectState::Reading HostObjectState::Read(const HostObjects& objects) const
{
    Reading reading;
    reading.objects = objects;
    if (objects.texture != 0 && glIsTexture(objects.texture)) {
        const TextureBound bound(objects.texture);
        reading.texture = texture.Read();
    }
    if (objects.framebuffer != 0 && glIsFramebuffer(objects.framebuffer)) {
        const FramebufferBound bound(objects.framebuffer);
        reading.framebuffer = framebuffer.Read();
    }
    GLint bound = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
    reading.vertexArray = static_cast<uint32_t>(bound);
    reading.hasVertexArray = bound != 0 || vertexArrayZeroIsObject;
    if (reading.hasVertexArray)
        reading.attributes = vertexArray.Read();
    return reading;
}

std::vector<std::string> HostObjectState::Changes(const Reading& before, const Reading& after) const
{
    std::vector<std::string> changes;
    const auto compare = [&](const char* what, uint32_t name, const StateTable& table, const StateValues& was,
                             const StateValues& is) {
        if (was.empty())
            return;
        if (is.empty()) {
            changes.push_back(Deleted(what, name));
            return;
        }
        const std::vector<std::string> rows = table.Changes(was, is, nullptr, false);
        if (!rows.empty())
            changes.push_back(std::string("changed the host's ") + what + " " + std::to_string(name) + ": " +
                              JoinedChanges(rows));
    };
    compare("input texture", before.objects.texture, texture, before.texture, after.texture);
    compare("framebuffer", before.objects.framebuffer, framebuffer, before.framebuffer, after.framebuffer);
    if (before.hasVertexArray) {
        StateValues attributes;
        if (after.vertexArray == before.vertexArray) {
            attributes = after.attributes;
        } else if (before.vertexArray == 0 || glIsVertexArray(before.vertexArray)) {
            const VertexArrayBound bound(before.vertexArray);
            attributes = vertexArray.Read();
        }
        compare("vertex array", before.vertexArray, vertexArray, before.attributes, attributes);
    }
    return changes;
}

}  // namespace validator
