#pragma once
// Runs the tool of a mode to completion: the launchers of modes 1 and 5, or the file
// tool of modes 2 to 4 with the engine it owns for the length of the run.
void RunModeTool(int mode);
