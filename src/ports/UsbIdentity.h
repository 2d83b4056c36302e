// The identity of the attached USB printer, read and set through the
// maker's library "KrUsbInt.dll".  The identity v ties a printer to its
// model's USB port v mod 8 + 1.
#pragma once

#include <cstdint>

#include "sys/Platform.h"

extern const char kUsbLibraryName[];  // "KrUsbInt.dll"

// The printer command that sets the identity: these nine bytes, then the
// new identity.  The printer takes it on its next reset.
extern const std::uint8_t kSetIdentityPrefix[9];

// What ReadUsbIdentity gives instead of an identity: no printer could be
// asked (the library, a function or the device is missing, or the
// descriptor cannot be read), or two or more printers are attached.
constexpr int kNoUsbIdentity = -1;
constexpr int kSeveralUsbPrinters = -2;

// The identity (0 to 65535), kNoUsbIdentity or kSeveralUsbPrinters.
int ReadUsbIdentity(const sys::Platform& platform);

// Makes the attached printer report identity port - 1 after its next reset;
// only ports 1 to 8 are handled.
void WriteUsbIdentity(const sys::Platform& platform, int port);
