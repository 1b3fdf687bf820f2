// Starting the mission script and the AI when a mission begins, and the AI's end with the mission.
#pragma once

// Starts every mission-script list.
void MSALStartAll();
// Sets the AI clock to now and restarts every AI interface's rule set.
void AIRestartAll();
// Leaving a mission: deletes every AI interface of the table (their bodies belong to the world).
void AIShutdown();
