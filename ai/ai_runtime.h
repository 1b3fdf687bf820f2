// Starting the mission script and the AI when a mission begins.
#pragma once

// Starts every mission-script list.
void MSALStartAll();
// Sets the AI clock to now and restarts every AI interface's rule set.
void AIRestartAll();
