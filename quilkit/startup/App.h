#pragma once
// Creates the window of the mode, runs the mode's tool, then the message loop.
// Returns the exit code.
#include "PathList.h"

int Run(int mode, int showCommand, const CPathList& selection);
