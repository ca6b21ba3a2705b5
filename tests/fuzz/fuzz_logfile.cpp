// The log-file loader, on any bytes.
#include "app/LogReading.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    app::ReadLog(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
