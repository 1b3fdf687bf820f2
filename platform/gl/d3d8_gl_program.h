// Compiling and linking a GLSL program pair for the device; failures go to the debugger output,
// named by what the program is for.
#pragma once
#include <string>

#include "platform/gl/d3d8_gl.h"

// One compiled stage, or 0 when it failed to compile.
GLuint GlCompileStage(GLenum kind, const std::string& source, const char* purpose);
// The linked program, or 0 when a stage failed to compile or the pair failed to link.
GLuint GlBuildProgram(const std::string& vertexSource, const std::string& fragmentSource, const char* purpose);
