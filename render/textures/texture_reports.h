// Reports of the texture manager: the usage lists written when a mission ends and the memory line
// printed when one starts. Memory is counted in kB of 1000 bytes.
#pragma once
#include "core/types.h"

// Writes folder\textures.txt (every registered name) and folder\common_textures.txt (those whose
// name contains "_common"), each with its size line and count line. Nothing is written when either
// file cannot be created.
void TexturesWriteUsageList(const char* folder);
// Whole kB of a byte count (truncated).
int TextureKilobytes(u32_t bytes);
// "Textures: %d kB\n" with the estimated total on console 0.
void TexturesPrintMemory();
