// Whether a folder can be trusted to hold a program that runs with
// administrator rights: no one but an administrator may rename or delete it or
// any folder above it, change their permissions or owner, or (for the folder
// itself, when it exists already) have put files into it.
//
// The folders' security comes in the text form the system prints for a
// descriptor (owner and DACL, as ConvertSecurityDescriptorToStringSecurity-
// DescriptorW gives them), so the decision is made here, portably, and the
// Windows side only reads the descriptors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace nuv {

// The access rights of a file-system folder that matter here.
namespace folder_right {
constexpr uint32_t kAddFile = 0x2;          // FILE_ADD_FILE
constexpr uint32_t kAddSubfolder = 0x4;     // FILE_ADD_SUBDIRECTORY
constexpr uint32_t kDeleteChild = 0x40;     // FILE_DELETE_CHILD
constexpr uint32_t kDelete = 0x10000;       // DELETE
constexpr uint32_t kReadControl = 0x20000;  // READ_CONTROL
constexpr uint32_t kWriteDac = 0x40000;     // WRITE_DAC
constexpr uint32_t kWriteOwner = 0x80000;   // WRITE_OWNER
}  // namespace folder_right

// One access-control entry as far as a folder's own access goes.
struct AccessEntry {
  bool allow = true;
  bool inheritOnly = false;  // IO: only for what is created inside
  uint32_t rights = 0;       // generic rights already mapped to a folder's
  std::string sid;           // "S-1-..." or, for a domain-relative alias, the alias
};

struct ParsedDescriptor {
  std::string owner;  // as `AccessEntry::sid`; empty when the text has none
  // Absent: no DACL at all ("NO_ACCESS_CONTROL"), which grants everyone
  // everything.
  std::optional<std::vector<AccessEntry>> dacl;
};

// Parses owner and DACL of a descriptor's text form. Group and SACL parts are
// skipped. Anything this does not understand (an unknown ACE type, right or
// alias, an object's GUIDs, a condition) gives nothing: the caller refuses.
std::optional<ParsedDescriptor> ParseSecurityDescriptor(std::string_view sddl);

// The rights that a process holding `sid` (and Everyone, which every process
// holds) has on the folder itself, deny entries first as the system reads them
// in order. An owner has READ_CONTROL and WRITE_DAC besides, unless an
// OWNER RIGHTS entry says what the owner has. Over-counts rather than
// under-counts: a deny entry for another group of the same user is not taken.
uint32_t RightsOf(const ParsedDescriptor& descriptor, std::string_view sid);

// The SIDs that every normal (non-administrator) user, or a program of one,
// may hold: Users, Authenticated Users, Everyone, Interactive and the other
// built-in groups of logons and ordinary users.
const std::vector<std::string>& BuiltInNormalUserSids();

// The SIDs counted as "a normal user" on this computer: the built-in ones and
// the groups of the desktop user's token, except administrators' groups and
// integrity labels, and that user's own SID when the user is no administrator.
std::vector<std::string> NormalUserSids(const std::string& desktopUser, bool desktopUserIsAdmin,
                                        const std::vector<std::string>& desktopUserGroups);

// A folder on the path from the drive's root down to the install folder.
struct PathFolder {
  bool exists = false;
  bool link = false;       // a junction, mount point or symbolic link
  std::string descriptor;  // the text form, when it exists
};

enum class FolderRisk {
  kNone,
  kNotLocal,      // not a folder on a drive letter (a share, a device path)
  kUnreadable,    // its descriptor could not be read or understood
  kLink,          // it leads elsewhere, whose folders above are not checked
  kRenamable,     // a normal user can delete or rename it
  kPermissions,   // a normal user can change its permissions or owner
  kFilesPutInto,  // the install folder exists and a normal user can put files into it
};

struct FolderVerdict {
  FolderRisk risk = FolderRisk::kNone;
  size_t folder = 0;  // which of the path's folders, when refused
};

// The folders from the drive's root down to `folder` ("C:\\", "C:\\Tools",
// "C:\\Tools\\Mouse"), each a full path; nothing for a path that is not a
// plain one on a drive letter (a share, a device or \\?\\ path, a relative
// one, "." or ".." in it, a stream name).
std::optional<std::vector<Text>> FoldersFromRoot(TextView folder);

// `path` runs from the drive's root (index 0) down to the install folder
// (the last); folders that do not exist yet are the ones the setup will create
// with the administrators-only descriptor. The first folder found at risk is
// named. The root's own DELETE is no risk (a root cannot be renamed), nor is
// the right to create new folders in a folder above the install folder.
FolderVerdict CheckInstallPath(const std::vector<PathFolder>& path,
                               const std::vector<std::string>& normalUserSids);

}  // namespace nuv
