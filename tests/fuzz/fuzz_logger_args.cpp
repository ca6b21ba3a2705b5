// The command line of varnex-logger: arguments split at NUL bytes, read and checked.
#include "logger/LoggerOptions.h"
#include "measure/MovingAverage.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QStringList arguments;
    for (const QByteArray& a :
         QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0'))
        arguments << QString::fromLocal8Bit(a);
    logger::LoggerOptions options;
    static const QStringList models{QStringLiteral("PX-5100"), QStringLiteral("PX-9100"),
                                    QStringLiteral("E310")};
    if (logger::ParseLoggerArguments(arguments, models, measure::MovingAverage::Periods(), options)
            .isEmpty())
        logger::ParseDuration(arguments.value(0));
    return 0;
}
