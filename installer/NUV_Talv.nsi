; The setup program of the QUARVEL 241-7730 GAMING MOUSE utility.
;
; Built by the build (cmake --install, see installer.cmake) from what it has
; just put into dist/. The build passes:
;   VERSION   the program's one version number, a.b.c.d
;   OUTFILE   the setup program to write
;   ICON      the program's icon
;   FILES     the generated list of the files to install and to remove
;   HELPER    the setup's helper program (winapp/setup_helper), packed into
;             the setup and the uninstaller, run from their plugins folder
;   SIGN      (when a certificate is given) the command that signs a program
;             in place; the uninstaller and the setup are signed with it
;
; Per machine, with administrator rights: the program's folder, and every
; folder above it, can be changed by administrators only, wherever it is
; (PrepareInstallPath, ProtectInstallFolder), which is what lets the elevated
; program trust its config.ini, macro files and skins.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "QUARVEL 241-7730 GAMING MOUSE"
!define COMPANY "QUARVEL"
!define EXE "NUV_Talv.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\NUV_Talv"
; The helper, as the setup and the uninstaller unpack it.
!define HELPER_EXE "setup_helper.exe"
; The logon task. Its definition is written into the program's folder and
; registered from there: a definition in the user's temporary folder could be
; swapped by any program of that user between writing and registering, and the
; task runs with highest privileges.
!define TASK_NAME "NUV_Talv"
!define TASK_FILE "StartWithWindows.xml"

!include "${FILES}"

!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${COMPANY}\NUV_Talv"
; An upgrade goes where the installed copy is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; Drawn by tools/make_installer_art.py.
!define MUI_WELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}\wizard.bmp"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The setup speaks the program's two languages and picks the system's.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "Portuguese"

LangString StartWithWindows ${LANG_ENGLISH} "Start with Windows (hidden in the tray)"
LangString StartWithWindows ${LANG_PORTUGUESEBR} "Iniciar com o Windows (oculto na bandeja)"
LangString StartWithWindows ${LANG_PORTUGUESE} "Iniciar com o Windows (oculto na bandeja)"
LangString ProgramRunning ${LANG_ENGLISH} "${PRODUCT} is running. Close it to continue?"
LangString ProgramRunning ${LANG_PORTUGUESEBR} "${PRODUCT} está em execução. Fechá-lo para continuar?"
LangString ProgramRunning ${LANG_PORTUGUESE} "${PRODUCT} está em execução. Fechá-lo para continuar?"
LangString ProgramStillRunning ${LANG_ENGLISH} "${PRODUCT} did not close. Close it and try again."
LangString ProgramStillRunning ${LANG_PORTUGUESEBR} "${PRODUCT} não fechou. Feche-o e tente de novo."
LangString ProgramStillRunning ${LANG_PORTUGUESE} "${PRODUCT} não fechou. Feche-o e tente de novo."
LangString TaskFailed ${LANG_ENGLISH} "The program could not be set to start with Windows (error $0). Everything else is installed."
LangString TaskFailed ${LANG_PORTUGUESEBR} "Não foi possível iniciar o programa com o Windows (erro $0). O resto foi instalado."
LangString TaskFailed ${LANG_PORTUGUESE} "Não foi possível iniciar o programa com o Windows (erro $0). O resto foi instalado."
LangString FolderNotProtected ${LANG_ENGLISH} "The folder $INSTDIR could not be made writable by administrators only (error $0). Nothing was installed."
LangString FolderNotProtected ${LANG_PORTUGUESEBR} "Não foi possível tornar a pasta $INSTDIR gravável só por administradores (erro $0). Nada foi instalado."
LangString FolderNotProtected ${LANG_PORTUGUESE} "Não foi possível tornar a pasta $INSTDIR gravável só por administradores (erro $0). Nada foi instalado."
LangString FolderRefused ${LANG_ENGLISH} "${PRODUCT} was not installed: users who are not administrators could change the folder $1 ($2). The program runs with administrator rights, so its folder and every folder above it must be changeable by administrators only. Choose another folder, for example in $PROGRAMFILES64."
LangString FolderRefused ${LANG_PORTUGUESEBR} "${PRODUCT} não foi instalado: usuários que não são administradores poderiam alterar a pasta $1 ($2). O programa é executado com direitos de administrador; por isso a pasta dele e todas as pastas acima dela só podem ser alteráveis por administradores. Escolha outra pasta, por exemplo em $PROGRAMFILES64."
LangString FolderRefused ${LANG_PORTUGUESE} "${PRODUCT} não foi instalado: utilizadores que não são administradores poderiam alterar a pasta $1 ($2). O programa é executado com direitos de administrador; por isso a sua pasta e todas as pastas acima dela só podem ser alteradas por administradores. Escolha outra pasta, por exemplo em $PROGRAMFILES64."
LangString FolderNotLocal ${LANG_ENGLISH} "it is not a folder on a drive of this computer"
LangString FolderNotLocal ${LANG_PORTUGUESEBR} "não é uma pasta de uma unidade deste computador"
LangString FolderNotLocal ${LANG_PORTUGUESE} "não é uma pasta de uma unidade deste computador"
LangString FolderUnreadable ${LANG_ENGLISH} "its permissions could not be read"
LangString FolderUnreadable ${LANG_PORTUGUESEBR} "não foi possível ler as permissões dela"
LangString FolderUnreadable ${LANG_PORTUGUESE} "não foi possível ler as suas permissões"
LangString FolderLink ${LANG_ENGLISH} "it is a link to another folder"
LangString FolderLink ${LANG_PORTUGUESEBR} "é um vínculo para outra pasta"
LangString FolderLink ${LANG_PORTUGUESE} "é uma ligação para outra pasta"
LangString FolderRenamable ${LANG_ENGLISH} "they could rename or delete it"
LangString FolderRenamable ${LANG_PORTUGUESEBR} "poderiam renomeá-la ou apagá-la"
LangString FolderRenamable ${LANG_PORTUGUESE} "poderiam mudar-lhe o nome ou eliminá-la"
LangString FolderPermissions ${LANG_ENGLISH} "they could change its permissions or owner"
LangString FolderPermissions ${LANG_PORTUGUESEBR} "poderiam alterar as permissões ou o proprietário dela"
LangString FolderPermissions ${LANG_PORTUGUESE} "poderiam alterar as suas permissões ou o seu proprietário"
LangString FolderFilesPutInto ${LANG_ENGLISH} "they could have put files into it"
LangString FolderFilesPutInto ${LANG_PORTUGUESEBR} "poderiam ter colocado arquivos nela"
LangString FolderFilesPutInto ${LANG_PORTUGUESE} "poderiam ter colocado ficheiros nela"
LangString FolderNotMade ${LANG_ENGLISH} "The folder $1 could not be created. Nothing was installed."
LangString FolderNotMade ${LANG_PORTUGUESEBR} "Não foi possível criar a pasta $1. Nada foi instalado."
LangString FolderNotMade ${LANG_PORTUGUESE} "Não foi possível criar a pasta $1. Nada foi instalado."
LangString DeleteSettings ${LANG_ENGLISH} "Also delete your settings and macros (config.ini and the macro files)?"
LangString DeleteSettings ${LANG_PORTUGUESEBR} "Apagar também as suas configurações e macros (config.ini e os arquivos de macro)?"
LangString DeleteSettings ${LANG_PORTUGUESE} "Apagar também as suas definições e macros (config.ini e os ficheiros de macro)?"

; Where the setup and the uninstaller unpack their plugins (DLLs they load):
; a folder that only administrators can write, rather than the user's
; temporary folder, where any program of the user could swap a DLL between
; its unpacking and its loading. Both are in Program Files: the setup's since
; the folder it installs into is not protected until a plugin has protected
; it, the uninstaller's since a plugin stays loaded until the uninstaller
; ends, and in the program's folder its DLL would keep that folder from
; going. An upgrade runs the old uninstaller while the setup's folder is in
; use, hence two names. Each is removed when its program ends, after its
; plugins are unloaded (or at the next restart, if Windows still holds a
; file). The setup's helper goes there too.
!macro USE_PROTECTED_PLUGINS_DIR folder
  RMDir /r "${folder}"
  CreateDirectory "${folder}"
  UnsafeStrCpy $PLUGINSDIR "${folder}"
  File "/oname=$PLUGINSDIR\${HELPER_EXE}" "${HELPER}"
!macroend

; The install folder's security: owned by Administrators, full control for
; SYSTEM and Administrators, read and execute for Users and for app
; containers (ALL APPLICATION PACKAGES, ALL RESTRICTED APPLICATION PACKAGES:
; Start and Search read the program's icon through them, as Program Files
; lets them), nothing inherited from the folder above (a folder made under
; C:\ or on a data drive would otherwise let every user modify the programs
; that the logon task runs with highest privileges).
!define INSTALL_FOLDER_SDDL "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;AC)(A;OICI;0x1200a9;;;S-1-15-2-2)"
; OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION
!define INSTALL_FOLDER_SECURITY 0x80000005

; Before anything is installed: refuses a folder that a user who is not an
; administrator could change, or below a folder such a user could change
; (rename, delete, change the permissions of, or for the install folder
; itself put files into), checked from the drive's root down by the helper;
; makes the missing folders, each with the administrators-only security from
; its creation. Quits with error level 3, having installed nothing, when
; refused.
Function PrepareInstallPath
  nsExec::ExecToStack '"$PLUGINSDIR\${HELPER_EXE}" folder "${INSTALL_FOLDER_SDDL}" "$INSTDIR"'
  Pop $0
  Pop $1
  ${If} $0 == 0
    Return
  ${EndIf}
  ${If} $1 == ""
    StrCpy $1 "$INSTDIR"
  ${EndIf}
  ${Select} $0
    ${Case} 11
      StrCpy $2 "$(FolderNotLocal)"
    ${Case} 13
      StrCpy $2 "$(FolderLink)"
    ${Case} 14
      StrCpy $2 "$(FolderRenamable)"
    ${Case} 15
      StrCpy $2 "$(FolderPermissions)"
    ${Case} 16
      StrCpy $2 "$(FolderFilesPutInto)"
    ${Case} 30
      MessageBox MB_OK|MB_ICONSTOP "$(FolderNotMade)" /SD IDOK
      SetErrorLevel 3
      Quit
    ${CaseElse}
      StrCpy $2 "$(FolderUnreadable)"
  ${EndSelect}
  MessageBox MB_OK|MB_ICONSTOP "$(FolderRefused)" /SD IDOK
  SetErrorLevel 3
  Quit
FunctionEnd

; Gives the install folder that security before any file goes into it, on a
; fresh install and on an upgrade, and takes from whatever is already in it
; (an earlier install, a folder chosen that existed) its own entries and
; owner, so that it inherits the folder's. The setup stops, having installed
; nothing, when the system refuses.
Function ProtectInstallFolder
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${INSTALL_FOLDER_SDDL}", i 1, *p .r1, p 0) i .r0 ?e'
  Pop $5
  ${If} $0 == 0
    StrCpy $0 $5
  ${Else}
    System::Call 'advapi32::GetSecurityDescriptorOwner(p r1, *p .r2, *i .r4)'
    System::Call 'advapi32::GetSecurityDescriptorDacl(p r1, *i .r4, *p .r3, *i .r4)'
    System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i 1, i ${INSTALL_FOLDER_SECURITY}, p r2, p 0, p r3, p 0) i .r0'
    ${If} $0 == 0
      ; What is already inside: KeepExplicit FALSE, ProgressInvokeNever.
      System::Call 'advapi32::TreeResetNamedSecurityInfoW(w "$INSTDIR", i 1, i ${INSTALL_FOLDER_SECURITY}, p r2, p 0, p r3, p 0, i 0, p 0, i 1, p 0) i .r0'
    ${EndIf}
    System::Call 'kernel32::LocalFree(p r1)'
  ${EndIf}
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONSTOP "$(FolderNotProtected)" /SD IDOK
    SetErrorLevel 3
    Quit
  ${EndIf}
FunctionEnd

; Closes a running copy the way its user would (WM_CLOSE runs its close
; sequence, which also tells the mouse) and waits up to ten seconds for it to
; end. A running copy is a process started from the installed exe, and its
; window one of that process (the helper looks by the file, not by names or
; titles, which any program can take). Asks first unless silent; quits with
; error level 2 when the copy stays.
!macro CLOSE_RUNNING_COPY un
Function ${un}CloseRunningCopy
  nsExec::Exec '"$PLUGINSDIR\${HELPER_EXE}" running "$INSTDIR\${EXE}"'
  Pop $0
  ${If} $0 == 0
    Return
  ${EndIf}
  MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDOK IDOK close
  SetErrorLevel 2
  Quit
  close:
  nsExec::Exec '"$PLUGINSDIR\${HELPER_EXE}" close "$INSTDIR\${EXE}"'
  Pop $0
  ${If} $0 == 0
    Return
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP "$(ProgramStillRunning)" /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

; $0 with &, < and > written as XML entities.
!macro XML_TEXT var
  ${WordReplace} "${var}" "&" "&amp;" "+" ${var}
  ${WordReplace} "${var}" "<" "&lt;" "+" ${var}
  ${WordReplace} "${var}" ">" "&gt;" "+" ${var}
!macroend

; Writes the logon task's definition into the program's folder and registers
; it: at the logon of any member of Administrators (a group principal, so the
; logon trigger names no user), in that user's session with that user's
; interactive token and highest privileges (no UAC prompt, no password
; stored), "NUV_Talv.exe -HIDE". A standard user, for whom the program could
; not run without an administrator's credentials, gets no task at all. The
; group is named by its SID, the same in every language of Windows. A group
; principal takes no LogonType: that is for a user principal. Not stopped
; after 72 hours, started on battery as well, at normal priority (the task
; default, below normal, would slow the macros it plays).
Function RegisterLogonTask
  StrCpy $2 "$INSTDIR"
  !insertmacro XML_TEXT $2
  FileOpen $9 "$INSTDIR\${TASK_FILE}" w
  FileWriteUTF16LE /BOM $9 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n'
  FileWriteUTF16LE $9 '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n'
  FileWriteUTF16LE $9 '  <RegistrationInfo>$\r$\n'
  FileWriteUTF16LE $9 '    <Author>${COMPANY}</Author>$\r$\n'
  FileWriteUTF16LE $9 '    <Description>Starts the ${PRODUCT} utility hidden in the tray at logon.</Description>$\r$\n'
  FileWriteUTF16LE $9 '  </RegistrationInfo>$\r$\n'
  FileWriteUTF16LE $9 '  <Triggers>$\r$\n'
  FileWriteUTF16LE $9 '    <LogonTrigger>$\r$\n'
  FileWriteUTF16LE $9 '      <Enabled>true</Enabled>$\r$\n'
  FileWriteUTF16LE $9 '    </LogonTrigger>$\r$\n'
  FileWriteUTF16LE $9 '  </Triggers>$\r$\n'
  FileWriteUTF16LE $9 '  <Principals>$\r$\n'
  FileWriteUTF16LE $9 '    <Principal id="Author">$\r$\n'
  FileWriteUTF16LE $9 '      <GroupId>S-1-5-32-544</GroupId>$\r$\n'
  FileWriteUTF16LE $9 '      <RunLevel>HighestAvailable</RunLevel>$\r$\n'
  FileWriteUTF16LE $9 '    </Principal>$\r$\n'
  FileWriteUTF16LE $9 '  </Principals>$\r$\n'
  FileWriteUTF16LE $9 '  <Settings>$\r$\n'
  FileWriteUTF16LE $9 '    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>$\r$\n'
  FileWriteUTF16LE $9 '    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>$\r$\n'
  FileWriteUTF16LE $9 '    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>$\r$\n'
  FileWriteUTF16LE $9 '    <AllowHardTerminate>true</AllowHardTerminate>$\r$\n'
  FileWriteUTF16LE $9 '    <StartWhenAvailable>false</StartWhenAvailable>$\r$\n'
  FileWriteUTF16LE $9 '    <AllowStartOnDemand>true</AllowStartOnDemand>$\r$\n'
  FileWriteUTF16LE $9 '    <Enabled>true</Enabled>$\r$\n'
  FileWriteUTF16LE $9 '    <Hidden>false</Hidden>$\r$\n'
  FileWriteUTF16LE $9 '    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>$\r$\n'
  FileWriteUTF16LE $9 '    <Priority>4</Priority>$\r$\n'
  FileWriteUTF16LE $9 '  </Settings>$\r$\n'
  FileWriteUTF16LE $9 '  <Actions Context="Author">$\r$\n'
  FileWriteUTF16LE $9 '    <Exec>$\r$\n'
  FileWriteUTF16LE $9 '      <Command>"$2\${EXE}"</Command>$\r$\n'
  FileWriteUTF16LE $9 '      <Arguments>-HIDE</Arguments>$\r$\n'
  FileWriteUTF16LE $9 '      <WorkingDirectory>$2</WorkingDirectory>$\r$\n'
  FileWriteUTF16LE $9 '    </Exec>$\r$\n'
  FileWriteUTF16LE $9 '  </Actions>$\r$\n'
  FileWriteUTF16LE $9 '</Task>$\r$\n'
  FileClose $9
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Create /TN "${TASK_NAME}" /XML "$INSTDIR\${TASK_FILE}" /F'
  Pop $0
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(TaskFailed)" /SD IDOK
  ${EndIf}
FunctionEnd

!macro REMOVE_LOGON_TASK
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /TN "${TASK_NAME}" /F'
  Pop $0
  Delete "$INSTDIR\${TASK_FILE}"
!macroend


Section "-Program" SecProgram
  SetShellVarContext all
  ; The setup removes the folder when it ends.
  !insertmacro USE_PROTECTED_PLUGINS_DIR "$PROGRAMFILES64\NUV_Talv-setup.tmp"
  ; The finish page reads its picture from there too.
  File "/oname=$PLUGINSDIR\modern-wizard.bmp" "${MUI_WELCOMEFINISHPAGE_BITMAP}"
  Call PrepareInstallPath
  Call CloseRunningCopy
  Call ProtectInstallFolder
  ; An older install goes first, by its own uninstaller (silent: the user's
  ; settings stay), so that no file it had and this version has not stays.
  ; Only one under Program Files is run: an older setup gave a folder chosen
  ; elsewhere no protection, so any user could have replaced its uninstaller,
  ; which this setup would run with administrator rights. Elsewhere the new
  ; files replace the old ones and the folder is protected from now on.
  StrLen $1 "$PROGRAMFILES64\"
  StrCpy $2 "$INSTDIR" $1
  ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
  ${AndIf} $2 == "$PROGRAMFILES64\"
    ExecWait '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
  ${EndIf}
  Delete "$INSTDIR\${UNINSTALLER}"
  !insertmacro INSTALL_FILES
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(StartWithWindows)" SecLogonTask
  Call RegisterLogonTask
SectionEnd

; Without the option, a task of an earlier install goes as well.
Section "-LogonTaskOff"
  ${IfNot} ${SectionIsSelected} ${SecLogonTask}
    !insertmacro REMOVE_LOGON_TASK
  ${EndIf}
SectionEnd

Function .onInit
  SetShellVarContext all
  ; /NOAUTOSTART: install without the logon task (for deployment scripts).
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOAUTOSTART" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecLogonTask} 0
  ${EndIf}
  ; An upgrade keeps the choice of the installed copy: no task definition
  ; beside it means the option was off.
  ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
  ${AndIfNot} ${FileExists} "$INSTDIR\${TASK_FILE}"
    SectionSetFlags ${SecLogonTask} 0
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  !insertmacro USE_PROTECTED_PLUGINS_DIR "$PROGRAMFILES64\NUV_Talv-uninstall.tmp"
  Call un.CloseRunningCopy
  !insertmacro REMOVE_LOGON_TASK
  ; An earlier uninstaller unpacked its plugins here.
  RMDir /r "$INSTDIR\.uninstall"
  !insertmacro UNINSTALL_FILES
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(DeleteSettings)" /SD IDNO IDNO keep
  !insertmacro DELETE_USER_SETTINGS
  ; What the program writes beside itself when it runs with the virtual mouse.
  Delete "$INSTDIR\virtual_mouse.trace"
  Delete "$INSTDIR\virtual_mouse.ctl"
  Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
  ; Nothing of ours is to stay: what Windows still holds (a file in use by
  ; another program) goes at the next restart, and the folders with it.
  RMDir /r /REBOOTOK "$INSTDIR\.uninstall"
  RMDir /REBOOTOK "$INSTDIR"
  ${If} "$INSTDIR" == "$PROGRAMFILES64\${COMPANY}\NUV_Talv"
    RMDir /REBOOTOK "$PROGRAMFILES64\${COMPANY}"
  ${EndIf}
  Goto done
  keep:
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Folders go only when empty: the user's settings are still there.
  RMDir "$INSTDIR"
  ${If} "$INSTDIR" == "$PROGRAMFILES64\${COMPANY}\NUV_Talv"
    RMDir "$PROGRAMFILES64\${COMPANY}"
  ${EndIf}
  done:
SectionEnd
