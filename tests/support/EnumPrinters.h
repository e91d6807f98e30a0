#pragma once
// GoogleTest prints a scoped enumeration that has no printer as raw bytes; a
// failing comparison of event types or archive results reads better as the
// number the framework gives them.

#include <cstdint>
#include <ostream>

#include "core/SkinArchive.h"
#include "core/UIEvent.h"

namespace CalUI {

inline void PrintTo(UIEventType type, std::ostream* os) { *os << "UIEventType " << static_cast<int>(type); }

inline void PrintTo(ZipResult result, std::ostream* os)
{
    *os << "ZipResult 0x" << std::hex << static_cast<uint32_t>(result) << std::dec;
}

}  // namespace CalUI
