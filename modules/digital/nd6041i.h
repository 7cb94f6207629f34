// The runtime record of the fourteen-channel digital input type ND6041I.
#ifndef TELVIO_MODULES_DIGITAL_ND6041I_H
#define TELVIO_MODULES_DIGITAL_ND6041I_H

#include "modules/digital/digital.h"

#include <stddef.h>

// The family TELV reads all fourteen lines as a sixteen-bit image, the other
// families a byte image, lines 0 to 7.
struct ND6041I_Runtime {
    BYTE Data_Image; // the byte image, every family but TELV
    BYTE Unused;
    WORD Data_Image16; // the sixteen-bit image, family TELV
    DIGITAL_RUNTIME_FIELDS
};
static_assert(sizeof(ND6041I_Runtime) == 56, "ND6041I_Runtime is 56 bytes");
static_assert(offsetof(ND6041I_Runtime, Data_Image) == 0, "Data_Image");
static_assert(offsetof(ND6041I_Runtime, Data_Image16) == 2, "Data_Image16");
DIGITAL_RUNTIME_ASSERTS(ND6041I_Runtime)

#endif
