// The front end's layout scale: sizes are given for a screen 800 pixels wide.
#pragma once

// value x screen width x 0.00125.
float GuiScaleToScreen(float value);
