// The log-file loader, on any bytes.
#include "files/LogReading.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    files::ReadLog(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
