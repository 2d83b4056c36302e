#include "config/PortSection.h"

#include "config/ConfigInt.h"
#include "config/ConfigPaths.h"

std::string ClassConfigPath(sys::IFiles& files, PrinterClass printerClass) {
    const char* name = ClassConfigNameMixedCase(printerClass);
    return ProgramDirectory(files) + (name ? name : "");
}

std::string PortSectionName(const std::string& model) { return model + ".PORT"; }

std::int32_t ReadPortSectionInt(sys::IProfile& profile, const std::string& classIniPath,
                                const std::string& section, const char* key) {
    if (classIniPath.empty() || classIniPath.back() == '\\') return 0;
    char value[200] = {};
    profile.GetPrivateString(section.c_str(), key, "0", value, sizeof value, classIniPath.c_str());
    return ParseConfigInt(value);
}
