// What the walks through the sample's front end share (the menu, savegame and whole-mission walks):
// each runs `zintar` in a child process on the packed sample, its GUI driven by gui_test::GuiDriver,
// its mission by the game's test hooks. Here: the folder the child runs in, the soldier made and
// logged in, the key at the loading screen's wait, Escape over the mission, the message console's
// lines and the search for lines in order.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "game/mission/mission_steps.h"
#include "support/gui_driver.h"

namespace sample_walk {

// Packs the sample into "main.bfs" in the working folder and writes its "config.def" for a small
// window. False, with the packer's error, when the sample cannot be packed.
bool PrepareSampleFolder(std::string& error);

// The driver's steps from the main menu: a soldier of this name (password "pw") made by typing on
// the account screen; made, he is logged in and the walk goes on at the setup screen.
void MakeSoldier(gui_test::GuiDriver& driver, const char* name);

// The soldier "recruit" made, then logged in from the accounts' list; the walk goes on at the main
// menu with "Play".
void MakeAndLogInRecruit(gui_test::GuiDriver& driver);

// The key at the loading screen's wait: Space goes down as the wait begins and up after it. A
// mission-step hook calls it with its road and step; true when it pressed or let go.
bool PressAtTheLoadWait(MissionRoad road, int step);

// Escape down in the drawn mission frame 3, 13, 23, ... and up in the next: the in-game menu opens
// for the driver's next pick every ten frames the mission runs.
void EscapeEveryTenFrames(int frame);

// The message console's newest line, added when it differs from the last one kept.
void KeepNewestMessage(std::vector<std::string>& messages);

// The program run in this process as `zintar` without arguments, the mission's frames and load
// steps seen by the hooks given (cleared again after); the program's exit code.
int RunTheProgram(void (*frame)(bool present), void (*step)(MissionRoad road, int step));

// The driver's outcome as the child notes it: "driver: all steps taken" or "driver: steps left"
// followed by its error.
std::string DriverLine(const gui_test::GuiDriver& driver);

// Where each part is found in the text, each searched from the end of the one before it; npos for
// a part not found (the next is then searched from the last one found).
std::vector<std::size_t> InOrder(const std::string& text, const std::vector<std::string>& parts);

}  // namespace sample_walk
