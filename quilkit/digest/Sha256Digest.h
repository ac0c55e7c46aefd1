#pragma once

#include <cstdint>

// SHA-256 (FIPS 180-4), used like CSha1Digest: Init, any number of Updates, Final, then
// Report or CopyDigest. Update runs whole 64-byte blocks straight from the caller's data.
class CSha256Digest {
public:
    static constexpr int kDigestSize = 32;
    static constexpr uint8_t kReportHex = 0;
    static constexpr uint8_t kReportDigits = 1;

    CSha256Digest();

    void Init();
    void Update(const uint8_t* data, uint32_t length);
    void Final();

    // Type 0 needs 65 characters, type 1 at most 97, the error text 28.
    void Report(char* text, uint8_t reportType) const;
    void CopyDigest(uint8_t* digest) const;

    // Read-only views of the running state, for checking the wipe after Final.
    const uint32_t* State() const { return m_state; }
    uint64_t Count() const { return m_count; }
    const uint8_t* Buffer() const { return m_buffer; }

private:
    uint32_t m_state[8];
    uint64_t m_count;  // message length in bits
    uint8_t m_buffer[64];
    uint8_t m_digest[kDigestSize] = {};
};
