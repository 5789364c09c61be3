// The rows of the context state table, grouped as the GL 4.1 core profile's
// state tables group them: vertex array data, transformation, colouring,
// rasterization, multisampling, textures, pixel operations, framebuffer
// control, pixels, programs, tessellation, transform feedback, uniform
// buffers, hints, buffer bindings and queries; then the state of later
// versions, each where the context has it. Object state (a texture's
// parameters, a vertex array's attributes) is the host objects' check.
#include "ContextStateTable.h"

#include <GL/glew.h>

#include "hostkit/GlFeatures.h"

namespace validator {

namespace {

// "GL_DEPTH_TEST" from GL_DEPTH_TEST.
#define ZAO_STATE(name) name, #name

GLuint Limit(GLenum pname, GLint fallback)
{
    GLint value = 0;
    glGetIntegerv(pname, &value);
    return static_cast<GLuint>(value > 0 ? value : fallback);
}

// " of draw buffer 2", " index 1"; nothing for index 0.
std::string Of(const char* what, GLuint index)
{
    return index == 0 ? "" : std::string(what) + " " + std::to_string(index);
}

class Rows {
public:
    void Switch(GLenum pname, const char* name, bool kept = false)
    {
        Add({name, "", StateQuery::Enabled, StateShown::Switch, pname, 0, 1, -1, kept});
    }
    // Index 0 reads as the plain state, which it is.
    void SwitchAt(GLenum pname, const char* name, const char* what, GLuint index)
    {
        Add({name + Of(what, index), "", StateQuery::EnabledAt, StateShown::Switch, pname, index, 1, -1, false});
    }
    void Value(StateQuery query, GLenum pname, const char* name, StateShown shown, int count = 1, bool kept = false)
    {
        Add({name, "", query, shown, pname, 0, count, -1, kept});
    }
    void ValueAt(StateQuery query, GLenum pname, const char* name, const char* what, GLuint index, StateShown shown,
                 int count, bool kept = false)
    {
        Add({name + Of(what, index), "", query, shown, pname, index, count, -1, kept});
    }
    // "left buffer 4 bound to GL_ARRAY_BUFFER".
    void Binding(GLenum pname, const char* object, const std::string& where, bool kept = false)
    {
        Add({object, where, StateQuery::Integer, StateShown::Name, pname, 0, 1, -1, kept});
    }
    void BindingAt(GLenum pname, const char* object, const std::string& where, GLuint index)
    {
        Add({object, where, StateQuery::IntegerAt, StateShown::Name, pname, index, 1, -1, false});
    }
    void UnitBinding(GLenum pname, const char* object, const std::string& where, int unit)
    {
        Add({object, where, StateQuery::Integer, StateShown::Name, pname, 0, 1, unit, false});
    }
    void Query(GLenum target, const char* name)
    {
        Add({"query", std::string(" active for ") + name, StateQuery::ActiveQuery, StateShown::Name, target, 0, 1, -1,
             false});
    }
    void Add(StateRow row) { rows.push_back(std::move(row)); }

    std::vector<StateRow> rows;
};

void VertexArrayData(Rows& r)
{
    r.Binding(GL_VERTEX_ARRAY_BINDING, "vertex array", " bound");
    r.Binding(GL_ARRAY_BUFFER_BINDING, "buffer", " bound to GL_ARRAY_BUFFER");
    r.Binding(GL_ELEMENT_ARRAY_BUFFER_BINDING, "buffer", " bound to GL_ELEMENT_ARRAY_BUFFER");
    r.Binding(GL_DRAW_INDIRECT_BUFFER_BINDING, "buffer", " bound to GL_DRAW_INDIRECT_BUFFER");
    r.Switch(ZAO_STATE(GL_PRIMITIVE_RESTART));
    r.Value(StateQuery::Integer, ZAO_STATE(GL_PRIMITIVE_RESTART_INDEX), StateShown::Number);
    const GLuint attributes = Limit(GL_MAX_VERTEX_ATTRIBS, 16);
    for (GLuint i = 0; i < attributes; ++i)
        r.Add({"GL_CURRENT_VERTEX_ATTRIB of attribute " + std::to_string(i), "", StateQuery::CurrentAttribute,
               StateShown::Number, 0, i, 4, -1, false});
}

void Transformation(Rows& r)
{
    const GLuint viewports = Limit(GL_MAX_VIEWPORTS, 1);
    for (GLuint i = 0; i < viewports; ++i) {
        // The host sets the viewport for each frame; no initial one is neutral.
        r.ValueAt(StateQuery::FloatAt, ZAO_STATE(GL_VIEWPORT), " index", i, StateShown::Number, 4, true);
        r.ValueAt(StateQuery::FloatAt, ZAO_STATE(GL_DEPTH_RANGE), " index", i, StateShown::Number, 2);
    }
    const GLuint clipDistances = Limit(GL_MAX_CLIP_DISTANCES, 8);
    for (GLuint i = 0; i < clipDistances; ++i) {
        const std::string name = "GL_CLIP_DISTANCE" + std::to_string(i);
        r.Add({name, "", StateQuery::Enabled, StateShown::Switch, GL_CLIP_DISTANCE0 + i, 0, 1, -1, false});
    }
    r.Switch(ZAO_STATE(GL_DEPTH_CLAMP));
    r.Binding(GL_TRANSFORM_FEEDBACK_BINDING, "transform feedback", " bound");
}

void ColouringAndRasterization(Rows& r)
{
    r.Value(StateQuery::Integer, ZAO_STATE(GL_CLAMP_READ_COLOR), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_PROVOKING_VERTEX), StateShown::Enum);
    r.Switch(ZAO_STATE(GL_RASTERIZER_DISCARD));
    r.Value(StateQuery::Float, ZAO_STATE(GL_POINT_SIZE), StateShown::Number);
    r.Value(StateQuery::Float, ZAO_STATE(GL_POINT_FADE_THRESHOLD_SIZE), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_POINT_SPRITE_COORD_ORIGIN), StateShown::Enum);
    r.Switch(ZAO_STATE(GL_PROGRAM_POINT_SIZE));
    r.Value(StateQuery::Float, ZAO_STATE(GL_LINE_WIDTH), StateShown::Number);
    r.Switch(ZAO_STATE(GL_LINE_SMOOTH));
    r.Switch(ZAO_STATE(GL_CULL_FACE));
    r.Value(StateQuery::Integer, ZAO_STATE(GL_CULL_FACE_MODE), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_FRONT_FACE), StateShown::Enum);
    r.Switch(ZAO_STATE(GL_POLYGON_SMOOTH));
    // Front and back, where a context still answers both.
    r.Value(StateQuery::Integer, ZAO_STATE(GL_POLYGON_MODE), StateShown::Enum, 2);
    r.Value(StateQuery::Float, ZAO_STATE(GL_POLYGON_OFFSET_FACTOR), StateShown::Number);
    r.Value(StateQuery::Float, ZAO_STATE(GL_POLYGON_OFFSET_UNITS), StateShown::Number);
    r.Switch(ZAO_STATE(GL_POLYGON_OFFSET_POINT));
    r.Switch(ZAO_STATE(GL_POLYGON_OFFSET_LINE));
    r.Switch(ZAO_STATE(GL_POLYGON_OFFSET_FILL));
}

void Multisampling(Rows& r)
{
    r.Switch(ZAO_STATE(GL_MULTISAMPLE));
    r.Switch(ZAO_STATE(GL_SAMPLE_ALPHA_TO_COVERAGE));
    r.Switch(ZAO_STATE(GL_SAMPLE_ALPHA_TO_ONE));
    r.Switch(ZAO_STATE(GL_SAMPLE_COVERAGE));
    r.Value(StateQuery::Float, ZAO_STATE(GL_SAMPLE_COVERAGE_VALUE), StateShown::Number);
    r.Value(StateQuery::Boolean, ZAO_STATE(GL_SAMPLE_COVERAGE_INVERT), StateShown::Boolean);
    r.Switch(ZAO_STATE(GL_SAMPLE_SHADING));
    r.Value(StateQuery::Float, ZAO_STATE(GL_MIN_SAMPLE_SHADING_VALUE), StateShown::Number);
    r.Switch(ZAO_STATE(GL_SAMPLE_MASK));
    r.ValueAt(StateQuery::IntegerAt, ZAO_STATE(GL_SAMPLE_MASK_VALUE), " of word", 0, StateShown::Mask, 1);
}

void Textures(Rows& r)
{
    struct Target {
        GLenum binding;
        const char* name;
    };
    static const Target kTargets[] = {
        {GL_TEXTURE_BINDING_1D, "GL_TEXTURE_1D"},
        {GL_TEXTURE_BINDING_2D, "GL_TEXTURE_2D"},
        {GL_TEXTURE_BINDING_3D, "GL_TEXTURE_3D"},
        {GL_TEXTURE_BINDING_1D_ARRAY, "GL_TEXTURE_1D_ARRAY"},
        {GL_TEXTURE_BINDING_2D_ARRAY, "GL_TEXTURE_2D_ARRAY"},
        {GL_TEXTURE_BINDING_RECTANGLE, "GL_TEXTURE_RECTANGLE"},
        {GL_TEXTURE_BINDING_BUFFER, "GL_TEXTURE_BUFFER"},
        {GL_TEXTURE_BINDING_CUBE_MAP, "GL_TEXTURE_CUBE_MAP"},
        {GL_TEXTURE_BINDING_CUBE_MAP_ARRAY, "GL_TEXTURE_CUBE_MAP_ARRAY"},
        {GL_TEXTURE_BINDING_2D_MULTISAMPLE, "GL_TEXTURE_2D_MULTISAMPLE"},
        {GL_TEXTURE_BINDING_2D_MULTISAMPLE_ARRAY, "GL_TEXTURE_2D_MULTISAMPLE_ARRAY"},
    };
    r.Value(StateQuery::Integer, ZAO_STATE(GL_ACTIVE_TEXTURE), StateShown::Enum);
    const GLuint units = Limit(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, 16);
    for (GLuint unit = 0; unit < units; ++unit) {
        const std::string on = " on unit " + std::to_string(unit);
        for (const Target& target : kTargets)
            r.UnitBinding(target.binding, "texture", std::string(" bound to ") + target.name + on,
                          static_cast<int>(unit));
        r.UnitBinding(GL_SAMPLER_BINDING, "sampler", " bound" + on, static_cast<int>(unit));
    }
    r.Switch(ZAO_STATE(GL_TEXTURE_CUBE_MAP_SEAMLESS));
}

void PixelOperations(Rows& r)
{
    const GLuint viewports = Limit(GL_MAX_VIEWPORTS, 1);
    for (GLuint i = 0; i < viewports; ++i) {
        r.SwitchAt(ZAO_STATE(GL_SCISSOR_TEST), " index", i);
        r.ValueAt(StateQuery::IntegerAt, ZAO_STATE(GL_SCISSOR_BOX), " index", i, StateShown::Number, 4, true);
    }
    r.Switch(ZAO_STATE(GL_STENCIL_TEST));
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_FUNC), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_VALUE_MASK), StateShown::Mask);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_REF), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_FAIL), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_PASS_DEPTH_FAIL), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_PASS_DEPTH_PASS), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_BACK_FUNC), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_BACK_VALUE_MASK), StateShown::Mask);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_BACK_REF), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_BACK_FAIL), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_BACK_PASS_DEPTH_FAIL), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_BACK_PASS_DEPTH_PASS), StateShown::Enum);
    r.Switch(ZAO_STATE(GL_DEPTH_TEST));
    r.Value(StateQuery::Integer, ZAO_STATE(GL_DEPTH_FUNC), StateShown::Enum);
    const GLuint drawBuffers = Limit(GL_MAX_DRAW_BUFFERS, 1);
    for (GLuint i = 0; i < drawBuffers; ++i) {
        r.SwitchAt(ZAO_STATE(GL_BLEND), " of draw buffer", i);
        for (const auto& [pname, name] : {std::make_pair(GL_BLEND_SRC_RGB, "GL_BLEND_SRC_RGB"),
                                          std::make_pair(GL_BLEND_SRC_ALPHA, "GL_BLEND_SRC_ALPHA"),
                                          std::make_pair(GL_BLEND_DST_RGB, "GL_BLEND_DST_RGB"),
                                          std::make_pair(GL_BLEND_DST_ALPHA, "GL_BLEND_DST_ALPHA"),
                                          std::make_pair(GL_BLEND_EQUATION_RGB, "GL_BLEND_EQUATION_RGB"),
                                          std::make_pair(GL_BLEND_EQUATION_ALPHA, "GL_BLEND_EQUATION_ALPHA")})
            r.ValueAt(StateQuery::IntegerAt, pname, name, " of draw buffer", i, StateShown::Enum, 1);
        r.ValueAt(StateQuery::BooleanAt, ZAO_STATE(GL_COLOR_WRITEMASK), " of draw buffer", i, StateShown::Boolean, 4);
    }
    r.Value(StateQuery::Float, ZAO_STATE(GL_BLEND_COLOR), StateShown::Number, 4);
    r.Switch(ZAO_STATE(GL_FRAMEBUFFER_SRGB));
    r.Switch(ZAO_STATE(GL_DITHER));
    r.Switch(ZAO_STATE(GL_COLOR_LOGIC_OP));
    r.Value(StateQuery::Integer, ZAO_STATE(GL_LOGIC_OP_MODE), StateShown::Enum);
}

void FramebufferControl(Rows& r)
{
    r.Value(StateQuery::Boolean, ZAO_STATE(GL_DEPTH_WRITEMASK), StateShown::Boolean);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_WRITEMASK), StateShown::Mask);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_BACK_WRITEMASK), StateShown::Mask);
    r.Value(StateQuery::Float, ZAO_STATE(GL_COLOR_CLEAR_VALUE), StateShown::Number, 4);
    r.Value(StateQuery::Float, ZAO_STATE(GL_DEPTH_CLEAR_VALUE), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_STENCIL_CLEAR_VALUE), StateShown::Number);
    // The frame's output is the host's framebuffer, and so is what it reads.
    r.Binding(GL_DRAW_FRAMEBUFFER_BINDING, "framebuffer", " bound to GL_DRAW_FRAMEBUFFER", true);
    r.Binding(GL_READ_FRAMEBUFFER_BINDING, "framebuffer", " bound to GL_READ_FRAMEBUFFER", true);
    r.Binding(GL_RENDERBUFFER_BINDING, "renderbuffer", " bound");
}

void Pixels(Rows& r)
{
    r.Value(StateQuery::Boolean, ZAO_STATE(GL_UNPACK_SWAP_BYTES), StateShown::Boolean);
    r.Value(StateQuery::Boolean, ZAO_STATE(GL_UNPACK_LSB_FIRST), StateShown::Boolean);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_UNPACK_IMAGE_HEIGHT), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_UNPACK_SKIP_IMAGES), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_UNPACK_ROW_LENGTH), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_UNPACK_SKIP_ROWS), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_UNPACK_SKIP_PIXELS), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_UNPACK_ALIGNMENT), StateShown::Number);
    r.Value(StateQuery::Boolean, ZAO_STATE(GL_PACK_SWAP_BYTES), StateShown::Boolean);
    r.Value(StateQuery::Boolean, ZAO_STATE(GL_PACK_LSB_FIRST), StateShown::Boolean);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_PACK_IMAGE_HEIGHT), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_PACK_SKIP_IMAGES), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_PACK_ROW_LENGTH), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_PACK_SKIP_ROWS), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_PACK_SKIP_PIXELS), StateShown::Number);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_PACK_ALIGNMENT), StateShown::Number);
    r.Binding(GL_PIXEL_PACK_BUFFER_BINDING, "buffer", " bound to GL_PIXEL_PACK_BUFFER");
    r.Binding(GL_PIXEL_UNPACK_BUFFER_BINDING, "buffer", " bound to GL_PIXEL_UNPACK_BUFFER");
}

void ProgramsAndBuffers(Rows& r)
{
    r.Binding(GL_CURRENT_PROGRAM, "program", " in use");
    r.Binding(GL_PROGRAM_PIPELINE_BINDING, "program pipeline", " bound");
    r.Value(StateQuery::Integer, ZAO_STATE(GL_PATCH_VERTICES), StateShown::Number);
    r.Value(StateQuery::Float, ZAO_STATE(GL_PATCH_DEFAULT_OUTER_LEVEL), StateShown::Number, 4);
    r.Value(StateQuery::Float, ZAO_STATE(GL_PATCH_DEFAULT_INNER_LEVEL), StateShown::Number, 2);
    r.Binding(GL_TRANSFORM_FEEDBACK_BUFFER_BINDING, "buffer", " bound to GL_TRANSFORM_FEEDBACK_BUFFER");
    const GLuint feedbackBuffers = Limit(GL_MAX_TRANSFORM_FEEDBACK_BUFFERS, 4);
    for (GLuint i = 0; i < feedbackBuffers; ++i)
        r.BindingAt(GL_TRANSFORM_FEEDBACK_BUFFER_BINDING, "buffer",
                    " bound to GL_TRANSFORM_FEEDBACK_BUFFER index " + std::to_string(i), i);
    r.Value(StateQuery::Boolean, ZAO_STATE(GL_TRANSFORM_FEEDBACK_BUFFER_ACTIVE), StateShown::Boolean);
    r.Value(StateQuery::Boolean, ZAO_STATE(GL_TRANSFORM_FEEDBACK_BUFFER_PAUSED), StateShown::Boolean);
    r.Binding(GL_UNIFORM_BUFFER_BINDING, "buffer", " bound to GL_UNIFORM_BUFFER");
    const GLuint uniformBuffers = Limit(GL_MAX_UNIFORM_BUFFER_BINDINGS, 36);
    for (GLuint i = 0; i < uniformBuffers; ++i)
        r.BindingAt(GL_UNIFORM_BUFFER_BINDING, "buffer", " bound to GL_UNIFORM_BUFFER index " + std::to_string(i), i);
    r.Binding(GL_COPY_READ_BUFFER, "buffer", " bound to GL_COPY_READ_BUFFER");
    r.Binding(GL_COPY_WRITE_BUFFER, "buffer", " bound to GL_COPY_WRITE_BUFFER");
    r.Binding(GL_TEXTURE_BUFFER, "buffer", " bound to GL_TEXTURE_BUFFER");
    r.Value(StateQuery::Integer, ZAO_STATE(GL_LINE_SMOOTH_HINT), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_POLYGON_SMOOTH_HINT), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_TEXTURE_COMPRESSION_HINT), StateShown::Enum);
    r.Value(StateQuery::Integer, ZAO_STATE(GL_FRAGMENT_SHADER_DERIVATIVE_HINT), StateShown::Enum);
    r.Query(ZAO_STATE(GL_SAMPLES_PASSED));
    r.Query(ZAO_STATE(GL_ANY_SAMPLES_PASSED));
    r.Query(ZAO_STATE(GL_PRIMITIVES_GENERATED));
    r.Query(ZAO_STATE(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN));
    r.Query(ZAO_STATE(GL_TIME_ELAPSED));
}

// Past 4.1, only where the version or the extension list says the context
// has it: a Mac's 4.1 has none of it.
void LaterVersions(Rows& r)
{
    if (hostkit::ContextHasFeature(4, 2, "GL_ARB_shader_image_load_store")) {
        const GLuint images = Limit(GL_MAX_IMAGE_UNITS, 8);
        for (GLuint i = 0; i < images; ++i)
            r.BindingAt(GL_IMAGE_BINDING_NAME, "texture", " bound to image unit " + std::to_string(i), i);
    }
    if (hostkit::ContextHasFeature(4, 2, "GL_ARB_shader_atomic_counters")) {
        r.Binding(GL_ATOMIC_COUNTER_BUFFER_BINDING, "buffer", " bound to GL_ATOMIC_COUNTER_BUFFER");
        const GLuint counters = Limit(GL_MAX_ATOMIC_COUNTER_BUFFER_BINDINGS, 1);
        for (GLuint i = 0; i < counters; ++i)
            r.BindingAt(GL_ATOMIC_COUNTER_BUFFER_BINDING, "buffer",
                        " bound to GL_ATOMIC_COUNTER_BUFFER index " + std::to_string(i), i);
    }
    if (hostkit::ContextHasFeature(4, 2, "GL_ARB_compressed_texture_pixel_storage")) {
        r.Value(StateQuery::Integer, ZAO_STATE(GL_UNPACK_COMPRESSED_BLOCK_WIDTH), StateShown::Number);
        r.Value(StateQuery::Integer, ZAO_STATE(GL_UNPACK_COMPRESSED_BLOCK_HEIGHT), StateShown::Number);
        r.Value(StateQuery::Integer, ZAO_STATE(GL_UNPACK_COMPRESSED_BLOCK_DEPTH), StateShown::Number);
        r.Value(StateQuery::Integer, ZAO_STATE(GL_UNPACK_COMPRESSED_BLOCK_SIZE), StateShown::Number);
        r.Value(StateQuery::Integer, ZAO_STATE(GL_PACK_COMPRESSED_BLOCK_WIDTH), StateShown::Number);
        r.Value(StateQuery::Integer, ZAO_STATE(GL_PACK_COMPRESSED_BLOCK_HEIGHT), StateShown::Number);
        r.Value(StateQuery::Integer, ZAO_STATE(GL_PACK_COMPRESSED_BLOCK_DEPTH), StateShown::Number);
        r.Value(StateQuery::Integer, ZAO_STATE(GL_PACK_COMPRESSED_BLOCK_SIZE), StateShown::Number);
    }
    if (hostkit::ContextHasFeature(4, 3, "GL_ARB_shader_storage_buffer_object")) {
        r.Binding(GL_SHADER_STORAGE_BUFFER_BINDING, "buffer", " bound to GL_SHADER_STORAGE_BUFFER");
        const GLuint storage = Limit(GL_MAX_SHADER_STORAGE_BUFFER_BINDINGS, 8);
        for (GLuint i = 0; i < storage; ++i)
            r.BindingAt(GL_SHADER_STORAGE_BUFFER_BINDING, "buffer",
                        " bound to GL_SHADER_STORAGE_BUFFER index " + std::to_string(i), i);
    }
    if (hostkit::ContextHasFeature(4, 3, "GL_ARB_compute_shader"))
        r.Binding(GL_DISPATCH_INDIRECT_BUFFER_BINDING, "buffer", " bound to GL_DISPATCH_INDIRECT_BUFFER");
    if (hostkit::ContextHasFeature(4, 3, "GL_ARB_ES3_compatibility"))
        r.Switch(ZAO_STATE(GL_PRIMITIVE_RESTART_FIXED_INDEX));
    // The host's own debug output, which a plug-in may not switch off.
    if (hostkit::ContextHasFeature(4, 3, "GL_KHR_debug")) {
        r.Switch(ZAO_STATE(GL_DEBUG_OUTPUT), true);
        r.Switch(ZAO_STATE(GL_DEBUG_OUTPUT_SYNCHRONOUS), true);
    }
    if (hostkit::ContextHasFeature(4, 4, "GL_ARB_query_buffer_object"))
        r.Binding(GL_QUERY_BUFFER_BINDING, "buffer", " bound to GL_QUERY_BUFFER");
    if (hostkit::ContextHasFeature(4, 5, "GL_ARB_clip_control")) {
        r.Value(StateQuery::Integer, ZAO_STATE(GL_CLIP_ORIGIN), StateShown::Enum);
        r.Value(StateQuery::Integer, ZAO_STATE(GL_CLIP_DEPTH_MODE), StateShown::Enum);
    }
}

#undef ZAO_STATE

}  // namespace

std::vector<StateRow> ContextStateRows()
{
    Rows rows;
    VertexArrayData(rows);
    Transformation(rows);
    ColouringAndRasterization(rows);
    Multisampling(rows);
    Textures(rows);
    PixelOperations(rows);
    FramebufferControl(rows);
    Pixels(rows);
    ProgramsAndBuffers(rows);
    LaterVersions(rows);
    return rows.rows;
}

}  // namespace validator
