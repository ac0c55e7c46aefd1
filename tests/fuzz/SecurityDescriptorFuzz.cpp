// Who may write a folder, read from any bytes as a self-relative security descriptor:
// never past its bytes, and a descriptor found closed stays closed with more bytes after
// it, since nothing it was judged on moved.
#include <string>
#include <string_view>

#include "FuzzText.h"
#include "maindlg/FolderWriters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (OnlyAdministratorsCanWrite(bytes)) FUZZ_CHECK(OnlyAdministratorsCanWrite(bytes + std::string(64, '\xFF')));
    return 0;
}
