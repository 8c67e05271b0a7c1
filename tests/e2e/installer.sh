#!/usr/bin/env bash
# The setup program as an administrator deploys it: silent installs and
# uninstalls of dist/NUV_Talv-setup.exe in a Wine prefix of its own, made
# fresh here, checked by the files, the registry, the Start menu, the
# version Windows reads from the exe, and the installed program itself.
#
#   1. Silent install into Program Files: every file of dist/ in place, the
#      shortcut, the uninstall entry, the logon task's definition exactly as
#      registered (Wine keeps a task's settings but neither its trigger, its
#      principal nor its command: those are read from the definition the
#      setup registered from the program's folder): at the logon of any
#      administrator, no user named; the version resource.
#   2. The task's command (with the virtual mouse before -HIDE) starts the
#      installed program hidden in the tray, and it applies.
#   3. A second silent install over the running program closes it, keeps the
#      changed config.ini and macro files and registers the task again; a
#      third, with /NOAUTOSTART, removes the logon task, and a fourth keeps
#      it off. Meanwhile a program of the user holds the single-instance
#      mutex's old name and a window with the program's title that ignores
#      WM_CLOSE: the setup still closes the program, and the program still
#      starts.
#   4. A silent uninstall leaves no installed file, shortcut, entry or task;
#      the user's settings stay; nor does it leave its plugins folder.
#   5. A folder given with /D= whose name needs escaping in the task's XML;
#      the setup gives it the administrators-only security before installing
#      (Wine returns success but keeps no ACL, so the request is read from
#      Wine's trace of the calls), and the parent it makes gets that security
#      from its creation (seen in the Unix mode Wine derives from it). A
#      folder below one that every user may change is refused (error level 3)
#      and nothing is installed. An uninstall answered Yes to deleting the
#      settings leaves no folder of ours.
#   6. Signing with a throwaway certificate made here: the exe, the setup and
#      the uninstaller it writes carry signatures that osslsigncode accepts
#      against that certificate, and the signed setup installs.
#
# Needs DISPLAY and a built dist/ (with the setup program). Makes and removes
# its own WINEPREFIX.
set -u
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
RESULTS="${1:-$ROOT/build/results}"
. "$ROOT/tests/e2e/lib.sh"
. "$ROOT/scripts/common.sh"
rm -rf "$APP"

SETUP="$ROOT/dist/NUV_Talv-setup.exe"
[ -f "$SETUP" ] || { echo "e2e FAIL: $SETUP was not built"; exit 1; }
VERSION=$(sed -n 's/^#define NUV_VERSION_TEXT "\(.*\)"/\1/p' "$ROOT/build/win/generated/nuv_version.h")
PROBE_DIR="$ROOT/build/win/bench"

export WINEPREFIX
WINEPREFIX="$(mktemp -d /tmp/nuv-setup-XXXXXX)"
prepare_wine_prefix
DRIVE="$WINEPREFIX/drive_c"
PROGRAM_DIR="$DRIVE/Program Files/QUARVEL/NUV_Talv"
SHORTCUT="$DRIVE/ProgramData/Microsoft/Windows/Start Menu/Programs/$TITLE.lnk"
TASK_STORE="$DRIVE/windows/system32/tasks/NUV_Talv"
ENTRY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\NUV_Talv'
USER_FILES="config.ini Macro_EN.dat Macro_CN.dat"

# The files of dist/ that the setup installs, relative, one per line.
shipped_files() {
  (cd "$ROOT/dist" && find . -type f ! -name NUV_Talv-setup.exe ! -name 'virtual_mouse.*' | sed 's|^\./||' | sort)
}
is_user_file() { case " $USER_FILES " in *" $1 "*) return 0 ;; esac; return 1; }

entry_value() {  # name
  wine reg query "$ENTRY" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v n="$1" '$1 == n {sub(/^ *[^ ]+ +[^ ]+ +/, ""); print}'
}

# Runs the setup or the uninstaller and waits until every process it
# started (the uninstaller runs a copy of itself) has ended.
run_and_wait() {  # windows-or-linux-program args...
  wine "$@" >>"$LOG" 2>&1
  local rc=$?
  timeout 60 wineserver -w 2>/dev/null
  return $rc
}

# The definition the setup must register for a program folder.
expected_task() {  # folder (as it appears in the XML)
  cat <<EOF
<?xml version="1.0" encoding="UTF-16"?>
<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
  <RegistrationInfo>
    <Author>QUARVEL</Author>
    <Description>Starts the $TITLE utility hidden in the tray at logon.</Description>
  </RegistrationInfo>
  <Triggers>
    <LogonTrigger>
      <Enabled>true</Enabled>
    </LogonTrigger>
  </Triggers>
  <Principals>
    <Principal id="Author">
      <GroupId>S-1-5-32-544</GroupId>
      <RunLevel>HighestAvailable</RunLevel>
    </Principal>
  </Principals>
  <Settings>
    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>
    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>
    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>
    <AllowHardTerminate>true</AllowHardTerminate>
    <StartWhenAvailable>false</StartWhenAvailable>
    <AllowStartOnDemand>true</AllowStartOnDemand>
    <Enabled>true</Enabled>
    <Hidden>false</Hidden>
    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>
    <Priority>4</Priority>
  </Settings>
  <Actions Context="Author">
    <Exec>
      <Command>"$1\NUV_Talv.exe"</Command>
      <Arguments>-HIDE</Arguments>
      <WorkingDirectory>$1</WorkingDirectory>
    </Exec>
  </Actions>
</Task>
EOF
}
task_definition() {  # program-dir (Linux path)
  iconv -f UTF-16 -t UTF-8 "$1/StartWithWindows.xml" 2>/dev/null | tr -d '\r'
}
check_task() {  # program-dir windows-folder-as-xml what
  diff <(expected_task "$2") <(task_definition "$1") >"$RESULTS/setup-task.diff" ||
    fail "$3: the logon task's definition differs (see $RESULTS/setup-task.diff)"
  [ -f "$TASK_STORE" ] || { fail "$3: no task NUV_Talv registered"; return; }
  local setting
  for setting in "<ExecutionTimeLimit>PT0S<" "<Priority>4<" "<DisallowStartIfOnBatteries>false<"; do
    grep -q "$setting" "$TASK_STORE" || fail "$3: the registered task lacks $setting"
  done
}

# ---- 1. Silent install ----
run_and_wait "$SETUP" /S || fail "the silent install exited with an error"
while read -r file; do
  cmp -s "$ROOT/dist/$file" "$PROGRAM_DIR/$file" || fail "installed $file is missing or differs from dist/"
done < <(shipped_files)
[ -f "$PROGRAM_DIR/uninstall.exe" ] || fail "no uninstall.exe"
[ -f "$SHORTCUT" ] || fail "no Start menu shortcut '$TITLE'"
for pair in "DisplayName=$TITLE" "DisplayVersion=$VERSION" "Publisher=QUARVEL" \
            "InstallLocation=C:\\Program Files\\QUARVEL\\NUV_Talv" \
            "DisplayIcon=C:\\Program Files\\QUARVEL\\NUV_Talv\\NUV_Talv.exe,0" \
            "UninstallString=\"C:\\Program Files\\QUARVEL\\NUV_Talv\\uninstall.exe\"" \
            "QuietUninstallString=\"C:\\Program Files\\QUARVEL\\NUV_Talv\\uninstall.exe\" /S"; do
  got=$(entry_value "${pair%%=*}")
  [ "$got" = "${pair#*=}" ] || fail "uninstall entry ${pair%%=*} is '$got', not '${pair#*=}'"
done
size=$(entry_value EstimatedSize)
[ $((size)) -gt 1000 ] || fail "uninstall entry EstimatedSize is '$size'"
check_task "$PROGRAM_DIR" 'C:\Program Files\QUARVEL\NUV_Talv' "install"

# The version resource, as the resource table lists it (type 16) and as
# Windows reads it from the installed exe.
x86_64-w64-mingw32-objdump -p "$ROOT/dist/NUV_Talv.exe" | grep -qE '^[0-9a-f]+   Entry: ID: 0x000010,' ||
  fail "objdump -p shows no version resource (type 16) in NUV_Talv.exe"
versions=$(wine "$PROBE_DIR/file_version.exe" 'C:\Program Files\QUARVEL\NUV_Talv\NUV_Talv.exe' 2>/dev/null | tr -d '\r')
for line in "ProductName=$TITLE" "CompanyName=QUARVEL" "FileVersion=$VERSION" \
            "ProductVersion=$VERSION" "binary=$VERSION" "OriginalFilename=NUV_Talv.exe"; do
  grep -qxF "$line" <<<"$versions" || fail "version resource: no '$line' (got: $(tr '\n' ';' <<<"$versions"))"
done

# ---- 2. The task's command starts the installed program hidden ----
APP="$PROGRAM_DIR" TRACE="$PROGRAM_DIR/virtual_mouse.trace" CONFIG="$PROGRAM_DIR/config.ini"
command=$(task_definition "$PROGRAM_DIR" | sed -n 's|.*<Command>"\(.*\)"</Command>.*|\1|p')
arguments=$(task_definition "$PROGRAM_DIR" | sed -n 's|.*<Arguments>\(.*\)</Arguments>.*|\1|p')
wine "$command" -VIRTUALMOUSE "$arguments" >>"$LOG" 2>&1 &
if find_window "^$TITLE\$" 60 >/dev/null; then
  sleep 3
  case "$(window_state)" in *visible=0*) ;; *) fail "the task's command left the window shown: $(window_state)" ;; esac
  [ "$(grep -c '^F 07 10 ' "$TRACE" 2>/dev/null)" -eq 7 ] || fail "the installed program did not apply"
  # The About box names the same version.
  about=$(wine "$STATE_PROBE" about 2>>"$LOG" | tr -d "\r")
  expected=$(sed -n 's/^#define NUV_ABOUT_VERSION_LINE "\(.*\)"/\1/p' "$ROOT/build/win/generated/nuv_version.h")
  [ -n "$about" ] && [ "$about" = "$expected" ] || fail "the About box says '$about', not '$expected'"
else
  fail "the installed program did not start"
fi

# ---- 3. Upgrade over the running program, without the logon task ----
printf '[Upgrade]\r\nKept=1\r\n' >>"$CONFIG"
printf 'x' >>"$PROGRAM_DIR/Macro_EN.dat"
before=$(cd "$PROGRAM_DIR" && md5sum $USER_FILES)
# Any program of the user can take the old mutex name and the title first.
# (The setups run here without waiting for every process to end, which the
# squatter would not.)
wine "$SYSTEM_PROBE" squat >>"$LOG" 2>&1 &
squatter=$!
sleep 2
: >"$TRACE"
wine "$SETUP" /S >>"$LOG" 2>&1 || fail "the silent install over the running program exited with an error"
grep -q '^F 07 20' "$TRACE" || fail "the install did not close the running program (no 07 20 report)"
check_task "$PROGRAM_DIR" 'C:\Program Files\QUARVEL\NUV_Talv' "upgrade"
[ ! -e "$DRIVE/Program Files/NUV_Talv-setup.tmp" ] || fail "the setup left its plugins folder"
: >"$TRACE"
wine 'C:\Program Files\QUARVEL\NUV_Talv\NUV_Talv.exe' -VIRTUALMOUSE -HIDE >>"$LOG" 2>&1 &
for _ in $(seq 1 60); do
  [ "$(grep -c '^F 07 10 ' "$TRACE" 2>/dev/null)" -ge 7 ] && break
  sleep 1
done
[ "$(grep -c '^F 07 10 ' "$TRACE" 2>/dev/null)" -eq 7 ] ||
  fail "the program did not start while another program held its old mutex name and title"
wine "$SETUP" /S /NOAUTOSTART >>"$LOG" 2>&1 || fail "the silent install with /NOAUTOSTART exited with an error"
grep -q '^F 07 20' "$TRACE" || fail "the install did not close the program started beside the squatter"
kill -0 "$squatter" 2>/dev/null || fail "the squatter did not stay for the whole upgrade"
kill "$squatter" 2>/dev/null
wait "$squatter" 2>/dev/null
timeout 60 wineserver -w 2>/dev/null
[ "$(cd "$PROGRAM_DIR" && md5sum $USER_FILES)" = "$before" ] || fail "the later installs changed the user's settings"
cmp -s "$ROOT/dist/NUV_Talv.exe" "$PROGRAM_DIR/NUV_Talv.exe" || fail "the second install left no NUV_Talv.exe"
[ "$(entry_value DisplayVersion)" = "$VERSION" ] || fail "the second install left no uninstall entry"
[ ! -e "$TASK_STORE" ] || fail "/NOAUTOSTART left the logon task registered"
[ ! -e "$PROGRAM_DIR/StartWithWindows.xml" ] || fail "/NOAUTOSTART left the task's definition"
run_and_wait "$SETUP" /S || fail "the silent install after /NOAUTOSTART exited with an error"
[ ! -e "$TASK_STORE" ] || fail "an upgrade turned the start with Windows on again"

# ---- 4. Silent uninstall ----
run_and_wait "C:\\Program Files\\QUARVEL\\NUV_Talv\\uninstall.exe" /S ||
  fail "the silent uninstall exited with an error"
while read -r file; do
  is_user_file "$file" && continue
  [ ! -e "$PROGRAM_DIR/$file" ] || fail "the uninstall left $file"
done < <(shipped_files)
left=$(cd "$PROGRAM_DIR" 2>/dev/null && ls -A | sort | tr '\n' ' ')
# The virtual mouse's trace is the user's as well: asked for, like the settings.
[ "$left" = "Macro_CN.dat Macro_EN.dat config.ini virtual_mouse.trace " ] ||
  fail "after the uninstall the folder holds '$left', not the user's files alone"
[ "$(cd "$PROGRAM_DIR" && md5sum $USER_FILES)" = "$before" ] || fail "the silent uninstall changed the user's settings"
[ ! -e "$DRIVE/Program Files/NUV_Talv-uninstall.tmp" ] || fail "the uninstall left its plugins folder"
[ ! -e "$SHORTCUT" ] || fail "the uninstall left the Start menu shortcut"
wine reg query "$ENTRY" >/dev/null 2>&1 && fail "the uninstall left the uninstall entry"

# ---- 5. A chosen folder whose name XML must escape ----
# /D= must come last and unquoted, which only a command line written by hand
# gives (wine would quote the argument for its blanks).
WINEDEBUG=trace+advapi,trace+security run_and_wait cmd /c "$(windows_path "$SETUP") /S /D=C:\Tools ^& Co\Mouse" ||
  fail "the install with /D= exited with an error"
calls=$(tr -d '\r' <"$LOG" | grep -E 'ConvertStringSecurityDescriptorToSecurityDescriptorW|SetNamedSecurityInfoW')
grep -qF 'L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;AC)(A;OICI;0x1200a9;;;S-1-15-2-2)"' <<<"$calls" ||
  fail "the setup did not ask for the administrators-only security of the install folder"
# 1: a file object; -2147483643: owner, DACL and a protected DACL.
grep -qF 'SetNamedSecurityInfoW L"C:\\Tools & Co\\Mouse" 1 -2147483643' <<<"$calls" ||
  fail "the setup did not set the install folder's owner and protected DACL"
[ -f "$DRIVE/Tools & Co/Mouse/NUV_Talv.exe" ] || fail "/D= did not install into the chosen folder"
# Wine turns a DACL given at creation into the Unix mode: the administrators-
# only one leaves others nothing, an inherited one would have left 755.
[ "$(stat -c %a "$DRIVE/Tools & Co")" = 750 ] ||
  fail "the parent the setup made is $(stat -c %a "$DRIVE/Tools & Co"), not made with the administrators-only security"
check_task "$DRIVE/Tools & Co/Mouse" 'C:\Tools &amp; Co\Mouse' "install with /D="
# Uninstalled by hand, saying Yes to deleting the settings: the confirmation
# page, the question (No by default), the last page.
uninstaller_windows() { xdotool search --onlyvisible --name "^$TITLE Uninstall" 2>/dev/null | wc -l; }
question_shown() { [ "$(uninstaller_windows)" -eq 2 ]; }
wine 'C:\Tools & Co\Mouse\uninstall.exe' >>"$LOG" 2>&1
if find_window --onlyvisible "^$TITLE Uninstall" 30 >/dev/null; then
  sleep 2
  xdotool key Return
  wait_until 60 question_shown || fail "the uninstaller did not ask about the settings"
  sleep 1
  xdotool key y
  for _ in $(seq 1 30); do
    [ "$(uninstaller_windows)" -eq 0 ] && break
    sleep 2
    xdotool key Return
  done
else
  fail "the uninstaller showed no window"
fi
timeout 60 wineserver -w 2>/dev/null
[ ! -e "$TASK_STORE" ] || fail "the uninstall left the logon task"
[ ! -e "$DRIVE/Tools & Co/Mouse" ] ||
  fail "the uninstall that deleted the settings left $(cd "$DRIVE/Tools & Co/Mouse" && ls -A | tr '\n' ' ')"
[ ! -e "$DRIVE/Program Files/NUV_Talv-uninstall.tmp" ] || fail "the uninstall left its plugins folder"
# Wine reads a folder that every Unix user may write as "Everyone: Modify".
mkdir -p "$DRIVE/Shared" && chmod 777 "$DRIVE/Shared"
run_and_wait cmd /c "$(windows_path "$SETUP") /S /D=C:\Shared\Mouse"
refused=$?
[ "$refused" -eq 3 ] || fail "the install below a folder every user may change ended with $refused, not 3"
[ ! -e "$DRIVE/Shared/Mouse" ] || fail "the refused install made its folder"
wine reg query "$ENTRY" >/dev/null 2>&1 && fail "the refused install wrote the uninstall entry"

# ---- 6. Signing with a throwaway certificate ----
SIGNING="$(mktemp -d /tmp/nuv-sign-XXXXXX)"
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=NUV_Talv throwaway test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$SIGNING/key.pem" -out "$SIGNING/cert.pem" >/dev/null 2>&1 &&
  openssl pkcs12 -export -inkey "$SIGNING/key.pem" -in "$SIGNING/cert.pem" -passout pass:'throw away' \
    -out "$SIGNING/test.pfx" || fail "no throwaway certificate"
signed_ok() {  # file what
  osslsigncode verify -CAfile "$SIGNING/cert.pem" -in "$1" >"$SIGNING/verify.log" 2>&1 ||
    { fail "$2 is not signed with the given certificate"; tail -n 5 "$SIGNING/verify.log"; }
}
if NUV_SIGN_PFX="$SIGNING/test.pfx" NUV_SIGN_PASSWORD='throw away' \
     cmake --install "$ROOT/build/win" --prefix "$SIGNING/dist" >"$SIGNING/install.log" 2>&1; then
  signed_ok "$SIGNING/dist/NUV_Talv.exe" "the signed build's NUV_Talv.exe"
  signed_ok "$SIGNING/dist/NUV_Talv_FileDialog.exe" "the signed build's file dialogs' helper"
  signed_ok "$SIGNING/dist/NUV_Talv-setup.exe" "the signed build's setup"
  run_and_wait cmd /c "$(windows_path "$SIGNING/dist/NUV_Talv-setup.exe") /S /NOAUTOSTART /D=C:\Signed" ||
    fail "the signed setup did not install"
  cmp -s "$SIGNING/dist/NUV_Talv.exe" "$DRIVE/Signed/NUV_Talv.exe" || fail "the signed setup installed another exe"
  signed_ok "$DRIVE/Signed/uninstall.exe" "the uninstaller the signed setup wrote"
else
  fail "the build with a certificate failed"; tail -n 20 "$SIGNING/install.log"
fi
rm -rf "$SIGNING"

wineserver -k 2>/dev/null
rm -rf "$WINEPREFIX"
[ "$failures" -eq 0 ] && echo "e2e: all setup checks passed"
[ "$failures" -eq 0 ]
