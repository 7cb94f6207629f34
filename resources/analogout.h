// Ids of the analog output types (ND6021, ND6022, ND6024) and of the digital
// inputs of the four-channel output module (ND6024I). Included by
// resource.h.
#ifndef TELVIO_RESOURCES_ANALOGOUT_H
#define TELVIO_RESOURCES_ANALOGOUT_H

// The output range and slew rate of the current channel (ND6021, ND6022) or
// of the module (ND6024).
#define IDC_AO_RANGE 1054
#define IDC_AO_SLEW 1055
// The module watchdog of the setup dialogs: on, the time (the combo box of
// the shared watchdog dialog's id, IDC_WD_TIME), the safety value and its
// unit.
#define IDC_AO_WATCHDOG_ON 1060
#define IDC_AO_SAFE_UNIT 1061
#define IDC_AO_SAFE_VALUE 1062
// The labels of the watchdog group that ND6024 hides with it.
#define IDC_AO_WATCHDOG_GROUP 1170
#define IDC_AO_WATCHDOG_TIME_LABEL 1171
#define IDC_AO_SAFE_LABEL 1172
#define IDC_AO_SECONDS_LABEL 1174
// The labels of channel buttons 0 to 6 (ND6022, ND6024I).
#define IDC_AO_LABEL0 1700

// ND6021: the failures of a channel's module at start, each with the channel.
#define IDS_ND6021_BAD_ADDRESS 1172
#define IDS_ND6021_NO_REPLY 1173
#define IDS_ND6021_WRONG_MODULE 1174
// A range code from a file that the type does not have.
#define IDS_AO_UNKNOWN_RANGE 1191

// The range and slew-rate lists.
#define IDS_ND6021_RANGE_FIRST 1201   // 1201..1203
#define IDS_ND6021_SLEW_V_FIRST 1204  // 1204..1215
#define IDS_ND6021_SLEW_MA_FIRST 1220 // 1220..1231
#define IDS_ND6024_RANGE_FIRST 1241   // 1241..1246
#define IDS_ND6024_SLEW_V_FIRST 1251  // 1251..1266
#define IDS_ND6024_SLEW_MA_FIRST 1267 // 1267..1282
#define IDS_ND6022_RANGE_FIRST 1801   // 1801..1803
#define IDS_ND6022_SLEW_V_FIRST 1820  // 1820..1834
#define IDS_ND6022_SLEW_MA_FIRST 1840 // 1840..1854

#endif
