// Stopping, starting and waiting for the "Spooler" service on the NT
// family, and the restart that ends an installation on Windows 98/Me.
#pragma once

#include "sys/Platform.h"

void StopSpooler(const sys::Platform& platform);
void StartSpooler(const sys::Platform& platform);
// True when the service was seen running within about three seconds.
bool WaitForSpooler(const sys::Platform& platform);
// Restarts Windows (98/Me); a refusal is reported with its message.
void RestartWindows(const sys::Platform& platform);
