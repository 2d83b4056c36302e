// Prints what the configuration readers make of a driver package, one
// name=value line per field, values byte for byte, in a fixed order.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "config/InstallTypes.h"
#include "sys/Platform.h"

struct DumpRequest {
    std::optional<std::string> model;        // every listed model when empty
    std::optional<TargetSystem> family;      // every family when empty
    std::optional<int> variant;              // 0 STD, 1 GDI; both when empty
};

// Returns 0, or 2 when the requested model is not in the device list.
int DumpConfiguration(const sys::Platform& platform, const DumpRequest& request, std::FILE* out);

std::optional<TargetSystem> ParseFamily(const std::string& text);
std::optional<int> ParseVariant(const std::string& text);
