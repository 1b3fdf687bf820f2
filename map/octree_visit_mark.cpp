#include "map/octree_visit_mark.h"

u32_t octree_object_checked = 0;
