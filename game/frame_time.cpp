#include "game/frame_time.h"

float framedtime = 0.001f;
