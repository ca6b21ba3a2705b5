// The Zeta probe's calibration reply, then samples read through the tables it built: the
// input is the calibration reply, and after a NUL byte the samples, one a line.
#include "measure/ClsZeta.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::QuietHost host;
    measure::ClsZeta zeta(host);
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    zeta.ParseCoeff(split < 0 ? input : input.left(split));
    if (split >= 0) {
        for (const QByteArray& sample : input.mid(split + 1).split('\n'))
            zeta.ParseCalZeta(sample);
    }
    return 0;
}
