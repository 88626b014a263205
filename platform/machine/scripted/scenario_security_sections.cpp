// Sections of the "machine" object about the token, the registry, services
// and performance counters. Entries are keyed by name; null removes one.

#include "scenario_sections.h"

#include <algorithm>

namespace host::scenario {

namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

// "HKLM\Software\X\" -> "HKEY_LOCAL_MACHINE\Software\X", or nothing when the
// path names no hive.
std::optional<std::wstring> RegistryKeyPath(const std::wstring& path) {
    static const std::pair<const wchar_t*, const wchar_t*> kHives[] = {
        {L"HKEY_LOCAL_MACHINE", L"HKLM"}, {L"HKEY_CURRENT_USER", L"HKCU"},   {L"HKEY_CLASSES_ROOT", L"HKCR"},
        {L"HKEY_USERS", L"HKU"},          {L"HKEY_CURRENT_CONFIG", L"HKCC"},
    };
    std::wstring trimmed = path;
    while (!trimmed.empty() && trimmed.back() == L'\\') trimmed.pop_back();
    const std::size_t slash = trimmed.find(L'\\');
    const std::wstring hive = trimmed.substr(0, slash);
    for (const auto& [full, shortName] : kHives)
        if (SameName(hive, full) || SameName(hive, shortName))
            return std::wstring(full) + (slash == std::wstring::npos ? L"" : trimmed.substr(slash));
    return std::nullopt;
}

ScriptedRegistryValue ReadRegistryValue(const Node& node) {
    ScriptedRegistryValue v;
    const nlohmann::json& j = node.Json();
    if (j.is_string()) {
        const std::wstring text = ReadText(node);
        v.type = REG_SZ;
        v.data.resize((text.size() + 1) * sizeof(WCHAR));
        std::copy_n(reinterpret_cast<const BYTE*>(text.c_str()), v.data.size(), v.data.begin());
        return v;
    }
    if (j.is_object()) {
        node.Dispatch({
            {"type", [&](const Node& n) { v.type = static_cast<DWORD>(ReadUnsigned(n, 32)); }},
            {"data",
             [&](const Node& n) {
                 n.ForEachElement([&](const Node& b) { v.data.push_back(static_cast<BYTE>(ReadUnsigned(b, 8))); });
             }},
        });
        return v;
    }
    const DWORD value = static_cast<DWORD>(ReadUnsigned(node, 32));
    v.type = REG_DWORD;
    for (std::size_t i = 0; i < sizeof value; ++i) v.data.push_back(static_cast<BYTE>(value >> (8 * i)));
    return v;
}

void ApplyRegistryKey(const Node& node, ScriptedRegistryKey& key) {
    node.Dispatch({
        {"openError", [&](const Node& n) { key.openError = ReadWin32Error(n); }},
        {"values",
         [&](const Node& n) {
             n.ForEachMember([&](const std::string& name, const Node& v) {
                 const std::wstring lower = Lower(Widen(name));
                 if (v.IsNull()) key.values.erase(lower);
                 else key.values[lower] = ReadRegistryValue(v);
             });
         }},
    });
}

}  // namespace

void ApplyToken(const Node& node, ScriptedSystemState& s) {
    node.Dispatch({
        {"openError", [&](const Node& n) { s.tokenOpenError = ReadWin32Error(n); }},
        {"adjustError", [&](const Node& n) { s.adjustError = ReadWin32Error(n); }},
        {"privileges",
         [&](const Node& n) {
             n.ForEachMember([&](const std::string& key, const Node& p) {
                 const std::wstring name = Widen(key);
                 if (!WellKnownPrivilege(name)) p.Fail("not a privilege Windows knows");
                 ScriptedPrivilege* privilege = s.FindPrivilege(name);
                 if (!privilege) {
                     s.privileges.push_back(ScriptedPrivilege{name, false, false, ERROR_SUCCESS});
                     privilege = &s.privileges.back();
                 }
                 p.Dispatch({
                     {"held", [&](const Node& v) { privilege->held = ReadBool(v); }},
                     {"enabled", [&](const Node& v) { privilege->enabled = ReadBool(v); }},
                     {"lookupError", [&](const Node& v) { privilege->lookupError = ReadWin32Error(v); }},
                 });
             });
         }},
    });
}

void ApplyRegistry(const Node& node, ScriptedSystemState& s) {
    node.ForEachMember([&](const std::string& key, const Node& n) {
        const std::optional<std::wstring> path = RegistryKeyPath(Widen(key));
        if (!path) n.Fail("a key path starts with its hive (HKEY_LOCAL_MACHINE\\... or HKLM\\...)");
        if (n.IsNull()) {
            std::erase_if(s.registry, [&](const ScriptedRegistryKey& k) { return SameName(k.path, *path); });
            return;
        }
        ScriptedRegistryKey* k = s.FindRegistryKey(*path);
        if (!k) {
            s.registry.push_back(ScriptedRegistryKey{*path, ERROR_SUCCESS, {}});
            k = &s.registry.back();
        }
        ApplyRegistryKey(n, *k);
    });
}

void ApplyServices(const Node& node, ScriptedSystemState& s) {
    node.ForEachMember([&](const std::string& key, const Node& n) {
        const std::wstring name = Widen(key);
        if (n.IsNull()) {
            std::erase_if(s.services, [&](const ScriptedService& x) { return SameName(x.name, name); });
            return;
        }
        ScriptedService* service = s.FindService(name);
        if (!service) {
            s.services.push_back(ScriptedService{name});
            service = &s.services.back();
        }
        n.Dispatch({
            {"state", [&](const Node& v) { service->state = ReadServiceState(v); }},
            {"openError", [&](const Node& v) { service->openError = ReadWin32Error(v); }},
            {"queryError", [&](const Node& v) { service->queryError = ReadWin32Error(v); }},
        });
    });
}

void ApplyCounters(const Node& node, ScriptedSystemState& s) {
    auto applyPath = [&](const std::string& key, const Node& n) {
        const std::wstring path = Widen(key);
        if (n.IsNull()) {
            std::erase_if(s.counters, [&](const ScriptedCounter& c) { return SameName(c.path, path); });
            return;
        }
        ScriptedCounter* counter = s.FindCounter(path);
        if (!counter) {
            s.counters.push_back(ScriptedCounter{path});
            counter = &s.counters.back();
        }
        n.Dispatch({
            {"value", [&](const Node& v) { counter->value = ReadSigned(v, 64); }},
            {"addStatus", [&](const Node& v) { counter->addStatus = ReadPdhStatus(v); }},
            {"readStatus", [&](const Node& v) { counter->readStatus = ReadPdhStatus(v); }},
        });
    };
    node.Dispatch({
        {"openStatus", [&](const Node& n) { s.counterQueryStatus = ReadPdhStatus(n); }},
        {"collectStatus", [&](const Node& n) { s.collectStatus = ReadPdhStatus(n); }},
        {"upcomingCollects",
         [&](const Node& n) {
             s.upcomingCollects.clear();
             n.ForEachElement([&](const Node& e) { s.upcomingCollects.push_back(ReadPdhStatus(e)); });
         }},
        {"paths", [&](const Node& n) { n.ForEachMember(applyPath); }},
    });
}

}  // namespace host::scenario
