#include "PathList.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>

void CPathList::ReadListFile(const char* fileName) {
    FILE* file = fopen(fileName, "r");
    if (!file) return;

    char line[kLineBufferSize];
    while (fgets(line, sizeof(line), file)) {
        const int length = lstrlenA(line);
        // An empty line (or a lone last character) ends the list.
        if (length < 2) break;
        if (line[length - 2] == '\r' || line[length - 2] == '\n')
            line[length - 2] = '\0';
        else if (line[length - 1] == '\r' || line[length - 1] == '\n')
            line[length - 1] = '\0';
        PathUnquoteSpacesA(line);
        Add(line);
    }
    fclose(file);
    DeleteFileA(fileName);
}
