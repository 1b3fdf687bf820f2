// The mission script's commands are not read yet, so moving on executes nothing.
#include "ai/mission_script_runner.h"

void MSALRunner::Advance()
{
    ++current;
}
