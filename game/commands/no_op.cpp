#include "game/commands/no_op.h"

void NoOp() {}
