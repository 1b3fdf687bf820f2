#include "ai/patrol_path.h"

PatrolPath* AIFindPatrolPath(const char*)
{
    return nullptr;
}
