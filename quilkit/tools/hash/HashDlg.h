#pragma once
// Options of the hash checker: which digests (MD5, SHA-1, SHA-256, SHA-512, BLAKE3), an
// expected digest to compare each file's with (64 digits are SHA-256 unless BLAKE3 is
// checked; taken from the clipboard, and said so, when one file is selected), and whether
// selected folders are searched with their sub-folders. It has no Cancel button; Escape
// does not close it.
#include <windows.h>

#include <string>

#include "checksums/ChecksumFileText.h"
#include "framework/OptionsDlgImpl.h"
#include "resource.h"

class CHashDlg : public COptionsDlgImpl<CHashDlg> {
public:
    enum { IDD = IDD_HASHDLG };

    int m_subFolders = 1;
    int m_md5 = 0;
    int m_sha1 = 0;
    int m_sha256 = 0;
    int m_sha512 = 0;
    int m_blake3 = 0;
    // Whether Expected may be filled from the clipboard: the selection is one file.
    bool m_pasteExpected = false;
    // The expected digest in lowercase hexadecimal, empty when none was given; its
    // algorithm's box is checked.
    std::string m_expected;
    ChecksumAlgorithm m_expectedAlgorithm = ChecksumAlgorithm::Md5;
    // The digest box that the expected digest alone ticked, 0 when none: a choice of the
    // digest's, not the user's, and not kept for the next run.
    int m_boxOfExpected = 0;

private:
    friend class COptionsDlgImpl<CHashDlg>;
    LRESULT OnInitDialog();
    void OnOk();
    void FillExpectedFromClipboard();
    void TickForExpected(ChecksumAlgorithm algorithm);
};
