// The validator's gl-state test: careless host GL state (bindings, samplers,
// pixel storage a host left behind) does not change the output pixels, and
// host state a frame does not own comes back as it was.
#include "Checks.h"

#include <GL/glew.h>

#include <iterator>

#include "ValidationKeptState.h"
#include "ValidatorGlState.h"
#include "hostsupport/HostError.h"

namespace validator {

namespace {

// The host's own GL objects for the careless state.
class CarelessHost {
public:
    explicit CarelessHost(uint32_t width, uint32_t height)
    {
        program = CompileProgram();
        const uint8_t red[16 * 4] = {255, 0, 0, 255};
        decoyTexture = hostkit::Texture(4, 4, red);
        otherTexture = hostkit::Texture(4, 4, red);
        glGenVertexArrays(1, &vertexArray);
        glGenBuffers(1, &arrayBuffer);
        glGenBuffers(1, &elementBuffer);
        glGenBuffers(1, &packBuffer);
        glGenBuffers(1, &unpackBuffer);
        const std::vector<float> junk(4096, 7.5f);
        glBindVertexArray(vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, arrayBuffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(junk.size() * sizeof(float)), junk.data(),
                     GL_STATIC_DRAW);
        for (GLuint attribute = 0; attribute < 4; ++attribute) {
            glEnableVertexAttribArray(attribute);
            glVertexAttribPointer(attribute, 4, GL_FLOAT, GL_FALSE, 64, reinterpret_cast<const void*>(attribute * 4));
        }
        const std::vector<uint32_t> indices(1024, 3);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * 4), indices.data(),
                     GL_STATIC_DRAW);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        const GLsizeiptr frameBytes = static_cast<GLsizeiptr>(width) * height * 4 * 2 + 65536;
        glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, frameBytes, nullptr, GL_STREAM_READ);
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, unpackBuffer);
        glBufferData(GL_PIXEL_UNPACK_BUFFER, frameBytes, nullptr, GL_STREAM_DRAW);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
        rowLength = static_cast<GLint>(width) + 13;
        // Default sampler parameters filter with mipmaps, which the host's
        // single-level input lacks: sampled through one, it reads black.
        glGenSamplers(1, &defaultSampler);
        glGenSamplers(1, &mipmapSampler);
        glSamplerParameteri(mipmapSampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glSamplerParameteri(mipmapSampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glSamplerParameteri(mipmapSampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glSamplerParameteri(mipmapSampler, GL_TEXTURE_WRAP_T, GL_MIRRORED_REPEAT);
        glGenTextures(3, oddTextures);
        glBindTexture(GL_TEXTURE_RECTANGLE, oddTextures[0]);
        glBindTexture(GL_TEXTURE_2D_ARRAY, oddTextures[1]);
        glBindTexture(GL_TEXTURE_CUBE_MAP, oddTextures[2]);
        glBindTexture(GL_TEXTURE_RECTANGLE, 0);
        glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        glGenBuffers(1, &otherBuffer);
        glBindBuffer(GL_UNIFORM_BUFFER, otherBuffer);
        glBufferData(GL_UNIFORM_BUFFER, 4096, nullptr, GL_STATIC_DRAW);
        glBindBuffer(GL_UNIFORM_BUFFER, 0);
    }
    ~CarelessHost()
    {
        glDeleteProgram(program);
        glDeleteVertexArrays(1, &vertexArray);
        const GLuint buffers[] = {arrayBuffer, elementBuffer, packBuffer, unpackBuffer, otherBuffer};
        glDeleteBuffers(5, buffers);
        const GLuint samplers[] = {defaultSampler, mipmapSampler};
        glDeleteSamplers(2, samplers);
        glDeleteTextures(3, oddTextures);
    }
    CarelessHost(const CarelessHost&) = delete;
    CarelessHost& operator=(const CarelessHost&) = delete;

    void UseProgram() const { glUseProgram(program); }
    void OtherTextureUnit() const
    {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, decoyTexture.Name());
        glActiveTexture(GL_TEXTURE3);
        glBindTexture(GL_TEXTURE_2D, otherTexture.Name());
    }
    static void PackAlignment(GLint alignment) { glPixelStorei(GL_PACK_ALIGNMENT, alignment); }
    void PackRows() const
    {
        glPixelStorei(GL_PACK_ROW_LENGTH, rowLength);
        glPixelStorei(GL_PACK_SKIP_ROWS, 3);
        glPixelStorei(GL_PACK_SKIP_PIXELS, 5);
    }
    void PackBuffer() const { glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer); }
    void VertexArray() const
    {
        glBindVertexArray(vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, arrayBuffer);
    }
    void Unpack() const
    {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 2);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 3);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, unpackBuffer);
    }
    void SamplerOnUnitZero() const { glBindSampler(0, defaultSampler); }
    void MipmapSamplers() const
    {
        for (GLuint unit = 0; unit < kSamplerUnits; ++unit)
            glBindSampler(unit, mipmapSampler);
    }
    void OddTargets() const
    {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_RECTANGLE, oddTextures[0]);
        glBindTexture(GL_TEXTURE_2D_ARRAY, oddTextures[1]);
        glBindTexture(GL_TEXTURE_CUBE_MAP, oddTextures[2]);
    }
    void OtherBuffers() const
    {
        for (GLuint index = 0; index < 4; ++index)
            glBindBufferBase(GL_UNIFORM_BUFFER, index, otherBuffer);
        for (const GLenum target : {GL_DRAW_INDIRECT_BUFFER, GL_COPY_READ_BUFFER, GL_COPY_WRITE_BUFFER,
                                    GL_TEXTURE_BUFFER})
            glBindBuffer(target, otherBuffer);
    }
    void Everything() const
    {
        UseProgram();
        OtherTextureUnit();
        PackAlignment(8);
        PackRows();
        PackBuffer();
        VertexArray();
        Unpack();
        MipmapSamplers();
        OddTargets();
        OtherBuffers();
    }
    // Back to GL's defaults: the validator's own, and the rest of what these set.
    static void Clean()
    {
        UseValidatorGlState();
        glActiveTexture(GL_TEXTURE3);
        glBindTexture(GL_TEXTURE_2D, 0);
        glActiveTexture(GL_TEXTURE0);
        for (GLuint unit = 0; unit < kSamplerUnits; ++unit)
            glBindSampler(unit, 0);
        glBindTexture(GL_TEXTURE_RECTANGLE, 0);
        glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        for (GLuint index = 0; index < 4; ++index)
            glBindBufferBase(GL_UNIFORM_BUFFER, index, 0);
        for (const GLenum target :
             {GL_UNIFORM_BUFFER, GL_DRAW_INDIRECT_BUFFER, GL_COPY_READ_BUFFER, GL_COPY_WRITE_BUFFER, GL_TEXTURE_BUFFER})
            glBindBuffer(target, 0);
    }

private:
    static constexpr GLuint kSamplerUnits = 8;

    static GLuint CompileProgram()
    {
        static const char* vertex = "#version 410 core\nlayout(location = 0) in vec4 p;\nuniform vec4 Offset;\n"
                                    "void main() { gl_Position = p + Offset; }\n";
        static const char* fragment = "#version 410 core\nout vec4 c;\nuniform vec4 Tint;\n"
                                      "void main() { c = Tint; }\n";
        const GLuint program = glCreateProgram();
        for (const auto& [type, source] : {std::make_pair(GL_VERTEX_SHADER, vertex),
                                           std::make_pair(GL_FRAGMENT_SHADER, fragment)}) {
            const GLuint shader = glCreateShader(type);
            glShaderSource(shader, 1, &source, nullptr);
            glCompileShader(shader);
            glAttachShader(program, shader);
            glDeleteShader(shader);
        }
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked)
            throw hostsupport::HostError("the validator's own GL program does not link");
        glUseProgram(program);
        glUniform4f(glGetUniformLocation(program, "Offset"), 0.25f, -0.5f, 0.0f, 0.0f);
        glUniform4f(glGetUniformLocation(program, "Tint"), 0.0f, 1.0f, 0.0f, 1.0f);
        glUseProgram(0);
        return program;
    }

    GLuint program = 0;
    hostkit::Texture decoyTexture, otherTexture;
    GLuint vertexArray = 0, arrayBuffer = 0, elementBuffer = 0, packBuffer = 0, unpackBuffer = 0, otherBuffer = 0;
    GLuint defaultSampler = 0, mipmapSampler = 0;
    GLuint oddTextures[3] = {0, 0, 0};
    GLint rowLength = 0;
};

}  // namespace

std::string GlState(Session& session)
{
    // Odd sizes, so that row padding and alignment change the layout.
    const uint32_t width = 203, height = 117;
    FrameRig rig(TestImage(width, height, 29));
    CarelessHost host(width, height);
    const std::vector<uint8_t> clean = FirstFrame(session, rig, "a frame with clean host GL state");

    struct Variant {
        const char* name;
        std::function<void()> apply;
    };
    const Variant variants[] = {
        {"a host program in use", [&] { host.UseProgram(); }},
        {"texture unit 3 active and other textures bound on units 0 and 3", [&] { host.OtherTextureUnit(); }},
        {"pack alignment 1", [] { CarelessHost::PackAlignment(1); }},
        {"pack alignment 8", [] { CarelessHost::PackAlignment(8); }},
        {"a pack row length with skipped rows and pixels", [&] { host.PackRows(); }},
        {"a pixel-pack buffer bound", [&] { host.PackBuffer(); }},
        {"a host vertex array with an element buffer, and an array buffer bound", [&] { host.VertexArray(); }},
        {"unpack alignment 8, row length, skips and a pixel-unpack buffer bound", [&] { host.Unpack(); }},
        {"a host sampler with default parameters bound on unit 0", [&] { host.SamplerOnUnitZero(); }},
        {"host samplers that filter with mipmaps and repeat bound on units 0 to 7", [&] { host.MipmapSamplers(); }},
        {"rectangle, 2D-array and cube-map textures bound on unit 0", [&] { host.OddTargets(); }},
        {"uniform buffers bound at indices 0 to 3, and draw-indirect, copy and texture buffers bound",
         [&] { host.OtherBuffers(); }},
        {"all of these at once", [&] { host.Everything(); }},
    };
    for (const Variant& variant : variants) {
        const std::string what = std::string("a frame with ") + variant.name;
        const std::vector<uint8_t> output = FirstFrame(session, rig, what, variant.apply, CarelessHost::Clean);
        const std::string difference = FirstDifference(clean, output, width);
        Require(difference.empty(), what + " differs from one with clean state: " + difference);
    }
    const int kept = CheckKeptHostState(session, rig);
    return std::to_string(std::size(variants)) + " kinds of careless state, " + std::to_string(kept) +
           " kinds of host state given back";
}

}  // namespace validator
