#pragma once
// libVpZik.so: the family's compression library, our own build.
//
// Compressed form: a u32 little-endian length, then one zlib stream that
// inflates to exactly that many bytes and ends the input. Lengths above
// 256 MiB are refused.
//
// All calls have C linkage and return 0 on success. On failure *out is null
// and *outLen 0. Buffers handed out belong to the library: give them back
// with P_FreeMem.
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    VPZIK_OK = 0,
    VPZIK_BAD_ARGUMENT = 1,  // null pointers, negative lengths, a level outside -1..9, reserved not 0
    VPZIK_NO_MEMORY = 2,
    VPZIK_CORRUPT = 3,       // not a stream of this form
    VPZIK_TOO_LARGE = 4,     // more than 256 MiB
};

// level: -1 (zlib's default) or 0..9.
int32_t ZCompress(const uint8_t* in, int32_t inLen, uint8_t** out, int32_t* outLen, int32_t level);
// reserved must be 0.
int32_t ZDecompress(const uint8_t* in, int32_t inLen, uint8_t** out, int32_t* outLen, int32_t reserved);
// Frees a buffer the library handed out, whatever size says, and nulls *p.
void P_FreeMem(uint8_t** p, int32_t size);

typedef int32_t (*ZCompressFunc)(const uint8_t*, int32_t, uint8_t**, int32_t*, int32_t);
typedef int32_t (*ZDecompressFunc)(const uint8_t*, int32_t, uint8_t**, int32_t*, int32_t);
typedef void (*P_FreeMemFunc)(uint8_t**, int32_t);

#ifdef __cplusplus
}
#endif
