#include "map/material_table.h"

Material* MaterialFindByTexture(const char*)
{
    return nullptr;
}
