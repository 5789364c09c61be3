// A child process for WindowsPluginTest: prints shader diagnostics through
// ffglex::ShaderProgram, whose lines the test reads from this process's
// standard output and from the debugger channel. Its own notes go to stderr.
#include <cstdio>
#include <string>

#include "ffglex/ShaderProgram.h"
#include "hostkit/WglContext.h"

namespace {

// "this is not GLSL" must fail in every compiler; the fragment stage is valid.
const char* const kBrokenVertexSource = "#version 410 core\nvoid main()\n{\n\tthis is not GLSL;\n}\n";
const char* const kFragmentSource =
    "#version 410 core\nout vec4 fragColor;\nvoid main()\n{\n\tfragColor = vec4(1.0);\n}\n";

}  // namespace

int main()
{
    ffglex::ShaderProgram::PrintDiagnostic("Vertex Shader error: ", "diagnostic probe");

    std::string error;
    auto context = hostkit::WglContext::Create(4, 1, &error);
    if (!context) {
        std::fprintf(stderr, "ShaderDiagnosticProbe: %s\n", error.c_str());
        return 2;
    }
    ffglex::ShaderProgram program;
    const bool built = program.CompileAndLink(kBrokenVertexSource, kFragmentSource);
    const bool empty = program.GetProgram() == 0;
    program.Release();
    if (built || !empty) {
        std::fprintf(stderr, "ShaderDiagnosticProbe: the broken vertex shader was accepted\n");
        return 3;
    }
    return 0;
}
