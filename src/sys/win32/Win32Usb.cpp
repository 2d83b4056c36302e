// The maker's USB library, called through GetProcAddress.
#include <windows.h>

#include "sys/win32/Win32Platform.h"

namespace sys::win32 {

namespace {

using OpenDeviceFn = int(WINAPI*)(int);
using CloseDeviceFn = void(WINAPI*)(int);
using GetDescriptorFn = int(WINAPI*)(int, unsigned char*);
using WriteFn = int(WINAPI*)(int, int, unsigned char*, int);

template <typename Fn>
Fn Export(LibraryHandle library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name)));
}

}  // namespace

LibraryHandle Win32UsbLibrary::LoadLibraryA(const char* name, std::uint32_t* error) {
    HMODULE h = ::LoadLibraryA(name);
    *error = h ? 0 : GetLastError();
    return reinterpret_cast<LibraryHandle>(h);
}

bool Win32UsbLibrary::HasExport(LibraryHandle library, const char* name) {
    return GetProcAddress(reinterpret_cast<HMODULE>(library), name) != nullptr;
}

void Win32UsbLibrary::FreeLibrary(LibraryHandle library) { ::FreeLibrary(reinterpret_cast<HMODULE>(library)); }

int Win32UsbLibrary::OpenDeviceX(LibraryHandle library, int index) {
    return Export<OpenDeviceFn>(library, "OpenDeviceX")(index);
}

void Win32UsbLibrary::CloseDevice(LibraryHandle library, int handle) {
    Export<CloseDeviceFn>(library, "CloseDevice")(handle);
}

int Win32UsbLibrary::GetDescriptor(LibraryHandle library, int handle, std::uint8_t* buffer20) {
    return Export<GetDescriptorFn>(library, "GetDescriptor")(handle, buffer20);
}

int Win32UsbLibrary::uWrite(LibraryHandle library, int handle, int zero, const std::uint8_t* data, int length) {
    return Export<WriteFn>(library, "uWrite")(handle, zero, const_cast<unsigned char*>(data), length);
}

}  // namespace sys::win32
