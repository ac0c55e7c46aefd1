#pragma once
// The cleaner's extension list as the user types it: ".obj|.pdb|.ilk".
#include <string>
#include <string_view>
#include <vector>

// Splits "|"-separated text into its pieces in order; empty pieces are dropped. Case is left alone (the Windows side
// folds it).
std::vector<std::u16string> SplitExtensions(std::u16string_view text);
