#include "game/no_op.h"

void NoOp() {}
