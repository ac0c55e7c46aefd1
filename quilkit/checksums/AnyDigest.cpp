#include "AnyDigest.h"

#include <algorithm>
#include <thread>

CAnyDigest::CAnyDigest(DigestKind kind) : m_kind(kind), m_blake3(std::thread::hardware_concurrency()) {}

const char* CAnyDigest::Label() const {
    switch (m_kind) {
        case DigestKind::Md5:
            return " MD5:";
        case DigestKind::Sha1:
            return " SHA1:";
        case DigestKind::Sha256:
            return " SHA256:";
        case DigestKind::Sha512:
            return " SHA512:";
        case DigestKind::Blake3:
            return " BLAKE3:";
    }
    return "";
}

void CAnyDigest::Init() {
    switch (m_kind) {
        case DigestKind::Md5:
            m_md5.Init(&m_md5Context);
            break;
        case DigestKind::Sha1:
            m_sha1.Init();
            break;
        case DigestKind::Sha256:
            m_sha256.Init();
            break;
        case DigestKind::Sha512:
            m_sha512.Init();
            break;
        case DigestKind::Blake3:
            m_blake3.Init();
            break;
    }
}

void CAnyDigest::Update(const uint8_t* data, size_t length) {
    // The digests count in 32-bit pieces.
    while (length > 0) {
        const uint32_t piece = uint32_t(std::min<size_t>(length, 0x40000000));
        switch (m_kind) {
            case DigestKind::Md5:
                m_md5.Update(&m_md5Context, data, piece);
                break;
            case DigestKind::Sha1:
                m_sha1.Update(data, piece);
                break;
            case DigestKind::Sha256:
                m_sha256.Update(data, piece);
                break;
            case DigestKind::Sha512:
                m_sha512.Update(data, piece);
                break;
            case DigestKind::Blake3:
                m_blake3.Update(data, piece);
                break;
        }
        data += piece;
        length -= piece;
    }
}

std::string CAnyDigest::Finish() {
    char text[CSha512Digest::kDigestSize * 2 + 1] = {};
    switch (m_kind) {
        case DigestKind::Md5:
            m_md5.Final(&m_md5Context);
            m_md5.Report(text, sizeof(text));
            break;
        case DigestKind::Sha1:
            m_sha1.Final();
            m_sha1.Report(text, CSha1Digest::kReportHex);
            break;
        case DigestKind::Sha256:
            m_sha256.Final();
            m_sha256.Report(text, CSha256Digest::kReportHex);
            break;
        case DigestKind::Sha512:
            m_sha512.Final();
            m_sha512.Report(text, CSha512Digest::kReportHex);
            break;
        case DigestKind::Blake3:
            m_blake3.Final();
            m_blake3.Report(text, CBlake3Digest::kReportHex);
            break;
    }
    return text;
}
