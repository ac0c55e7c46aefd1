#pragma once

#include <cstdint>

// Running state of one MD5 computation (RFC 1321). The caller owns it so that the
// digest object can outlive many computations.
struct Md5Context {
    uint32_t state[4];
    uint32_t count[2];  // message length in bits, low word first
    uint8_t buffer[64];
};

class CMd5Digest {
public:
    static constexpr int kDigestSize = 16;
    static constexpr int kTextLength = 2 * kDigestSize;

    void Init(Md5Context* context);
    void Update(Md5Context* context, const uint8_t* input, uint32_t length);
    void Final(Md5Context* context);

    // Writes the 32 uppercase hexadecimal characters and a NUL; `size` must be at least 33.
    void Report(char* text, int size) const;

    const uint8_t* Digest() const { return m_digest; }

private:
    static void Transform(uint32_t state[4], const uint8_t block[64]);

    uint8_t m_digest[kDigestSize] = {};
};
