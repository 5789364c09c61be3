// One GL program and the shaders it is linked from. Built once per InitGL,
// released explicitly while the context is current; the destructor never
// calls GL. Compile and link failures print one diagnostic line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ffglex {

class ShaderProgram {
public:
    ShaderProgram() = default;
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // True when a linked program is ready; on false nothing is left behind.
    bool CompileAndLink(const char* vertexSource, const char* fragmentSource);
    void Release();

    uint32_t GetProgram() const { return program; }
    int32_t UniformLocation(const char* name) const;
    // Both act on the current program; the caller makes this one current first.
    void SetUniform(const char* name, int32_t value) const;
    void SetUniform(const char* name, float a, float b) const;

    // The GL layer's error output: the debugger channel and standard output.
    static void PrintDiagnostic(const char* prefix, const char* message);

private:
    bool CompileStage(uint32_t type, const char* source, const char* prefix, uint32_t& stage);
    bool Link();

    uint32_t vertexShader = 0;
    uint32_t extraShader = 0;
    uint32_t fragmentShader = 0;
    uint32_t program = 0;
    std::vector<std::string> feedbackVaryings;
};

}  // namespace ffglex
