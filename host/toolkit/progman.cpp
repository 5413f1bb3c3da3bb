// Program Manager groups and items, kept in PROGMAN.INI in the Windows directory.
// Personal and common groups are kept apart:
//
//   [Groups] / [Common Groups]                     name=group file (as given, may be empty)
//   [Group <name>] / [Common Group <name>]         item=command line
//   [Icons <name>] / [Common Icons <name>]         item=icon file[,icon index]
//   [Show Groups] / [Show Common Groups]           name=last show command (1 to 8)
//
// The item text of FCreateProgManItem may be "name,extra": the name is the item's key
// and the extra text, everything after the first comma, is its icon. The mode
// arguments have no effect: Program Manager is not running on the emulated
// workstation, so there is no window to activate or leave alone.
#include <cctype>
#include <string>

#include "host/profile/profile_file.h"
#include "host/toolkit/setup_log.h"
#include "host/toolkit/toolkit_internal.h"
#include "host/toolkit/workstation_access.h"
#include "host/workstation/machine.h"
#include "platform/toolkit.h"

namespace fs = std::filesystem;
using namespace orv::toolkit;

namespace {

// The show commands Program Manager takes: 1 normal, 2 minimized, 3 maximized, 4 normal
// without activation, 5 shown, 6 minimized and the next window activated, 7 minimized
// without activation, 8 shown without activation.
constexpr long kFirstShowCommand = 1;
constexpr long kLastShowCommand = 8;

struct GroupSet {
    const char *groups;
    const char *itemPrefix;
    const char *iconPrefix;
    const char *show;
    const char *kind;
};

constexpr GroupSet kPersonal{"Groups", "Group ", "Icons ", "Show Groups", "group"};
constexpr GroupSet kCommon{"Common Groups", "Common Group ", "Common Icons ", "Show Common Groups", "common group"};

const GroupSet &SetOf(bool common) { return common ? kCommon : kPersonal; }

BOOL Refuse(std::string why) {
    SetLastToolkitError(std::move(why));
    return FALSE;
}

// A name that fits a profile file as a key and inside a section header.
bool NameFits(std::string_view name, std::string &why) {
    if (name.empty()) {
        why = "the name is empty";
        return false;
    }
    if (name.front() == ' ' || name.back() == ' ' || name.front() == ';') {
        why = "the name \"" + std::string(name) + "\" starts or ends with a blank or starts with \";\"";
        return false;
    }
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '=' || c == '[' || c == ']') {
            why = "the name \"" + std::string(name) + "\" holds a character a profile file cannot keep ([, ], = or a control character)";
            return false;
        }
    }
    return true;
}

bool ProgManFile(fs::path &host, std::string &why) {
    std::string file = JoinWindowsPath(orv::host::WindowsDirectory(), "PROGMAN.INI");
    bool readOnly = false;
    std::string error;
    if (!ResolveWindowsPath(file, host, error, &readOnly)) {
        why = file + ": " + error;
        return false;
    }
    if (readOnly) {
        why = file + ": the drive is read-only";
        return false;
    }
    return true;
}

bool Write(const fs::path &host, const std::string &section, const std::string &key, const std::string &value,
           std::string &why) {
    if (!orv::profile::WriteKey(host, section, key, value, why)) return false;
    LogLine("profile PROGMAN.INI: [" + section + "] " + key + "=" + value);
    return true;
}

// The group's name, checked, and PROGMAN.INI's host path; false, with the call
// refused for the reason, when either cannot be had.
bool GroupAndFile(const char *call, LPCSTR group, std::string &name, fs::path &host) {
    std::string why;
    name = group != nullptr ? group : "";
    if (NameFits(name, why) && ProgManFile(host, why)) return true;
    Refuse(std::string(call) + ": " + why);
    return false;
}

BOOL CreateGroup(const char *call, LPCSTR group, LPCSTR path, bool common) {
    try {
        std::string why;
        std::string name;
        fs::path host;
        if (!GroupAndFile(call, group, name, host)) return FALSE;
        const GroupSet &set = SetOf(common);
        std::string file = path != nullptr ? path : "";
        // Asking again for a group that exists keeps its group file unless a new one is given.
        if (file.empty() && orv::profile::KeyExists(host, set.groups, name)) return TRUE;
        if (!Write(host, set.groups, name, file, why)) return Refuse(std::string(call) + ": " + why);
        return TRUE;
    } catch (...) {
        return Refuse(std::string(call) + ": out of memory");
    }
}

BOOL CreateItem(const char *call, LPCSTR group, LPCSTR itemText, LPCSTR command, bool common) {
    try {
        std::string why;
        std::string text = itemText != nullptr ? itemText : "";
        std::size_t comma = text.find(',');
        std::string name = text.substr(0, comma);
        std::string extra = comma == std::string::npos ? std::string() : text.substr(comma + 1);
        if (!NameFits(group != nullptr ? group : "", why)) return Refuse(std::string(call) + ": group: " + why);
        if (!NameFits(name, why)) return Refuse(std::string(call) + ": item \"" + text + "\": " + why);
        if (command == nullptr || command[0] == '\0') {
            return Refuse(std::string(call) + ": the item " + name + " of group " + group + " has no command line");
        }
        for (const char *c = command; *c != '\0'; ++c) {
            if (*c == '\r' || *c == '\n') return Refuse(std::string(call) + ": the command line of item " + name + " holds a line break");
        }
        for (char c : extra) {
            if (c == '\r' || c == '\n') return Refuse(std::string(call) + ": the icon of item " + name + " holds a line break");
        }
        if (!CreateGroup(call, group, "", common)) return FALSE;
        fs::path host;
        if (!ProgManFile(host, why)) return Refuse(std::string(call) + ": " + why);
        const GroupSet &set = SetOf(common);
        if (!Write(host, set.itemPrefix + std::string(group), name, command, why)) return Refuse(std::string(call) + ": " + why);
        std::string icons = set.iconPrefix + std::string(group);
        if (!extra.empty()) {
            if (!Write(host, icons, name, extra, why)) return Refuse(std::string(call) + ": " + why);
        } else if (orv::profile::KeyExists(host, icons, name)) {
            // The item made again without an icon loses the old one.
            if (!orv::profile::RemoveKey(host, icons, name, why)) return Refuse(std::string(call) + ": " + why);
        }
        return TRUE;
    } catch (...) {
        return Refuse(std::string(call) + ": out of memory");
    }
}

// The decimal text of a show command: an optional minus sign and digits, nothing else.
bool ParseShowCommand(const std::string &text, long &value) {
    std::size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    if (i >= text.size() || text.size() > 10) return false;
    for (std::size_t j = i; j < text.size(); ++j) {
        if (!std::isdigit(static_cast<unsigned char>(text[j]))) return false;
    }
    value = std::stol(text);
    return true;
}

BOOL ShowGroup(const char *call, LPCSTR group, LPCSTR command, bool common) {
    try {
        std::string why;
        std::string name;
        fs::path host;
        if (!GroupAndFile(call, group, name, host)) return FALSE;
        std::string text = command != nullptr ? command : "";
        long value = 0;
        if (!ParseShowCommand(text, value)) {
            return Refuse(std::string(call) + ": the show command \"" + text + "\" for group " + name + " is not a number");
        }
        if (value < kFirstShowCommand || value > kLastShowCommand) {
            return Refuse(std::string(call) + ": the show command " + text + " for group " + name + " is not one of 1 to 8");
        }
        const GroupSet &set = SetOf(common);
        if (!orv::profile::KeyExists(host, set.groups, name)) {
            return Refuse(std::string(call) + ": there is no " + set.kind + " " + name + " in PROGMAN.INI [" + set.groups + "]");
        }
        if (!Write(host, set.show, name, std::to_string(value), why)) return Refuse(std::string(call) + ": " + why);
        return TRUE;
    } catch (...) {
        return Refuse(std::string(call) + ": out of memory");
    }
}

}  // namespace

BOOL FCreateProgManGroup(LPCSTR group, LPCSTR path, int mode) {
    (void)mode;
    return CreateGroup("FCreateProgManGroup", group, path, false);
}

BOOL FCreateProgManGroupEx(LPCSTR group, LPCSTR path, int mode, BOOL common) {
    (void)mode;
    return CreateGroup("FCreateProgManGroupEx", group, path, common != FALSE);
}

BOOL FShowProgManGroup(LPCSTR group, LPCSTR command, int mode) {
    (void)mode;
    return ShowGroup("FShowProgManGroup", group, command, false);
}

BOOL FShowProgManGroupEx(LPCSTR group, BOOL common, LPCSTR command, int mode) {
    (void)mode;
    return ShowGroup("FShowProgManGroupEx", group, command, common != FALSE);
}

BOOL FCreateProgManItem(LPCSTR group, LPCSTR item, LPCSTR command, int mode) {
    (void)mode;
    return CreateItem("FCreateProgManItem", group, item, command, false);
}

BOOL FCreateProgManItemEx(LPCSTR group, BOOL common, LPCSTR item, LPCSTR command, int mode) {
    (void)mode;
    return CreateItem("FCreateProgManItemEx", group, item, command, common != FALSE);
}
