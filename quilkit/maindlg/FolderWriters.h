#pragma once
// Who may change a folder, read from its security descriptor in the self-relative form
// that GetFileSecurity returns. Platform-free, so that the decision is tested on
// descriptors built byte by byte.
#include <string_view>

// True when only Administrators, SYSTEM and TrustedInstaller own or may write the
// object: its owner is one of them and no allowing entry grants a right that changes
// its contents (or those of a child) to anyone else. A missing or null DACL, a
// descriptor that cannot be read whole, or any doubt: false.
bool OnlyAdministratorsCanWrite(std::string_view selfRelativeDescriptor);
