#pragma once
// The pieces of BLAKE3 that its digest and its processor paths share: the constants, one
// compression, and the functions that hash many inputs at once, one per instruction set.
#include <cstddef>
#include <cstdint>

namespace blake3 {

constexpr size_t kBlockSize = 64;
constexpr size_t kChunkSize = 1024;
constexpr size_t kBlocksPerChunk = kChunkSize / kBlockSize;

enum : uint8_t { kChunkStart = 1, kChunkEnd = 2, kParent = 4, kRoot = 8 };

// The default hash's key: the initial state of SHA-256.
constexpr uint32_t kIv[8] = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                             0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};

// The order in which each of the seven rounds takes the sixteen message words: each row is
// the previous one permuted by (2, 6, 3, 10, 7, 0, 4, 13, 1, 11, 12, 5, 9, 14, 15, 8).
constexpr uint8_t kSchedule[7][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {2, 6, 3, 10, 7, 0, 4, 13, 1, 11, 12, 5, 9, 14, 15, 8},
    {3, 4, 10, 12, 13, 2, 7, 14, 6, 5, 9, 0, 11, 15, 8, 1}, {10, 7, 12, 9, 14, 3, 13, 15, 4, 0, 11, 2, 5, 8, 1, 6},
    {12, 13, 9, 11, 15, 10, 14, 8, 7, 2, 5, 3, 0, 1, 6, 4}, {9, 14, 11, 5, 8, 12, 15, 1, 13, 3, 0, 10, 2, 6, 4, 7},
    {11, 15, 5, 0, 1, 9, 8, 6, 14, 10, 2, 12, 3, 4, 7, 13},
};

// Compresses one block into `cv` (the first eight words of the output, which are all a
// chaining value or a 32-byte hash needs).
void Compress(uint32_t cv[8], const uint8_t block[kBlockSize], uint32_t blockLength, uint64_t counter, uint8_t flags);

// `count` inputs of `blocks` whole blocks each, the i-th at data + i * stride, all hashed
// from the IV: chunks (counter counting up from `counter`, flagsStart on the first block and
// flagsEnd on the last) or parents (one block, counter 0, countUp false).
struct ManyInputs {
    const uint8_t* data;
    size_t stride;
    size_t count;
    size_t blocks;
    uint64_t counter;
    bool countUp;
    uint8_t flags, flagsStart, flagsEnd;
};

// Each writes the i-th input's chaining value to out + 32 * i; the wider ones leave what does
// not fill their lanes to the narrower ones.
void HashManyPortable(const ManyInputs& inputs, uint8_t* out);
void HashManySse41(const ManyInputs& inputs, uint8_t* out);
void HashManyAvx2(const ManyInputs& inputs, uint8_t* out);
void HashManyAvx512(const ManyInputs& inputs, uint8_t* out);

}  // namespace blake3
