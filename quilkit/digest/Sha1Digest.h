#pragma once

#include <cstdint>

// SHA-1 (FIPS 180-1). One object holds the running state, the finished digest and the
// transform's scratch space, so that no operation needs more than a few words of stack.
class CSha1Digest {
public:
    static constexpr int kDigestSize = 20;
    static constexpr uint8_t kReportHex = 0;
    static constexpr uint8_t kReportDigits = 1;

    CSha1Digest();
    // The transform's schedule points into the object itself: a copy would write into the
    // original's memory.
    CSha1Digest(const CSha1Digest&) = delete;
    CSha1Digest& operator=(const CSha1Digest&) = delete;

    void Init();
    void Update(const uint8_t* data, uint32_t length);
    void Final();

    // Type 0 needs 41 characters, type 1 at most 61, the error text 28.
    void Report(char* text, uint8_t reportType) const;
    void CopyDigest(uint8_t* digest) const;

    // Read-only views of the running state, for checking the wipe after Final.
    const uint32_t* State() const { return m_state; }
    const uint32_t* Count() const { return m_count; }
    const uint8_t* Buffer() const { return m_buffer; }

private:
    void Transform(uint32_t* state, const uint8_t* block);

    uint32_t m_state[5];
    uint32_t m_count[2];  // message length in bits, low word first
    uint8_t m_buffer[64];
    uint8_t m_digest[kDigestSize] = {};
    uint32_t m_workspace[16] = {};
    uint32_t* m_block;  // the workspace seen as the 16-word message schedule
};
