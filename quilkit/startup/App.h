#pragma once
// Creates the window of the mode, runs the mode's tool, then the message loop.
// Returns the exit code.
#include <string>
#include <vector>

int Run(int mode, int showCommand, const std::vector<std::string>& paths);
