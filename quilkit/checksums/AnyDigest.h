#pragma once
// One digest of the hash checker, whatever its algorithm: the run holds one per wanted
// digest and feeds them all the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "digest/Blake3Digest.h"
#include "digest/Md5Digest.h"
#include "digest/Sha1Digest.h"
#include "digest/Sha256Digest.h"
#include "digest/Sha512Digest.h"

// In the order of the result line.
enum class DigestKind { Md5, Sha1, Sha256, Sha512, Blake3 };

class CAnyDigest {
public:
    // BLAKE3 spreads a long file over every core; the others take one.
    explicit CAnyDigest(DigestKind kind);
    CAnyDigest(const CAnyDigest&) = delete;
    CAnyDigest& operator=(const CAnyDigest&) = delete;

    DigestKind Kind() const { return m_kind; }
    // " MD5:", " SHA1:", " SHA256:", " SHA512:" or " BLAKE3:", as the result line names it.
    const char* Label() const;

    void Init();
    void Update(const uint8_t* data, size_t length);
    // The digest in uppercase hexadecimal.
    std::string Finish();

private:
    DigestKind m_kind;
    Md5Context m_md5Context = {};
    CMd5Digest m_md5;
    CSha1Digest m_sha1;
    CSha256Digest m_sha256;
    CSha512Digest m_sha512;
    CBlake3Digest m_blake3;
};
