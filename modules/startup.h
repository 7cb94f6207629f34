// Start-up and finish of the plug-in: family, menu, driver settings and the
// registration of every block type.
#ifndef TELVIO_MODULES_STARTUP_H
#define TELVIO_MODULES_STARTUP_H

int InitDriver();
int ExitDriver();
void OnMenuSerialPorts();
void OnMenuHelp();
void OnMenuEmpty();

#endif
