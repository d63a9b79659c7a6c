/* A libVpZik.so that has ZCompress only: the loader must count it as not
   loaded. */
#include <stdint.h>

int32_t ZCompress(const uint8_t* in, int32_t inLen, uint8_t** out, int32_t* outLen, int32_t level)
{
    (void)in;
    (void)inLen;
    (void)level;
    *out = 0;
    *outLen = 0;
    return 1;
}
