#include "DigestText.h"

#include <cstdio>
#include <cstring>

void WriteDigestText(const uint8_t* digest, int size, uint8_t reportType, char* text) {
    text[0] = '\0';
    if (reportType != 0 && reportType != 1) {
        strcpy(text, "Error: Unknown report type!");
        return;
    }
    const char* format = reportType == 0 ? "%02X" : "%u";
    size_t length = 0;
    for (int i = 0; i < size; ++i) {
        char scratch[16];
        const int written = snprintf(scratch, sizeof(scratch), format, unsigned(digest[i]));
        memcpy(text + length, scratch, size_t(written) + 1);
        length += size_t(written);
    }
}
