#include "sys/sim/SimSystem.h"

#include <cstring>

#include "sys/sim/StringTable.h"
#include "sys/sim/WinText.h"

namespace sys::sim {

namespace {

// Sets key=value in [section] of an INI text, adding what is missing; a
// null value removes the key.
std::string SetIniValue(const std::string& text, const std::string& section, const std::string& key,
                        const char* value) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        pos = end + 1;
    }
    int sectionAt = -1;
    int insertAt = -1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view t = TrimBlanks(lines[i]);
        if (!t.empty() && t.front() == '[') {
            if (sectionAt >= 0) break;
            std::size_t close = t.rfind(']');
            if (close != std::string_view::npos && EqualNoCase(TrimBlanks(t.substr(1, close - 1)), section))
                sectionAt = static_cast<int>(i);
            continue;
        }
        if (sectionAt < 0) continue;
        if (!t.empty()) insertAt = static_cast<int>(i) + 1;
        std::size_t eq = t.find('=');
        if (EqualNoCase(TrimBlanks(t.substr(0, eq)), key)) {
            if (value)
                lines[i] = key + "=" + value;
            else
                lines.erase(lines.begin() + static_cast<long>(i));
            value = nullptr;
            sectionAt = -2;
            break;
        }
    }
    if (value) {
        if (sectionAt < 0) {
            lines.push_back("[" + section + "]");
            lines.push_back(key + "=" + value);
        } else {
            int at = insertAt >= 0 ? insertAt : sectionAt + 1;
            lines.insert(lines.begin() + at, key + "=" + value);
        }
    }
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

const char kMappedKey[] = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\";

}  // namespace

bool SimSystem::Version(OsVersion* v, std::uint32_t* error) {
    if ((*error = m_faults.Take("GetVersionExA"))) return false;
    *v = version;
    return true;
}

void SimSystem::Sleep(std::uint32_t milliseconds) {
    waits.push_back(milliseconds);
    now += milliseconds;
}

bool SimSystem::ExitWindowsEx(std::uint32_t flags, std::uint32_t /*reason*/, std::uint32_t* error) {
    exitWindowsCalls.push_back(flags);
    return !(*error = m_faults.Take("ExitWindowsEx"));
}

bool SimSystem::MappedToRegistry(const std::string& section) const {
    return version.platformId == 2 &&
           (EqualNoCase(section, "windows") || EqualNoCase(section, "devices") || EqualNoCase(section, "PrinterPorts"));
}

bool SimSystem::WriteProfileStringA(const char* section, const char* key, const char* value, std::uint32_t* error) {
    if ((*error = m_faults.Take("WriteProfileStringA"))) return false;
    if (!section && !key && !value) {
        ++profileFlushes;
        return true;
    }
    if (!section || !key) {
        *error = kErrorInvalidParameter;
        return false;
    }
    if (MappedToRegistry(section)) {
        m_registry.WriteValue(kMappedKey + std::string(section), key, kRegSz,
                              std::string(value ? value : "") + '\0');
        return true;
    }
    std::string text;
    m_fs.ReadFile(WinIniPath(), &text);
    m_fs.WriteFile(WinIniPath(), SetIniValue(text, section, key, value));
    return true;
}

std::uint32_t SimSystem::GetProfileStringA(const char* section, const char* key, const char* def, char* buffer,
                                          std::uint32_t size) {
    if (section && key && MappedToRegistry(section)) {
        std::string data;
        std::string value = def ? def : "";
        if (m_registry.ReadValue(kMappedKey + std::string(section), key, nullptr, &data))
            value = std::string(data.c_str());
        if (size == 0) return 0;
        std::size_t n = value.size() < size - 1 ? value.size() : size - 1;
        std::memcpy(buffer, value.data(), n);
        buffer[n] = '\0';
        return static_cast<std::uint32_t>(n);
    }
    SimProfile reader(m_fs, m_faults);
    return reader.GetPrivateString(section, key, def, buffer, size, WinIniPath().c_str());
}

void SimSystem::NotifyWinIniChange(const char* section) { notifications.push_back(section ? section : "<null>"); }

namespace {

// Days since 1970-01-01 of a date of the Gregorian calendar, and back.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, SystemTime* t) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    t->year = static_cast<std::uint16_t>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
    t->month = static_cast<std::uint16_t>(m);
    t->day = static_cast<std::uint16_t>(d);
}

}  // namespace

SystemTime SimSystem::GetLocalTime() {
    const std::uint64_t kDay = 86400000;
    const std::uint64_t start = static_cast<std::uint64_t>(startTime.hour) * 3600000 + startTime.minute * 60000u +
                                startTime.second * 1000u + startTime.milliseconds;
    const std::uint64_t at = start + now;
    SystemTime t;
    CivilFromDays(DaysFromCivil(startTime.year, startTime.month, startTime.day) + static_cast<std::int64_t>(at / kDay),
                  &t);
    const std::uint64_t inDay = at % kDay;
    t.hour = static_cast<std::uint16_t>(inDay / 3600000);
    t.minute = static_cast<std::uint16_t>(inDay / 60000 % 60);
    t.second = static_cast<std::uint16_t>(inDay / 1000 % 60);
    t.milliseconds = static_cast<std::uint16_t>(inDay % 1000);
    return t;
}

void SimSystem::BroadcastWinIniChange(const char* section, std::uint32_t /*timeoutMs*/) {
    broadcasts.push_back(section ? section : "<null>");
}

void SimServices::Advance(Service& s) const {
    if (s.state == kServiceStartPending && m_system.now >= s.runningAt) s.state = kServiceRunning;
}

ServiceHandle SimServices::OpenManager(std::uint32_t access, std::uint32_t* error) {
    if ((*error = m_faults.Take("OpenSCManagerA"))) return 0;
    ServiceHandle h = m_next++;
    m_handles[h] = Handle{"", access};
    return h;
}

ServiceHandle SimServices::OpenServiceA(ServiceHandle manager, const char* name, std::uint32_t access,
                                       std::uint32_t* error) {
    if ((*error = m_faults.Take("OpenServiceA"))) return 0;
    auto m = m_handles.find(manager);
    if (m == m_handles.end() || !m->second.service.empty()) {
        *error = kErrorInvalidHandle;
        return 0;
    }
    std::string folded = FoldCase(name ? name : "");
    if (!services.count(folded)) {
        *error = kErrorServiceDoesNotExist;
        return 0;
    }
    ServiceHandle h = m_next++;
    m_handles[h] = Handle{folded, access};
    return h;
}

SimServices::Service* SimServices::Find(ServiceHandle handle, std::uint32_t access) {
    auto h = m_handles.find(handle);
    if (h == m_handles.end() || h->second.service.empty()) return nullptr;
    if ((h->second.access & access) != access) return nullptr;
    Service& s = services[h->second.service];
    Advance(s);
    return &s;
}

bool SimServices::Stop(ServiceHandle service, std::uint32_t* error) {
    if ((*error = m_faults.Take("ControlService"))) return false;
    Service* s = Find(service, kServiceStop);
    if (!s) {
        *error = m_handles.count(service) ? kErrorAccessDenied : kErrorInvalidHandle;
        return false;
    }
    ++s->stops;
    if (s->state == kServiceStopped) {
        *error = kErrorServiceNotActive;
        return false;
    }
    s->state = kServiceStopped;
    return true;
}

bool SimServices::Start(ServiceHandle service, std::uint32_t* error) {
    if ((*error = m_faults.Take("StartServiceA"))) return false;
    Service* s = Find(service, kServiceStart);
    if (!s) {
        *error = m_handles.count(service) ? kErrorAccessDenied : kErrorInvalidHandle;
        return false;
    }
    ++s->starts;
    if (s->state != kServiceStopped) {
        *error = kErrorServiceAlreadyRunning;
        return false;
    }
    s->state = kServiceStartPending;
    s->runningAt = m_system.now + s->startDelayMs;
    Advance(*s);
    return true;
}

bool SimServices::QueryState(ServiceHandle service, std::uint32_t* state, std::uint32_t* error) {
    if ((*error = m_faults.Take("QueryServiceStatus"))) return false;
    Service* s = Find(service, kServiceQueryStatus);
    if (!s) {
        *error = m_handles.count(service) ? kErrorAccessDenied : kErrorInvalidHandle;
        return false;
    }
    *state = s->state;
    return true;
}

bool SimServices::Close(ServiceHandle handle) { return m_handles.erase(handle) != 0; }

MsgAnswer SimMessageBox::Answer(MsgButtons buttons) {
    if (!answers.empty()) {
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes : MsgAnswer::Ok;
}

MsgAnswer SimMessageBox::ShowMessage(int id, const char* extra, MsgButtons buttons, MsgIcon icon) {
    shown.push_back(Shown{id, extra ? extra : "", buttons, icon});
    return Answer(buttons);
}

MsgAnswer SimMessageBox::ShowText(const char* text, MsgButtons buttons, MsgIcon icon) {
    shown.push_back(Shown{0, text ? text : "", buttons, icon});
    return Answer(buttons);
}

std::string SimMessageBox::MessageText(int id) {
    for (const StringTableEntry& e : StringTable())
        if (e.id == id) return ToCodePage936(e.text, "UTF-8");
    return "";
}

std::vector<std::string> SimMessageBox::Log() const {
    std::vector<std::string> out;
    for (const Shown& s : shown)
        out.push_back(s.id ? std::to_string(s.id) + (s.text.empty() ? "" : ":" + s.text) : "T:" + s.text);
    return out;
}

}  // namespace sys::sim
