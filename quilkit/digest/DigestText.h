#pragma once
// The text forms the SHA digests report: type 0 two uppercase hexadecimal digits per byte,
// type 1 each byte in decimal, run together; any other type an error text.
#include <cstdint>

// `text` needs 2 characters per byte (type 0) or 3 (type 1), or 28, and the terminator.
void WriteDigestText(const uint8_t* digest, int size, uint8_t reportType, char* text);
