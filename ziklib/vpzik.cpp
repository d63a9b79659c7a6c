// libVpZik.so. The stream layout (see vpzik.h):
//   offset 0: u32 little-endian: the number of bytes the data inflate to
//   offset 4: one zlib stream (RFC 1950, with its Adler-32 checksum)
// Nothing may follow the zlib stream, and it must inflate to exactly the
// stated length; a length above 256 MiB is refused before anything is
// allocated for it.
#include "ziklib/vpzik.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <zlib.h>

#define VPZIK_EXPORT __attribute__((visibility("default")))

namespace {

constexpr uint32_t kMaxLength = 256u << 20;

int32_t Refuse(uint8_t** out, int32_t* outLen, int32_t code)
{
    if (out)
        *out = nullptr;
    if (outLen)
        *outLen = 0;
    return code;
}

// Inflates the zlib stream into a buffer of exactly declared bytes.
int32_t Inflate(const uint8_t* in, size_t inLen, uint32_t declared, uint8_t** out)
{
    // Grown on demand: a few bytes of input must not claim 256 MiB at once.
    size_t capacity = std::min<size_t>(declared, std::max<size_t>(inLen * 8, 64 * 1024));
    auto* buffer = static_cast<uint8_t*>(std::malloc(std::max<size_t>(capacity, 1)));
    if (!buffer)
        return VPZIK_NO_MEMORY;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        std::free(buffer);
        return VPZIK_NO_MEMORY;
    }
    z.next_in = const_cast<Bytef*>(in);
    z.avail_in = static_cast<uInt>(inLen);
    uint8_t spare;
    int32_t result = VPZIK_CORRUPT;
    for (;;) {
        const size_t done = z.total_out;
        if (done == capacity && capacity < declared) {
            const size_t grown = std::min<size_t>(declared, capacity * 2);
            auto* bigger = static_cast<uint8_t*>(std::realloc(buffer, grown));
            if (!bigger) {
                result = VPZIK_NO_MEMORY;
                break;
            }
            buffer = bigger;
            capacity = grown;
        }
        // Once the stated length is out, one spare byte shows a stream
        // that would give more.
        if (done < capacity) {
            z.next_out = buffer + done;
            z.avail_out = static_cast<uInt>(capacity - done);
        } else {
            z.next_out = &spare;
            z.avail_out = 1;
        }
        const uLong before = z.total_out;
        const uInt inBefore = z.avail_in;
        const int rc = inflate(&z, Z_NO_FLUSH);
        if (z.total_out > capacity)
            break;  // too long
        if (rc == Z_STREAM_END) {
            if (z.total_out == declared && z.avail_in == 0)
                result = VPZIK_OK;
            break;
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR)
            break;
        if (z.total_out == before && z.avail_in == inBefore)
            break;  // input ends inside the stream
    }
    inflateEnd(&z);
    if (result != VPZIK_OK) {
        std::free(buffer);
        return result;
    }
    *out = buffer;
    return VPZIK_OK;
}

}  // namespace

extern "C" {

VPZIK_EXPORT int32_t ZCompress(const uint8_t* in, int32_t inLen, uint8_t** out, int32_t* outLen, int32_t level)
{
    if (!out || !outLen || inLen < 0 || (!in && inLen > 0) || level < -1 || level > 9)
        return Refuse(out, outLen, VPZIK_BAD_ARGUMENT);
    if (static_cast<uint32_t>(inLen) > kMaxLength)
        return Refuse(out, outLen, VPZIK_TOO_LARGE);
    uLongf size = compressBound(static_cast<uLong>(inLen));
    auto* buffer = static_cast<uint8_t*>(std::malloc(size + 4));
    if (!buffer)
        return Refuse(out, outLen, VPZIK_NO_MEMORY);
    static const Bytef empty = 0;
    if (compress2(buffer + 4, &size, in ? in : &empty, static_cast<uLong>(inLen), level) != Z_OK) {
        std::free(buffer);
        return Refuse(out, outLen, VPZIK_NO_MEMORY);
    }
    const uint32_t n = static_cast<uint32_t>(inLen);
    buffer[0] = static_cast<uint8_t>(n);
    buffer[1] = static_cast<uint8_t>(n >> 8);
    buffer[2] = static_cast<uint8_t>(n >> 16);
    buffer[3] = static_cast<uint8_t>(n >> 24);
    *out = buffer;
    *outLen = static_cast<int32_t>(size + 4);
    return VPZIK_OK;
}

VPZIK_EXPORT int32_t ZDecompress(const uint8_t* in, int32_t inLen, uint8_t** out, int32_t* outLen, int32_t reserved)
{
    if (!out || !outLen || inLen < 0 || (!in && inLen > 0) || reserved != 0)
        return Refuse(out, outLen, VPZIK_BAD_ARGUMENT);
    if (inLen < 4)
        return Refuse(out, outLen, VPZIK_CORRUPT);
    const uint32_t declared = uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
    if (declared > kMaxLength)
        return Refuse(out, outLen, VPZIK_TOO_LARGE);
    uint8_t* buffer = nullptr;
    const int32_t rc = Inflate(in + 4, static_cast<size_t>(inLen) - 4, declared, &buffer);
    if (rc != VPZIK_OK)
        return Refuse(out, outLen, rc);
    *out = buffer;
    *outLen = static_cast<int32_t>(declared);
    return VPZIK_OK;
}

VPZIK_EXPORT void P_FreeMem(uint8_t** p, int32_t)
{
    if (!p)
        return;
    std::free(*p);
    *p = nullptr;
}

}  // extern "C"
