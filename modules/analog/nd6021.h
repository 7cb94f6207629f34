// Records of the single-channel analog output type ND6021.
#ifndef TELVIO_MODULES_ANALOG_ND6021_H
#define TELVIO_MODULES_ANALOG_ND6021_H

#include "frame/analogout.h"
#include "frame/messparam.h"
#include "frame/setupdlg.h"
#include "frame/template.h"
#include "host/records.h"
#include "resource.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6021_Param {
    int Version;
    char Channel_Name[16][24];
    int Module_Address[16]; // the module of each channel
    int Range[16];          // AO_RANGE_* of each channel's module
    int Slew_Rate[16];      // 0..11, 0: none
    BOOL Watchdog_On[16];
    int Watchdog_Time[16];    // 2..13 s
    float Watchdog_Value[16]; // the safety value, in the channel's unit
    ComSettings Com;
    int Padding1;
    MessParam Mess;
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
};
static_assert(sizeof(ND6021_Param) == 1952, "ND6021_Param is 1952 bytes");
static_assert(offsetof(ND6021_Param, Version) == 0, "Version");
static_assert(offsetof(ND6021_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6021_Param, Module_Address) == 388, "Module_Address");
static_assert(offsetof(ND6021_Param, Range) == 452, "Range");
static_assert(offsetof(ND6021_Param, Slew_Rate) == 516, "Slew_Rate");
static_assert(offsetof(ND6021_Param, Watchdog_On) == 580, "Watchdog_On");
static_assert(offsetof(ND6021_Param, Watchdog_Time) == 644, "Watchdog_Time");
static_assert(offsetof(ND6021_Param, Watchdog_Value) == 708, "Watchdog_Value");
static_assert(offsetof(ND6021_Param, Com) == 772, "ComSettings");
static_assert(offsetof(ND6021_Param, Mess) == 808, "MessParam");
static_assert(offsetof(ND6021_Param, Unit) == 864, "Unit");
static_assert(offsetof(ND6021_Param, Copy_Channel_Name) == 1888, "Copy_Channel_Name");

// The runtime record: the template's fields, then whether each channel's
// module answers with checksums (the template's own Uses_Checksum is not
// used).
struct ND6021_Runtime {
    TemplateRuntime Frame;
    int Uses_Checksum[16];
};
static_assert(sizeof(ND6021_Runtime) == 120, "ND6021_Runtime is 120 bytes");
static_assert(offsetof(ND6021_Runtime, Uses_Checksum) == 56, "Uses_Checksum");

// 28 rows and the all-zero end row.
extern const ParamSchemaEntry ND6021_ParamSchema[29];

#endif
