#include "platform/folder_trust.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>

namespace nuv {

namespace {

constexpr char kEveryone[] = "S-1-1-0";
constexpr char kOwnerRights[] = "S-1-3-4";
constexpr uint32_t kFolderAllAccess = 0x1F01FF;  // FILE_ALL_ACCESS

struct Code {
  const char* letters;
  const char* value;  // a SID, or for a right its mask in hex
};

// The well-known aliases the system prints for SIDs. Those relative to a
// domain or to this computer (DU, LA, ...) stand for themselves: only the
// alias is known here.
constexpr Code kSidAliases[] = {
    {"AA", "S-1-5-32-579"}, {"AC", "S-1-15-2-1"},   {"AN", "S-1-5-7"},
    {"AO", "S-1-5-32-548"}, {"AP", "AP"},           {"AS", "S-1-18-1"},
    {"AU", "S-1-5-11"},     {"BA", "S-1-5-32-544"}, {"BG", "S-1-5-32-546"},
    {"BO", "S-1-5-32-551"}, {"BU", "S-1-5-32-545"}, {"CA", "CA"},
    {"CD", "S-1-5-32-574"}, {"CG", "S-1-3-1"},      {"CN", "CN"},
    {"CO", "S-1-3-0"},      {"CY", "S-1-5-32-569"}, {"DA", "DA"},
    {"DC", "DC"},           {"DD", "DD"},           {"DG", "DG"},
    {"DU", "DU"},           {"EA", "EA"},           {"ED", "S-1-5-9"},
    {"EK", "EK"},           {"ER", "S-1-5-32-573"}, {"ES", "S-1-5-32-576"},
    {"HA", "S-1-5-32-578"}, {"HI", "S-1-16-12288"}, {"IS", "S-1-5-32-568"},
    {"IU", "S-1-5-4"},      {"KA", "KA"},           {"LA", "LA"},
    {"LG", "LG"},           {"LS", "S-1-5-19"},     {"LU", "S-1-5-32-559"},
    {"LW", "S-1-16-4096"},  {"ME", "S-1-16-8192"},  {"MP", "S-1-16-8448"},
    {"MU", "S-1-5-32-558"}, {"NO", "S-1-5-32-556"}, {"NS", "S-1-5-20"},
    {"NU", "S-1-5-2"},      {"OW", "S-1-3-4"},      {"PA", "PA"},
    {"PO", "S-1-5-32-550"}, {"PS", "S-1-5-10"},     {"PU", "S-1-5-32-547"},
    {"RA", "S-1-5-32-575"}, {"RC", "S-1-5-12"},     {"RD", "S-1-5-32-555"},
    {"RE", "S-1-5-32-552"}, {"RM", "S-1-5-32-580"}, {"RO", "RO"},
    {"RS", "RS"},           {"RU", "S-1-5-32-554"}, {"SA", "SA"},
    {"SI", "S-1-16-16384"}, {"SO", "S-1-5-32-549"}, {"SS", "S-1-18-2"},
    {"SU", "S-1-5-6"},      {"SY", "S-1-5-18"},     {"UD", "S-1-5-84-0-0-0-0-0"},
    {"WD", "S-1-1-0"},      {"WR", "S-1-5-33"},
};

// The rights' letter codes; generic rights as a folder reads them.
constexpr Code kRightCodes[] = {
    {"GA", "1F01FF"}, {"GR", "120089"}, {"GW", "120116"}, {"GX", "1200A0"}, {"FA", "1F01FF"},
    {"FR", "120089"}, {"FW", "120116"}, {"FX", "1200A0"}, {"RC", "20000"},  {"SD", "10000"},
    {"WD", "40000"},  {"WO", "80000"},  {"CC", "1"},      {"DC", "2"},      {"LC", "4"},
    {"SW", "8"},      {"RP", "10"},     {"WP", "20"},     {"DT", "40"},     {"LO", "80"},
    {"CR", "100"},    {"KA", "F003F"},  {"KR", "20019"},
};

std::optional<uint32_t> ParseNumber(std::string_view text, int base) {
  uint32_t value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// Generic rights (and MAXIMUM_ALLOWED) in a mask become what they give on a
// folder.
uint32_t MapGeneric(uint32_t mask) {
  uint32_t rights = mask & 0x00FFFFFF;
  if (mask & 0x10000000) rights |= kFolderAllAccess;
  if (mask & 0x80000000) rights |= 0x120089;
  if (mask & 0x40000000) rights |= 0x120116;
  if (mask & 0x20000000) rights |= 0x1200A0;
  if (mask & 0x02000000) rights |= kFolderAllAccess;
  return rights;
}

std::optional<uint32_t> ParseRights(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    auto value = ParseNumber(text.substr(2), 16);
    return value ? std::optional(MapGeneric(*value)) : std::nullopt;
  }
  if (!text.empty() && text[0] >= '0' && text[0] <= '9') {
    auto value = ParseNumber(text, 10);
    return value ? std::optional(MapGeneric(*value)) : std::nullopt;
  }
  if (text.empty() || text.size() % 2 != 0) return std::nullopt;
  uint32_t rights = 0;
  for (size_t i = 0; i < text.size(); i += 2) {
    const std::string_view pair = text.substr(i, 2);
    auto code = std::find_if(std::begin(kRightCodes), std::end(kRightCodes),
                             [&](const Code& c) { return pair == c.letters; });
    if (code == std::end(kRightCodes)) return std::nullopt;
    rights |= *ParseNumber(code->value, 16);
  }
  return rights;
}

std::optional<std::string> ParseSid(std::string_view text) {
  if (text.size() == 2) {
    auto alias = std::find_if(std::begin(kSidAliases), std::end(kSidAliases),
                              [&](const Code& c) { return text == c.letters; });
    if (alias == std::end(kSidAliases)) return std::nullopt;
    return std::string(alias->value);
  }
  // S-1-<authority>-<sub-authority>..., numbers only.
  if (text.size() < 5 || text.substr(0, 4) != "S-1-" || text.back() == '-') return std::nullopt;
  for (size_t i = 4; i < text.size(); ++i) {
    const char c = text[i];
    if (!(c >= '0' && c <= '9') && !(c == '-' && text[i - 1] != '-')) return std::nullopt;
  }
  return std::string(text);
}

// "(type;flags;rights;object;inherited object;sid)"
std::optional<AccessEntry> ParseEntry(std::string_view text) {
  std::array<std::string_view, 6> fields;
  size_t field = 0;
  for (size_t start = 0;; ++field) {
    const size_t stop = text.find(';', start);
    if (field >= fields.size()) return std::nullopt;
    fields[field] = text.substr(start, stop == std::string_view::npos ? stop : stop - start);
    if (stop == std::string_view::npos) break;
    start = stop + 1;
  }
  if (field != fields.size() - 1 || !fields[3].empty() || !fields[4].empty()) return std::nullopt;
  AccessEntry entry;
  if (fields[0] == "D") {
    entry.allow = false;
  } else if (fields[0] != "A") {
    return std::nullopt;
  }
  const std::string_view flags = fields[1];
  if (flags.size() % 2 != 0) return std::nullopt;
  for (size_t i = 0; i < flags.size(); i += 2) {
    const std::string_view flag = flags.substr(i, 2);
    if (flag == "IO") {
      entry.inheritOnly = true;
    } else if (flag != "OI" && flag != "CI" && flag != "NP" && flag != "ID") {
      return std::nullopt;
    }
  }
  auto rights = ParseRights(fields[2]);
  auto sid = ParseSid(fields[5]);
  if (!rights || !sid) return std::nullopt;
  entry.rights = *rights;
  entry.sid = std::move(*sid);
  return entry;
}

// Where the next part ("O:", "G:", "D:", "S:") starts, from `from` on.
size_t NextPart(std::string_view sddl, size_t from) {
  for (size_t i = from; i + 1 < sddl.size(); ++i) {
    if (sddl[i + 1] == ':' && std::string_view("OGDS").find(sddl[i]) != std::string_view::npos) {
      return i;
    }
  }
  return sddl.size();
}

std::optional<std::optional<std::vector<AccessEntry>>> ParseDacl(std::string_view text) {
  const size_t first = text.find('(');
  const std::string_view flags = text.substr(0, first);
  if (flags == "NO_ACCESS_CONTROL") return std::optional<std::vector<AccessEntry>>();
  for (size_t i = 0; i < flags.size();) {
    if (flags.substr(i, 2) == "AI" || flags.substr(i, 2) == "AR") {
      i += 2;
    } else if (flags[i] == 'P') {
      ++i;
    } else {
      return std::nullopt;
    }
  }
  std::vector<AccessEntry> entries;
  for (size_t at = first; at < text.size();) {
    if (text[at] != '(') return std::nullopt;
    const size_t close = text.find(')', at);
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view inner = text.substr(at + 1, close - at - 1);
    if (inner.find('(') != std::string_view::npos) return std::nullopt;
    auto entry = ParseEntry(inner);
    if (!entry) return std::nullopt;
    entries.push_back(std::move(*entry));
    at = close + 1;
  }
  return std::optional(std::move(entries));
}

}  // namespace

std::optional<ParsedDescriptor> ParseSecurityDescriptor(std::string_view sddl) {
  ParsedDescriptor descriptor;
  bool owner = false;
  bool dacl = false;
  if (NextPart(sddl, 0) != 0) return std::nullopt;  // text before the first part
  for (size_t at = 0; at < sddl.size();) {
    const char part = sddl[at];
    const size_t next = part == 'S' ? sddl.size() : NextPart(sddl, at + 2);
    const std::string_view body = sddl.substr(at + 2, next - at - 2);
    if (part == 'O') {
      auto sid = ParseSid(body);
      if (owner || !sid) return std::nullopt;
      descriptor.owner = std::move(*sid);
      owner = true;
    } else if (part == 'D') {
      auto entries = ParseDacl(body);
      if (dacl || !entries) return std::nullopt;
      descriptor.dacl = std::move(*entries);
      dacl = true;
    }
    at = next;
  }
  if (!owner || !dacl) return std::nullopt;
  return descriptor;
}

uint32_t RightsOf(const ParsedDescriptor& descriptor, std::string_view sid) {
  if (!descriptor.dacl) return 0xFFFFFFFF;
  const auto& dacl = *descriptor.dacl;
  const bool owner = sid == descriptor.owner;
  const bool ownerRightsSaid = std::any_of(dacl.begin(), dacl.end(), [](const AccessEntry& e) {
    return !e.inheritOnly && e.sid == kOwnerRights;
  });
  uint32_t granted =
      owner && !ownerRightsSaid ? folder_right::kReadControl | folder_right::kWriteDac : 0;
  uint32_t denied = 0;
  for (const AccessEntry& entry : dacl) {
    const bool applies =
        entry.sid == sid || entry.sid == kEveryone || (owner && entry.sid == kOwnerRights);
    if (entry.inheritOnly || !applies) continue;
    if (entry.allow) {
      granted |= entry.rights & ~denied;
    } else {
      denied |= entry.rights & ~granted;
    }
  }
  return granted;
}

const std::vector<std::string>& BuiltInNormalUserSids() {
  static const std::vector<std::string> sids{
      "S-1-1-0",      "S-1-5-11",     "S-1-5-32-545", "S-1-5-4",      "S-1-2-0",
      "S-1-2-1",      "S-1-5-7",      "S-1-5-2",      "S-1-5-3",      "S-1-5-13",
      "S-1-5-14",     "S-1-5-12",     "S-1-5-33",     "S-1-5-113",    "S-1-5-32-546",
      "S-1-5-32-547", "S-1-5-32-554", "S-1-5-32-555", "S-1-5-32-558", "S-1-5-32-559",
      "S-1-15-2-1",   "S-1-15-2-2",   "DU",           "DG",           "LG"};
  return sids;
}

std::vector<std::string> NormalUserSids(const std::string& desktopUser, bool desktopUserIsAdmin,
                                        const std::vector<std::string>& desktopUserGroups) {
  std::vector<std::string> sids = BuiltInNormalUserSids();
  for (const std::string& group : desktopUserGroups) {
    // Administrators, "local account and member of Administrators", integrity labels.
    if (group == "S-1-5-32-544" || group == "S-1-5-114" || group.rfind("S-1-16-", 0) == 0) {
      continue;
    }
    sids.push_back(group);
  }
  if (!desktopUser.empty() && !desktopUserIsAdmin) sids.push_back(desktopUser);
  std::sort(sids.begin(), sids.end());
  sids.erase(std::unique(sids.begin(), sids.end()), sids.end());
  return sids;
}

std::optional<std::vector<Text>> FoldersFromRoot(TextView folder) {
  const auto letter = [](char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
  };
  if (folder.size() < 2 || !letter(folder[0]) || folder[1] != u':') return std::nullopt;
  if (folder.size() > 2 && folder[2] != u'\\' && folder[2] != u'/') return std::nullopt;
  std::vector<Text> folders{Text(folder.substr(0, 2)) + u"\\"};
  Text path = folders.front();
  size_t start = 3;
  while (start < folder.size()) {
    size_t stop = folder.find_first_of(u"\\/", start);
    if (stop == TextView::npos) stop = folder.size();
    const TextView name = folder.substr(start, stop - start);
    const bool last = stop + 1 >= folder.size();  // a trailing separator ends the path
    if ((name.empty() && !last) || name == u"." || name == u".." ||
        name.find_first_of(u":*?\"<>|") != TextView::npos) {
      return std::nullopt;
    }
    if (!name.empty()) {
      if (folders.size() > 1) path += u"\\";
      path += name;
      folders.push_back(path);
    }
    start = stop + 1;
  }
  return folders;
}

FolderVerdict CheckInstallPath(const std::vector<PathFolder>& path,
                               const std::vector<std::string>& normalUserSids) {
  if (path.empty()) return {FolderRisk::kNotLocal, 0};
  uint32_t parentRights = 0;  // what a normal user may do in the folder above
  for (size_t i = 0; i < path.size(); ++i) {
    const PathFolder& folder = path[i];
    const bool root = i == 0;
    const bool install = i + 1 == path.size();
    if (!root && (parentRights & folder_right::kDeleteChild)) return {FolderRisk::kRenamable, i};
    parentRights = 0;
    if (!folder.exists) continue;  // made by the setup, administrators' alone
    if (folder.link) return {FolderRisk::kLink, i};
    auto descriptor = ParseSecurityDescriptor(folder.descriptor);
    if (!descriptor) return {FolderRisk::kUnreadable, i};
    for (const std::string& sid : normalUserSids) parentRights |= RightsOf(*descriptor, sid);
    if (!root && (parentRights & folder_right::kDelete)) return {FolderRisk::kRenamable, i};
    if (parentRights & (folder_right::kWriteDac | folder_right::kWriteOwner)) {
      return {FolderRisk::kPermissions, i};
    }
    if (install && (parentRights & (folder_right::kAddFile | folder_right::kAddSubfolder))) {
      return {FolderRisk::kFilesPutInto, i};
    }
  }
  return {};
}

}  // namespace nuv
