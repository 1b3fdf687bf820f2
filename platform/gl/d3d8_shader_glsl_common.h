// Pieces both shader translators use: the constant block's GLSL, literals, swizzles, write masks
// and source modifiers as GLSL expressions.
#pragma once
#include <cstdint>
#include <string>

namespace shader_glsl {

// The uniform block of ShaderConstantBlock, instance name "sc".
extern const char* const kConstantBlock;

// printf-style append.
void Append(std::string* text, const char* format, ...) __attribute__((format(printf, 2, 3)));
// A GLSL float literal; infinities become the largest float, not-a-number 0.
std::string Float(float value);
// ".yzxw" and the like; empty for the identity.
std::string Swizzle(std::uint32_t swizzle);
// ".xz" and the like; empty for all four.
std::string Mask(std::uint32_t mask);
// The value (a vec4 expression) with a source modifier applied; the divide modifiers are left to
// the texture instructions that take them.
std::string Modify(const std::string& value, std::uint32_t modifier);

}  // namespace shader_glsl
