#pragma once
// The walker that three file tools share, and the engine interface they implement.
#include <windows.h>

// Result codes in the manner of an HRESULT: callers only look at the sign.
using ResultCode = long;
constexpr ResultCode kResultOk = 0;
constexpr ResultCode kResultFail = static_cast<ResultCode>(0x80004005L);

// Whether the walk sets every entry it meets to FILE_ATTRIBUTE_NORMAL first.
enum class EntryAttributes { Normalise, Keep };

class CFileMoleImpl {
public:
    // A path buffer handed to WalkFolder: a full path and room for one more character.
    static constexpr int kPathBufferSize = MAX_PATH + 2;

    virtual ~CFileMoleImpl() = default;

    virtual ResultCode OnFile(const char* path) = 0;
    virtual ResultCode OnFolder(const char* path) = 0;

    // Walks a folder depth-first, pre-order; `path` is a kPathBufferSize buffer that
    // gets a trailing backslash. Returns the number of failures.
    int WalkFolder(char* path, int subFolders, EntryAttributes attributes = EntryAttributes::Normalise);

private:
    int WalkEntries(const char* folder, int subFolders, EntryAttributes attributes);
    int VisitEntry(const char* folder, const WIN32_FIND_DATAA& entry, int subFolders, EntryAttributes attributes);
};
