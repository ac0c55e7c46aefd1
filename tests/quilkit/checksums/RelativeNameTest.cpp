// Names in a saved checksum file, from the folder it is saved in; built natively.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <tuple>

#include "checksums/RelativeName.h"
#include "text/Utf8Text.h"

namespace {

// Windows compares names without regard to case; ASCII is enough for the table.
bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return std::towupper(x) == std::towupper(y); });
}

using Case = std::tuple<const char*, const char*, const char*>;  // path, folder, name (null: none)

TEST(RelativeName, FromTheFolderOfTheSavedFile) {
    for (const auto& [path, folder, name] :
         {Case{"C:\\top\\a.txt", "C:\\top", "a.txt"}, Case{"C:\\top\\sub\\a b.txt", "C:\\top\\", "sub/a b.txt"},
          // A drive root, with or without its backslash: no character of the name is lost.
          Case{"E:\\a.txt", "E:\\", "a.txt"}, Case{"E:\\d\\a.txt", "E:", "d/a.txt"},
          Case{"E:\\a.txt", "E:\\x\\y", "../../a.txt"}, Case{"C:\\top\\a.txt", "C:\\top\\out", "../a.txt"},
          Case{"C:\\x\\y\\a.txt", "C:\\p\\q", "../../x/y/a.txt"},
          // A folder whose name starts like another's is no part of it.
          Case{"C:\\topx\\a.txt", "C:\\top", "../topx/a.txt"}, Case{"C:\\top\\a.txt", "C:\\topx", "../top/a.txt"},
          Case{"C:\\TOP\\Sub\\a.txt", "c:\\top\\sub", "a.txt"}, Case{"C:/top//sub\\.\\a.txt", "C:\\top\\", "sub/a.txt"},
          Case{"C:\\top\\sub\\..\\a.txt", "C:\\top", "a.txt"}, Case{"\\\\?\\C:\\top\\a.txt", "C:\\top", "a.txt"},
          Case{"C:\\top\\a.txt", "\\\\?\\c:\\top\\sub", "../a.txt"},
          Case{"\\\\host\\share\\d\\a.txt", "\\\\HOST\\Share\\e", "../d/a.txt"},
          Case{"\\\\?\\UNC\\host\\share\\a.txt", "\\\\host\\share", "a.txt"},
          Case{"//host/share/a.txt", "\\\\host\\share\\", "a.txt"},
          // Another drive, share or volume: no name from here reaches the file.
          Case{"D:\\top\\a.txt", "C:\\top", nullptr}, Case{"\\\\host\\share\\a.txt", "\\\\host\\other", nullptr},
          Case{"\\\\host\\share\\a.txt", "\\\\other\\share", nullptr}, Case{"\\\\host\\share\\a.txt", "C:\\", nullptr},
          Case{"\\\\?\\Volume{1}\\a.txt", "C:\\", nullptr}}) {
        const std::optional<std::u16string> relative =
            RelativeName(Utf8ToUtf16(path), Utf8ToUtf16(folder), SameIgnoringAsciiCase);
        EXPECT_EQ(relative ? Utf16ToUtf8(*relative) : "<none>", name ? name : "<none>") << path << " from " << folder;
    }
}

}  // namespace
