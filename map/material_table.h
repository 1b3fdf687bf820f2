// The material table: every surface's material, found by name or by the textures assigned to it.
// Until the table is loaded it holds no material.
#pragma once

class Material;

// The material whose "assign" list names that texture file name (without regard to case), or null.
Material* MaterialFindByTexture(const char* fileName);
