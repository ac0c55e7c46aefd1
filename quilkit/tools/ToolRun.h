#pragma once
// The run that the three file tools share: after the options dialog and the tool's
// preparation, every path of the path list is handed to the engine, then the summary.
#include "FileMoleImpl.h"

enum class FolderHandling {
    Walk,        // walk the folder, with or without sub-folders
    FolderOnly,  // OnFolder on the selected folder alone
};

struct WalkOptions {
    FolderHandling folders = FolderHandling::Walk;
    int subFolders = 1;
    EntryAttributes attributes = EntryAttributes::Normalise;
};

// Hands every path of the path list to the engine; returns the number of failures.
int WalkPathList(CFileMoleImpl& engine, const WalkOptions& options);

// "---" and "All Success!" in green, or the error count in red.
void WriteSummary(int failures);
