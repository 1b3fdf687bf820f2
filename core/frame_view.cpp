#include "core/frame_view.h"

FrameView g_frameView;
