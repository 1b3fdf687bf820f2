#include "scene/first_person_view.h"

u8_t g_firstPersonViewState = 0;
