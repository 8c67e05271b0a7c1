#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/folder_trust.h"

namespace nuv::test {
namespace {

#define TI "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
#define USER "S-1-5-21-1-2-3-1001"
// As Windows 10 prints them.
constexpr char kDriveRoot[] = "O:" TI "G:" TI
                              "D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICIIO;SDGXGWGR;;;AU)"
                              "(A;;LC;;;AU)(A;OICI;0x1200a9;;;BU)";
constexpr char kProgramFiles[] =
    "O:" TI "G:" TI "D:PAI(A;;FA;;;" TI ")(A;CIIO;GA;;;" TI
    ")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)(A;;0x1200a9;;;BU)"
    "(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;AC)(A;OICIIO;GXGR;;;AC)"
    "(A;;0x1200a9;;;S-1-15-2-2)(A;OICIIO;GXGR;;;S-1-15-2-2)";
constexpr char kUnderProgramFiles[] =
    "O:BAG:SYD:AI(A;ID;FA;;;" TI
    ")(A;ID;FA;;;SY)(A;OICIIOID;GA;;;SY)(A;ID;FA;;;BA)"
    "(A;ID;0x1200a9;;;BU)(A;OICIIOID;GXGR;;;BU)(A;OICIIOID;GA;;;CO)";
// Made under the root: inherits "Authenticated Users: Modify".
constexpr char kUnderRoot[] =
    "O:BAD:AI(A;ID;FA;;;BA)(A;OICIIOID;GA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)"
    "(A;ID;0x1301bf;;;AU)(A;OICIIOID;SDGXGWGR;;;AU)";
// What the setup gives the install folder, and what an earlier one gave it
// (without the app containers' read entries).
constexpr char kOurs[] =
    "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;AC)"
    "(A;OICI;0x1200a9;;;S-1-15-2-2)";
constexpr char kOursEarlier[] = "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
constexpr char kAdminsOnly[] = "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
// Wine makes descriptors up from Unix modes: 0755 and 0777.
constexpr char kWine755[] =
    "O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)"
    "(A;OICI;0x1200a9;;;WD)";
constexpr char kWine777[] =
    "O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)"
    "(A;OICI;0x1301ff;;;WD)";
constexpr char kMissing[] = "";
constexpr char kLink[] = "link";

std::string With(const char* entries) { return std::string(kAdminsOnly) + entries; }

TEST(FolderTrust, InstallPathDecision) {
  struct Case {
    std::vector<std::string> path;  // root first; "" does not exist yet
    FolderRisk risk;
    size_t folder = 0;
    bool userIsAdmin = false;
  };
  const Case cases[] = {
      // Program Files, a fresh install, an upgrade over our own folder or an
      // older setup's.
      {{kDriveRoot, kProgramFiles, kMissing, kMissing}, FolderRisk::kNone},
      {{kDriveRoot, kProgramFiles, kOurs, kOurs}, FolderRisk::kNone},
      {{kDriveRoot, kProgramFiles, kOursEarlier, kOursEarlier}, FolderRisk::kNone},
      {{kDriveRoot, kOurs, kOurs}, FolderRisk::kNone},
      {{kDriveRoot, kProgramFiles, kUnderProgramFiles, kUnderProgramFiles}, FolderRisk::kNone},
      // /D= under the root: what the setup makes is protected; a folder that
      // inherited the root's Modify entry is not.
      {{kDriveRoot, kMissing, kMissing}, FolderRisk::kNone},
      {{kDriveRoot, kUnderRoot, kMissing}, FolderRisk::kRenamable, 1},
      {{kDriveRoot, kOurs, kUnderRoot}, FolderRisk::kRenamable, 2},
      // The install folder exists: adding files counts there only.
      {{kDriveRoot, With("(A;;0x1200af;;;BU)"), kOurs}, FolderRisk::kNone},
      {{kDriveRoot, kOurs, With("(A;;0x1200af;;;BU)")}, FolderRisk::kFilesPutInto, 2},
      {{kDriveRoot, kOurs, With("(A;;GW;;;IU)")}, FolderRisk::kFilesPutInto, 2},
      // Delete a child in the folder above, on an existing or a new folder;
      // the root's own delete is no risk, its permissions are.
      {{kDriveRoot, With("(A;;DT;;;WD)"), kMissing}, FolderRisk::kRenamable, 2},
      {{With("(A;;DTSD;;;AU)"), kMissing}, FolderRisk::kRenamable, 1},
      {{With("(A;;SD;;;AU)"), kMissing}, FolderRisk::kNone},
      {{With("(A;;WD;;;BU)"), kMissing}, FolderRisk::kPermissions, 0},
      {{kDriveRoot, With("(A;;WO;;;BU)")}, FolderRisk::kPermissions, 1},
      {{kDriveRoot, With("(A;;0x10000;;;BU)")}, FolderRisk::kRenamable, 1},
      {{kDriveRoot, With("(A;;65536;;;BU)")}, FolderRisk::kRenamable, 1},
      {{kDriveRoot, With("(A;;0x10000000;;;NU)")}, FolderRisk::kRenamable, 1},
      {{kDriveRoot, With("(A;;0x1301bf;;;DU)")}, FolderRisk::kRenamable, 1},
      {{kDriveRoot, "O:BAD:NO_ACCESS_CONTROL"}, FolderRisk::kRenamable, 1},
      // Inherit-only entries do not reach the folder itself.
      {{kDriveRoot, With("(A;OICIIO;FA;;;BU)"), kMissing}, FolderRisk::kNone},
      // Deny entries count in order, and only for a SID every such user has.
      {{kDriveRoot, With("(D;;SD;;;WD)(A;;0x1301bf;;;AU)"), kMissing}, FolderRisk::kNone},
      {{kDriveRoot, With("(A;;0x1301bf;;;AU)(D;;SD;;;WD)")}, FolderRisk::kRenamable, 1},
      {{kDriveRoot, With("(D;;SD;;;BU)(A;;0x1301bf;;;AU)")}, FolderRisk::kRenamable, 1},
      // The owner may change the permissions, unless OWNER RIGHTS say otherwise;
      // the desktop user counts only when no administrator.
      {{kDriveRoot, "O:" USER "D:PAI(A;OICI;FA;;;SY)"}, FolderRisk::kPermissions, 1},
      {{kDriveRoot, "O:" USER "D:PAI(A;OICI;FA;;;SY)(A;;0x1200a9;;;OW)"}, FolderRisk::kNone},
      {{kDriveRoot, "O:" USER "D:PAI(A;OICI;FA;;;SY)"}, FolderRisk::kNone, 0, true},
      {{kDriveRoot, With("(A;;FA;;;" USER ")")}, FolderRisk::kRenamable, 1},
      {{kDriveRoot, With("(A;;FA;;;" USER ")")}, FolderRisk::kNone, 0, true},
      // Wine's folders: the prefix's, and one that every Unix user may write.
      {{kWine755, kWine755, kMissing}, FolderRisk::kNone, 0, true},
      {{kWine755, kWine777, kMissing}, FolderRisk::kRenamable, 1, true},
      // What is not understood, or leads elsewhere, is refused.
      {{kDriveRoot, kLink, kMissing}, FolderRisk::kLink, 1},
      {{kDriveRoot, "O:BAD:PAI(A;OICI;FA;;;SY"}, FolderRisk::kUnreadable, 1},
      {{kDriveRoot, "D:PAI(A;OICI;FA;;;SY)"}, FolderRisk::kUnreadable, 1},
      {{kDriveRoot, "O:BA"}, FolderRisk::kUnreadable, 1},
      {{kDriveRoot, "O:BAD:P(A;;FA;;;ZZ)"}, FolderRisk::kUnreadable, 1},
      {{kDriveRoot, "O:BAD:P(A;;FA;;;S-1-)"}, FolderRisk::kUnreadable, 1},
      {{kDriveRoot, "O:BAD:P(A;;XY;;;BA)"}, FolderRisk::kUnreadable, 1},
      {{kDriveRoot, "O:BAD:P(A;;0x;;;BA)"}, FolderRisk::kUnreadable, 1},
      {{kDriveRoot, "O:BAD:P(OA;;FA;bf967aba-0de6-11d0-a285-00aa003049e2;;WD)"},
       FolderRisk::kUnreadable,
       1},
      {{kDriveRoot, "O:BAD:P(XA;;FA;;;WD;(Member_of {SID(BA)}))"}, FolderRisk::kUnreadable, 1},
      {{kDriveRoot, "xO:BAD:P"}, FolderRisk::kUnreadable, 1},
      {{}, FolderRisk::kNotLocal},
  };
  for (const Case& c : cases) {
    std::vector<PathFolder> path;
    for (const std::string& folder : c.path) {
      path.push_back({!folder.empty(), folder == kLink, folder});
    }
    const auto sids = NormalUserSids(USER, c.userIsAdmin, {"S-1-5-21-1-2-3-513", "S-1-16-8192"});
    const FolderVerdict verdict = CheckInstallPath(path, sids);
    std::string trace;
    for (const std::string& folder : c.path) trace += "\n  " + folder;
    EXPECT_EQ(verdict.risk, c.risk) << trace;
    if (c.risk != FolderRisk::kNone) {
      EXPECT_EQ(verdict.folder, c.folder) << trace;
    }
  }
}

TEST(FolderTrust, FoldersFromTheDrivesRoot) {
  using Folders = std::vector<Text>;
  EXPECT_EQ(FoldersFromRoot(u"C:\\Tools & Co\\Mouse"),
            (Folders{u"C:\\", u"C:\\Tools & Co", u"C:\\Tools & Co\\Mouse"}));
  EXPECT_EQ(FoldersFromRoot(u"d:/x/"), (Folders{u"d:\\", u"d:\\x"}));
  EXPECT_EQ(FoldersFromRoot(u"C:"), (Folders{u"C:\\"}));
  for (const char16_t* refused : {u"\\\\server\\share\\x", u"\\\\?\\C:\\x", u"C:x", u"C:\\a\\..\\b",
                                  u"C:\\a\\\\b", u"C:\\a:stream", u"x", u""}) {
    EXPECT_EQ(FoldersFromRoot(refused), std::nullopt) << Narrow(refused);
  }
}

}  // namespace
}  // namespace nuv::test
