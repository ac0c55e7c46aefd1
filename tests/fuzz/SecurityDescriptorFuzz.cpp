// Who may write a folder, or move the way to it, read from any bytes as a self-relative
// security descriptor: never past its bytes; a descriptor found closed stays closed with
// more bytes after it, since nothing it was judged on moved; and the judgements nest: a
// folder only administrators can write is one only they can move, and a folder on the way
// that only they can rename is one whose children only they can move.
#include <string>
#include <string_view>

#include "FuzzText.h"
#include "maindlg/FolderWriters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size), longer = bytes + std::string(64, '\xFF');
    const bool writable = !OnlyAdministratorsCanWrite(bytes);
    const bool movable = !OnlyAdministratorsCanMoveBelow(bytes, false),
               rootMovable = !OnlyAdministratorsCanMoveBelow(bytes, true);
    if (!writable) FUZZ_CHECK(OnlyAdministratorsCanWrite(longer));
    if (!movable) FUZZ_CHECK(OnlyAdministratorsCanMoveBelow(longer, false));
    FUZZ_CHECK(writable || !movable);
    FUZZ_CHECK(movable || !rootMovable);
    return 0;
}
