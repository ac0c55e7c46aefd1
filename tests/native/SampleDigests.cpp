// Prints the MD5 and SHA-1 of each file named on the command line in the hash checker's
// line format; `make run` uses it until the hash checker can be started instead.
#include <cstdio>

#include "Md5Digest.h"
#include "Sha1Digest.h"

int main(int argc, char** argv) {
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        FILE* file = fopen(argv[i], "rb");
        if (!file) {
            printf("\"%s\" Error...\n", argv[i]);
            ++failures;
            continue;
        }
        CMd5Digest md5;
        Md5Context context;
        CSha1Digest sha1;
        md5.Init(&context);
        uint8_t buffer[8192];
        size_t read;
        while ((read = fread(buffer, 1, sizeof(buffer), file)) > 0) {
            sha1.Update(buffer, uint32_t(read));
            md5.Update(&context, buffer, uint32_t(read));
        }
        fclose(file);
        md5.Final(&context);
        sha1.Final();
        char md5Text[512], sha1Text[512];
        md5.Report(md5Text, sizeof(md5Text));
        sha1.Report(sha1Text, CSha1Digest::kReportHex);
        printf("\"%s\" MD5:%s SHA1:%s\n", argv[i], md5Text, sha1Text);
    }
    return failures ? 1 : 0;
}
