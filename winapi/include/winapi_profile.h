// Part of <windows.h>; filled in with its functions.
#pragma once
