// Ids of the analog input types' dialogs and strings: voltage (ND6017), RTD
// (ND6013, ND6015, ND6033), universal (ND6019), thermistor (ND6005) and the
// thermistor module's output read-back (ND6005I). Included by resource.h.
#ifndef TELVIO_RESOURCES_ANALOGIN_H
#define TELVIO_RESOURCES_ANALOGIN_H

// Controls.
#define IDC_ND6017_RANGE 1054
#define IDC_RTD_TYPE 1125
#define IDC_ND6013_LABEL0 1700 // 1700..1702: the labels of channel buttons 0..2
#define IDC_INPUT_TYPE 1053    // ND6019, ND6005: the current channel's input type
#define IDC_ND6005_OUTPUT 1201 // the alarm output the current channel drives
#define IDC_ND6005I_WATCHDOG 1150

// Strings.
#define IDS_ND6017_SILENT 1192
#define IDS_UNKNOWN_SENSOR 1193
#define IDS_BAD_ALARM 1194
#define IDS_ND6019_TYPE_FIRST 1283 // 1283..1303: the input types of ND6019
#define IDS_ND6005_TYPE_FIRST 2008 // 2008..2028: the thermistor types of ND6005

#endif
