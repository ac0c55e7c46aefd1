#pragma once
// The cleaner's list of extensions as the user types it: ".obj|.pch|.pdb". Platform-free.
#include <string>
#include <string_view>
#include <vector>

// Splits "|"-separated text into its pieces in order; empty pieces are dropped. Case is
// left alone.
std::vector<std::u16string> SplitExtensions(std::u16string_view text);
