// An entry point that does nothing, for records of engine functions that must hold a callable
// function in every slot (the editor interface).
#pragma once

void NoOp();
