// Editor mode: hands the program over to the external scene editor library.
#pragma once

// The whole editor session; called before any window exists.
void RunEditorSession();
