#include <string>

#include "platform/gl/d3d8_fixed_function.h"
#include "platform/gl/d3d8_gl_program.h"

namespace {

GLuint LinkProgram(const FixedFunctionKey& key)
{
    std::string vertexSource;
    std::string fragmentSource;
    GenerateFixedFunctionSource(key, &vertexSource, &fragmentSource);
    return GlBuildProgram(vertexSource, fragmentSource, "Fixed-function program");
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
