#include <cstdio>
#include <string>

#include "platform/d3d8_fixed_function.h"

namespace {

GLuint CompileStage(GLenum kind, const std::string& source)
{
    const GLuint shader = gl.CreateShader(kind);
    const char* text = source.c_str();
    gl.ShaderSource(shader, 1, &text, nullptr);
    gl.CompileShader(shader);
    GLint compiled = 0;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        char log[1024] = {};
        gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
        char line[1200];
        std::snprintf(line, sizeof line, "Fixed-function %s shader failed to compile: %s\n",
                      kind == GL_VERTEX_SHADER ? "vertex" : "fragment", log);
        OutputDebugStringA(line);
        gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint LinkProgram(const FixedFunctionKey& key)
{
    std::string vertexSource;
    std::string fragmentSource;
    GenerateFixedFunctionSource(key, &vertexSource, &fragmentSource);
    const GLuint vertex = CompileStage(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = vertex ? CompileStage(GL_FRAGMENT_SHADER, fragmentSource) : 0;
    if (!vertex || !fragment) {
        if (vertex)
            gl.DeleteShader(vertex);
        return 0;
    }
    const GLuint program = gl.CreateProgram();
    gl.AttachShader(program, vertex);
    gl.AttachShader(program, fragment);
    gl.LinkProgram(program);
    gl.DetachShader(program, vertex);
    gl.DetachShader(program, fragment);
    gl.DeleteShader(vertex);
    gl.DeleteShader(fragment);
    GLint linked = 0;
    gl.GetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        char log[1024] = {};
        gl.GetProgramInfoLog(program, sizeof log, nullptr, log);
        char line[1200];
        std::snprintf(line, sizeof line, "Fixed-function program failed to link: %s\n", log);
        OutputDebugStringA(line);
        gl.DeleteProgram(program);
        return 0;
    }
    return program;
}

}  // namespace

GLuint FixedFunctionPrograms::Find(const FixedFunctionKey& key)
{
    auto found = m_programs.find(key);
    if (found != m_programs.end())
        return found->second;
    // A failed build is kept as 0 too, so that it is reported once and not retried every draw.
    const GLuint program = LinkProgram(key);
    m_programs.emplace(key, program);
    return program;
}

void FixedFunctionPrograms::Clear()
{
    for (const auto& entry : m_programs) {
        if (entry.second)
            gl.DeleteProgram(entry.second);
    }
    m_programs.clear();
}
