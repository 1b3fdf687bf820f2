#include "platform/gl/d3d8_gl_program.h"

#include <cstdio>

#include "platform/win32.h"

namespace {

void Report(const char* purpose, const char* failure, const char* log)
{
    char line[1400];
    std::snprintf(line, sizeof line, "%s %s: %s\n", purpose, failure, log);
    OutputDebugStringA(line);
}

}  // namespace

GLuint GlCompileStage(GLenum kind, const std::string& source, const char* purpose)
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
        Report(purpose,
               kind == GL_VERTEX_SHADER ? "vertex stage failed to compile" : "fragment stage failed to compile", log);
        gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint GlBuildProgram(const std::string& vertexSource, const std::string& fragmentSource, const char* purpose)
{
    const GLuint vertex = GlCompileStage(GL_VERTEX_SHADER, vertexSource, purpose);
    const GLuint fragment = vertex ? GlCompileStage(GL_FRAGMENT_SHADER, fragmentSource, purpose) : 0;
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
        Report(purpose, "failed to link", log);
        gl.DeleteProgram(program);
        return 0;
    }
    return program;
}
