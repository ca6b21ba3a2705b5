#pragma once
// The machine's own serial ports: the realisation of SerialComm for this system (QtSerialComm
// on Unix, WinSerialComm on Windows). app/ and the logger create it here and name no realisation.
#include "platform/PortTable.h"
#include "platform/SerialComm.h"

#include <memory>

namespace platform {

std::unique_ptr<SerialComm> CreateSystemSerialComm(PortTable& ports);

} // namespace platform
