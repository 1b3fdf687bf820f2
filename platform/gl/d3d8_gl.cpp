#include "platform/gl/d3d8_gl.h"

#include <SDL2/SDL_video.h>

GlFunctions gl;

bool GlLoadFunctions(const char** missing)
{
    GlFunctions loaded;
    bool complete = true;
#define ZINTAR_GL_LOAD(type, name)                                           \
    loaded.name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name)); \
    if (!loaded.name && complete) {                                          \
        complete = false;                                                    \
        if (missing)                                                         \
            *missing = "gl" #name;                                           \
    }
    ZINTAR_GL_FUNCTIONS(ZINTAR_GL_LOAD)
#undef ZINTAR_GL_LOAD
    if (complete)
        gl = loaded;
    return complete;
}
