// The parameter-schema rows every type's record has: the seven rows of its
// serial settings and the eleven of its measurement settings, each at the
// offset of the block in the type's record plus the field's own.
#ifndef TELVIO_FRAME_SCHEMAROWS_H
#define TELVIO_FRAME_SCHEMAROWS_H

#include "host/records.h"
#include "serial/ports.h"

#include <stddef.h>

#define SCHEMA_ROW_IN(Record, block, Block, field, typeName)                                       \
    { #field, typeName, static_cast < int>(offsetof(Record, block) + offsetof(Block, field)), 0 }

// The ComSettings at `com` of `Record`.
#define SCHEMA_COM_ROWS(Record, com)                                                               \
    SCHEMA_ROW_IN(Record, com, ComSettings, Port_Number, "int"),                                   \
        SCHEMA_ROW_IN(Record, com, ComSettings, Baud_Rate, "int"),                                 \
        SCHEMA_ROW_IN(Record, com, ComSettings, Data_Bits, "int"),                                 \
        SCHEMA_ROW_IN(Record, com, ComSettings, Stop_Bits, "int"),                                 \
        SCHEMA_ROW_IN(Record, com, ComSettings, Parity, "int"),                                    \
        SCHEMA_ROW_IN(Record, com, ComSettings, RS232_Buffer, "int"),                              \
        SCHEMA_ROW_IN(Record, com, ComSettings, Dummy1, "WORD[0..3]")

// The MessParam at `mess` of `Record`.
#define SCHEMA_MESS_ROWS(Record, mess)                                                             \
    SCHEMA_ROW_IN(Record, mess, MessParam, Use_Global_Settings, "BOOL"),                           \
        SCHEMA_ROW_IN(Record, mess, MessParam, Time_Seconds, "BOOL"),                              \
        SCHEMA_ROW_IN(Record, mess, MessParam, Sample_Distance, "double"),                         \
        SCHEMA_ROW_IN(Record, mess, MessParam, Error_Stop, "BOOL"),                                \
        SCHEMA_ROW_IN(Record, mess, MessParam, Error_Wait_Min, "int"),                             \
        SCHEMA_ROW_IN(Record, mess, MessParam, Error_Set_Var, "BOOL"),                             \
        SCHEMA_ROW_IN(Record, mess, MessParam, Error_Var_Nr, "int"),                               \
        SCHEMA_ROW_IN(Record, mess, MessParam, Watchdog_On, "BOOL"),                               \
        SCHEMA_ROW_IN(Record, mess, MessParam, Watchdog_Time, "int"),                              \
        SCHEMA_ROW_IN(Record, mess, MessParam, Watchdog_Value, "WORD"),                            \
        SCHEMA_ROW_IN(Record, mess, MessParam, Dummy2, "WORD[0..3]")

// A row of a field of `Record`, under its name (with an index range for an
// array: SCHEMA_ROW_NAMED).
#define SCHEMA_ROW(Record, field, typeName)                                                        \
    { #field, typeName, static_cast < int>(offsetof(Record, field)), 0 }
#define SCHEMA_ROW_NAMED(Record, field, name, typeName)                                            \
    { name, typeName, static_cast<int>(offsetof(Record, field)), 0 }

#endif
