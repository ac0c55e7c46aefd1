// The command line never reads past its text, keeps its modes in range, yields no more
// text than it was given, and parses its own quoted output back to the same paths.
#include <numeric>

#include "FuzzText.h"
#include "startup/CommandLine.h"

namespace {

// Paths the grammar can express again: no quote, not taken for an option.
bool Requotable(const std::u16string& path) {
    return !path.empty() && path.find(u'"') == std::u16string::npos && path[0] != u'/' && path[0] != u'-';
}

std::u16string Requoted(const std::vector<std::u16string>& paths) {
    std::u16string text;
    for (const std::u16string& path : paths) {
        const bool blank = path.find(u' ') != std::u16string::npos;
        text += blank ? u"\"" + path + u"\" " : path + u" ";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string text = FuzzUtf16(data, size);
    CCommandLine commandLine;
    commandLine.Parse(text);

    FUZZ_CHECK(commandLine.Mode() >= 0 && commandLine.Mode() <= CCommandLine::kHighestMode);
    const auto& paths = commandLine.PathTokens();
    const size_t total = std::accumulate(paths.begin(), paths.end(), size_t(0),
                                         [](size_t sum, const std::u16string& path) { return sum + path.size(); });
    FUZZ_CHECK(total <= text.size());

    std::vector<std::u16string> requotable;
    for (const std::u16string& path : paths)
        if (Requotable(path)) requotable.push_back(path);
    CCommandLine again;
    again.Parse(Requoted(requotable));
    FUZZ_CHECK(again.PathTokens() == requotable);
    FUZZ_CHECK(again.Mode() == 0 && !again.ListFiles() && again.Registration() == RegistrationStep::None);
    return 0;
}
