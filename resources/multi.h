// Ids of the multi-block types (ND6014, ND6016, ND6058). Included by
// resource.h.
#ifndef TELVIO_RESOURCES_MULTI_H
#define TELVIO_RESOURCES_MULTI_H

// The creation dialogs of ND6014 and ND6016, from their first id on: new
// hardware module, join a module, the modules' combo box, analog input,
// digital output, digital input and counter.
#define IDC_PORT6014_FIRST 1330
#define IDC_PORT6016_FIRST 1320

// Their setup dialogs: the input range, the name of the block or its master,
// ND6016's excitation and input channel.
#define IDC_MULTI_RANGE 1054
#define IDC_MULTI_NAME 1305
#define IDC_ND6016_EXCITATION 1326
#define IDC_ND6016_INPUT1 1327
#define IDC_ND6016_INPUT2 1328

// ND6058's creation dialog.
#define IDC_PORT6058_NEW 1300
#define IDC_PORT6058_JOIN 1301
#define IDC_PORT6058_MODULES 1302
#define IDC_PORT6058_INPUT 1303
#define IDC_PORT6058_OUTPUT 1304
#define IDC_PORT6058_A 1305
#define IDC_PORT6058_B 1306
#define IDC_PORT6058_CH 1307
#define IDC_PORT6058_CL 1308
#define IDC_PORT6058_DI 1309

// ND6058's setup dialog: the block's ports, its master's name, the current
// channel's port and line.
#define IDC_ND6058_PORTS 1304
#define IDC_ND6058_MASTER 1305
#define IDC_ND6058_LINE 1306

#endif
