// Shared by the fuzz targets: the library's traces go to /dev/null so that
// only libFuzzer's own reports reach standard error.
#include "OrnTrace.h"

#include <fcntl.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ornTraceRedirect(open("/dev/null", O_WRONLY));
    return 0;
}
