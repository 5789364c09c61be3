// Reading a state table in one pass, and its rows' differences as phrases.
#include "GlStateTable.h"

#include <GL/glew.h>

#include <cmath>

#include "GlEnumNames.h"
#include "ValidationHarness.h"

namespace validator {

namespace {

// The first count values a query wrote, as numbers.
template <typename T> void Store(const T* read, int count, double* values)
{
    for (int i = 0; i < count; ++i)
        values[i] = static_cast<double>(read[i]);
}

// State of the context itself; false for a query of an object's.
bool ReadContextRow(const StateRow& row, double* values)
{
    GLint integers[4] = {0, 0, 0, 0};
    GLfloat floats[4] = {0, 0, 0, 0};
    GLboolean booleans[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    switch (row.query) {
    case StateQuery::Enabled:
        integers[0] = glIsEnabled(row.pname);
        break;
    case StateQuery::EnabledAt:
        integers[0] = glIsEnabledi(row.pname, row.index);
        break;
    case StateQuery::Integer:
        glGetIntegerv(row.pname, integers);
        break;
    case StateQuery::IntegerAt:
        glGetIntegeri_v(row.pname, row.index, integers);
        break;
    case StateQuery::Float:
        glGetFloatv(row.pname, floats);
        Store(floats, row.count, values);
        return true;
    case StateQuery::FloatAt:
        glGetFloati_v(row.pname, row.index, floats);
        Store(floats, row.count, values);
        return true;
    case StateQuery::Boolean:
        glGetBooleanv(row.pname, booleans);
        Store(booleans, row.count, values);
        return true;
    case StateQuery::BooleanAt:
        glGetBooleani_v(row.pname, row.index, booleans);
        Store(booleans, row.count, values);
        return true;
    case StateQuery::ActiveQuery:
        glGetQueryiv(row.pname, GL_CURRENT_QUERY, integers);
        break;
    case StateQuery::CurrentAttribute:
        glGetVertexAttribfv(row.index, GL_CURRENT_VERTEX_ATTRIB, floats);
        Store(floats, row.count, values);
        return true;
    default:
        return false;
    }
    Store(integers, row.count, values);
    return true;
}

// State of a host object: the bound texture, framebuffer or vertex array.
void ReadObjectRow(const StateRow& row, double* values)
{
    GLint integers[4] = {0, 0, 0, 0};
    GLfloat floats[4] = {0, 0, 0, 0};
    void* pointer = nullptr;
    switch (row.query) {
    case StateQuery::TextureParameterFloat:
        glGetTexParameterfv(GL_TEXTURE_2D, row.pname, floats);
        return Store(floats, row.count, values);
    case StateQuery::AttributePointer:
        glGetVertexAttribPointerv(row.index, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
        values[0] = static_cast<double>(reinterpret_cast<uintptr_t>(pointer));
        return;
    case StateQuery::TextureParameter:
        glGetTexParameteriv(GL_TEXTURE_2D, row.pname, integers);
        break;
    case StateQuery::TextureLevel:
        glGetTexLevelParameteriv(GL_TEXTURE_2D, static_cast<GLint>(row.index), row.pname, integers);
        break;
    case StateQuery::Attachment:
        glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, row.index, row.pname, integers);
        break;
    case StateQuery::TextureAttachment: {
        GLint type = GL_NONE;
        glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, row.index, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE,
                                              &type);
        if (type == GL_TEXTURE)
            glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, row.index, row.pname, integers);
        break;
    }
    case StateQuery::Attribute:
        glGetVertexAttribiv(row.index, row.pname, integers);
        break;
    default:
        break;
    }
    Store(integers, row.count, values);
}

void ReadRow(const StateRow& row, double* values)
{
    if (!ReadContextRow(row, values))
        ReadObjectRow(row, values);
}

// Whole numbers in full (a row length, a primitive restart index), the rest as %g.
std::string NumberText(double value)
{
    // Only where the conversion is defined: a plug-in may leave NaN or 1e30.
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return std::to_string(static_cast<int64_t>(value));
    return FloatText(static_cast<float>(value));
}

std::string ValueText(const StateRow& row, const double* values)
{
    std::string text;
    for (int i = 0; i < row.count; ++i) {
        if (i > 0)
            text += ",";
        const double value = values[i];
        // Enums and masks come from integer queries, within 32 bits.
        const uint32_t bits = std::fabs(value) < 1e15 ? static_cast<uint32_t>(static_cast<int64_t>(value)) : 0;
        switch (row.shown) {
        case StateShown::Switch:
        case StateShown::Boolean:
            text += value != 0 ? "GL_TRUE" : "GL_FALSE";
            break;
        case StateShown::Enum:
            text += GlEnumName(bits);
            break;
        case StateShown::Buffer:
            text += bits == 0 ? "GL_NONE" : GlEnumName(bits);
            break;
        case StateShown::Mask:
            text += Hex(bits);
            break;
        case StateShown::Name:
        case StateShown::Number:
            text += NumberText(value);
            break;
        }
    }
    return text;
}

std::string Phrase(const StateRow& row, const double* before, const double* after, bool left)
{
    if (row.shown == StateShown::Switch) {
        const char* now = after[0] != 0 ? "enabled" : "disabled";
        const char* was = before[0] != 0 ? "enabled" : "disabled";
        return (left ? "left " : "") + row.label + " " + now + " (the host had it " + was + ")";
    }
    if (row.shown == StateShown::Name)
        return (left ? "left " + row.label + " " : row.label + " to ") + NumberText(after[0]) + row.where +
               " (the host had " + NumberText(before[0]) + ")";
    return (left ? "left " + row.label + " at " : row.label + " to ") + ValueText(row, after) + " (the host had " +
           ValueText(row, before) + ")";
}

bool Same(const double* a, const double* b, int count)
{
    for (int i = 0; i < count; ++i)
        if (a[i] != b[i] && !(std::isnan(a[i]) && std::isnan(b[i])))
            return false;
    return true;
}

}  // namespace

StateTable::StateTable(std::vector<StateRow> candidates)
{
    GLint active = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    while (glGetError() != GL_NO_ERROR) {
    }
    double scratch[4];
    for (StateRow& row : candidates) {
        if (row.unit >= 0)
            glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + row.unit));
        ReadRow(row, scratch);
        if (glGetError() != GL_NO_ERROR)
            continue;
        long first = -1;
        for (size_t i = 0; i < rows.size() && row.index > 0 && row.shown != StateShown::Name; ++i)
            if (rows[i].query == row.query && rows[i].pname == row.pname && rows[i].index == 0)
                first = static_cast<long>(i);
        firstIndex.push_back(first);
        offsets.push_back(valueCount);
        valueCount += static_cast<size_t>(row.count);
        rows.push_back(std::move(row));
    }
    glActiveTexture(static_cast<GLenum>(active));
}

StateValues StateTable::Read() const
{
    StateValues values;
    Read(values);
    return values;
}

void StateTable::Read(StateValues& values) const
{
    values.resize(valueCount);
    GLint active = GL_TEXTURE0;
    int unit = -1;
    for (size_t i = 0; i < rows.size(); ++i) {
        const StateRow& row = rows[i];
        if (row.unit >= 0 && row.unit != unit) {
            if (unit < 0)
                glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
            unit = row.unit;
            glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
        }
        ReadRow(row, &values[offsets[i]]);
    }
    if (unit >= 0)
        glActiveTexture(static_cast<GLenum>(active));
}

std::vector<std::string> StateTable::Changes(const StateValues& before, const StateValues& after,
                                             const StateValues* initial, bool left) const
{
    std::vector<std::string> changes;
    if (before == after)
        return changes;
    for (size_t i = 0; i < rows.size(); ++i) {
        const StateRow& row = rows[i];
        const double* was = &before[offsets[i]];
        const double* is = &after[offsets[i]];
        if (Same(was, is, row.count))
            continue;
        if (initial != nullptr && !row.kept && Same(&(*initial)[offsets[i]], is, row.count))
            continue;
        if (firstIndex[i] >= 0) {
            const size_t first = offsets[static_cast<size_t>(firstIndex[i])];
            if (Same(&before[first], was, row.count) && Same(&after[first], is, row.count))
                continue;
        }
        changes.push_back(Phrase(row, was, is, left));
    }
    return changes;
}

std::string JoinedChanges(const std::vector<std::string>& changes)
{
    std::string text;
    const size_t shown = changes.size() > 3 ? 2 : changes.size();
    for (size_t i = 0; i < shown; ++i)
        text += (i == 0 ? "" : i + 1 == shown && changes.size() == shown ? " and " : ", ") + changes[i];
    if (shown < changes.size())
        text += " and " + std::to_string(changes.size() - shown) + " more";
    return text;
}

}  // namespace validator
