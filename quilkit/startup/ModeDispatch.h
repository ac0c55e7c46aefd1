#pragma once
// What each mode runs: the launchers of modes 1 and 5, or the options dialog of the file
// tool of modes 2 to 4, which gives the job for the worker.
#include <windows.h>

#include <string>
#include <vector>

#include "run/ToolRun.h"
#include "PathList.h"

// Modes 1 and 5: starts the program and returns; other modes do nothing here.
void RunLauncher(int mode, const std::vector<std::wstring>& paths);

// The words of the status bar for a file tool's counts.
CountWording CountWordingOf(int mode);

// A file tool's name as the context menu words it ("Check Hashes").
std::wstring ToolWordsOf(int mode);

// Modes 2 to 4: the tool's options dialog, owned by `owner`; the job after OK, else an
// empty one. Mode 6 asks nothing. With nothing selected no dialog shows: the job says
// so. A hash-checker run keeps its digests in `run`'s checksums; a cleaner's preview
// gives `run` its words and its follow-up.
CToolRun::Job AskFileTool(int mode, HWND owner, const CPathList& selection, CToolRun& run);
