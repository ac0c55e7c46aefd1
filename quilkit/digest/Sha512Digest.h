#pragma once

#include <cstdint>

// SHA-512 (FIPS 180-4), used like CSha256Digest: Init, any number of Updates, Final, then
// Report or CopyDigest. Update runs whole 128-byte blocks straight from the caller's data.
class CSha512Digest {
public:
    static constexpr int kDigestSize = 64;
    static constexpr uint8_t kReportHex = 0;
    static constexpr uint8_t kReportDigits = 1;

    CSha512Digest();

    void Init();
    void Update(const uint8_t* data, uint32_t length);
    void Final();

    // Type 0 needs 129 characters, type 1 at most 193, the error text 28.
    void Report(char* text, uint8_t reportType) const;
    void CopyDigest(uint8_t* digest) const;

    // Read-only views of the running state, for checking the wipe after Final.
    const uint64_t* State() const { return m_state; }
    uint64_t Length() const { return m_length; }
    const uint8_t* Buffer() const { return m_buffer; }

private:
    uint64_t m_state[8];
    uint64_t m_length;  // message length in bytes; the padding writes it as 128 bits
    uint8_t m_buffer[128];
    uint8_t m_digest[kDigestSize] = {};
};
