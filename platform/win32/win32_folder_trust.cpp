#include "platform/win32/win32_folder_trust.h"

// windows.h comes first: the other system headers rely on it.
#include "platform/win32/win32_text.h"

#include <aclapi.h>
#include <sddl.h>

#include "platform/win32/win32_shell.h"

namespace nuv::win32 {

namespace {

std::string SidText(PSID sid) {
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(sid, &text)) return std::string();
  std::string result = Narrow(FromW(text));
  LocalFree(text);
  return result;
}

std::vector<unsigned char> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS what) {
  DWORD size = 0;
  GetTokenInformation(token, what, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  if (size == 0 || !GetTokenInformation(token, what, buffer.data(), size, &size)) buffer.clear();
  return buffer;
}

std::string DescriptorText(const Text& folder) {
  constexpr SECURITY_INFORMATION kWhat = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(W(folder), SE_FILE_OBJECT, kWhat, nullptr, nullptr, nullptr, nullptr,
                            &descriptor) != ERROR_SUCCESS) {
    return std::string();
  }
  wchar_t* text = nullptr;
  std::string result;
  if (ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, kWhat,
                                                           &text, nullptr)) {
    result = Narrow(FromW(text));
    LocalFree(text);
  }
  LocalFree(descriptor);
  return result;
}

}  // namespace

std::vector<PathFolder> ReadPathFolders(const std::vector<Text>& folders) {
  std::vector<PathFolder> path;
  for (const Text& folder : folders) {
    PathFolder entry;
    const DWORD attributes = GetFileAttributesW(W(folder));
    const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    entry.exists = !(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
    if (entry.exists && error == 0) {
      entry.link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      // A file where a folder should be is left unreadable: refused.
      if (attributes & FILE_ATTRIBUTE_DIRECTORY) entry.descriptor = DescriptorText(folder);
    }
    path.push_back(std::move(entry));
  }
  return path;
}

std::vector<std::string> NormalUserSidsHere() {
  std::string user;
  bool admin = false;
  std::vector<std::string> groups;
  if (HANDLE shell = OpenDesktopShell()) {
    HANDLE token = nullptr;
    if (OpenProcessToken(shell, TOKEN_QUERY, &token)) {
      auto owner = TokenInformation(token, TokenUser);
      if (!owner.empty()) user = SidText(reinterpret_cast<TOKEN_USER*>(owner.data())->User.Sid);
      auto list = TokenInformation(token, TokenGroups);
      if (!list.empty()) {
        const auto* tokenGroups = reinterpret_cast<TOKEN_GROUPS*>(list.data());
        for (DWORD i = 0; i < tokenGroups->GroupCount; ++i) {
          PSID sid = tokenGroups->Groups[i].Sid;
          if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) admin = true;
          groups.push_back(SidText(sid));
        }
      }
      CloseHandle(token);
    }
    CloseHandle(shell);
  }
  return NormalUserSids(user, admin, groups);
}

InstallPathResult PrepareInstallPath(const Text& installFolder, const Text& descriptor) {
  InstallPathResult result;
  result.folder = installFolder;
  const auto folders = FoldersFromRoot(installFolder);
  if (!folders) {
    result.verdict = {FolderRisk::kNotLocal, 0};
    return result;
  }
  const std::vector<std::string> normalUsers = NormalUserSidsHere();
  PSECURITY_DESCRIPTOR made = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(W(descriptor), SDDL_REVISION_1, &made,
                                                            nullptr)) {
    result.error = GetLastError();
    return result;
  }
  // Each round settles one folder more; a folder that another process makes
  // in between costs one round, which a bound keeps from going on forever.
  result.error = ERROR_RETRY;
  for (int round = 0; round < 64; ++round) {
    const std::vector<PathFolder> path = ReadPathFolders(*folders);
    result.verdict = CheckInstallPath(path, normalUsers);
    size_t missing = 0;
    while (missing < path.size() && path[missing].exists) ++missing;
    if (result.verdict.risk != FolderRisk::kNone || missing == path.size()) {
      if (result.verdict.risk != FolderRisk::kNone)
        result.folder = (*folders)[result.verdict.folder];
      result.error = 0;
      break;
    }
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), made, FALSE};
    result.folder = (*folders)[missing];
    if (!CreateDirectoryW(W(result.folder), &attributes)) {
      const DWORD error = GetLastError();
      if (error != ERROR_ALREADY_EXISTS) {
        result.error = error;
        break;
      }
    }
  }
  LocalFree(made);
  return result;
}

}  // namespace nuv::win32
