; The user's installer of Glimmerbox: the screen saver where Windows looks for savers, the hot-corner
; agent and its ScrHots.dll when the build has them, an uninstaller in Programs and Features.
; tools/make-installer.sh defines VERSION, OUTFILE, SAVER32, CAROUSEL32, KEEPFILES, RESTORESAVERS
; and, when built, SAVER64, CAROUSEL64, AGENT32, HOTS32, AGENT64 and HOTS64 (paths of the files to
; carry); when signing, SIGN (tools/sign.sh) and SIGNED_PLUGINS (signed copies of NSIS's plugins).
;
; Silent (/S): installs, makes Glimmerbox the current screen saver (unless /KEEPSAVER) and, with the
; agent, starts hot corners at logon for every user (unless /NOCORNERS). Exit codes: 0 done, 2 a
; file could not be written (nothing left installed, what it replaced put back), 3 an unsupported
; system, 4 administrator rights were not given, 5 installed, but an earlier uninstall's deletions
; due at the next restart could not be cancelled (install again after restarting). The
; uninstaller's: 0 done, 3010 done but a file in use goes at the next restart, 4 administrator
; rights were not given (nothing changed: they are asked first).
;
; Per machine (run as SYSTEM, as deployment tools do, or with /ALLUSERS): nothing is written to
; HKCU, whose settings would be the account's running the installer, not a user's. Each user who
; logs on afterwards gets Glimmerbox as their saver once, through Active Setup (unless
; /KEEPSAVER); a user who then chooses another saver keeps it through upgrades. Uninstalled per
; machine, every user with a profile gets back at once the saver Glimmerbox replaced (unless they
; chose another since), and their records go: nothing is left for a logon to do.
;
; Two halves: the machine-wide one (files, Programs and Features, autostart under HKLM) needs an
; administrator; the user's (their current saver, what it replaces, the agent they had running)
; belongs to whoever started the program. Started without elevation (a standard user, or an
; administrator's filtered token), the program stays in the user's context and starts itself
; elevated with /MACHINEPART for the machine's half: elevated with another account's password,
; its HKCU would be that account's. Started elevated, it does both. /SPLIT starts the elevated half
; anyway (for tests: Wine has no split token).
Unicode true
!ifdef SIGN
!addplugindir /x86-unicode "${SIGNED_PLUGINS}"
; The uninstaller is signed before it is packed, so that the copy written at install keeps it.
!uninstfinalize '"${SIGN}" "%1"' = 0
!finalize '"${SIGN}" "%1"' = 0
!endif
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "WinVer.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Glimmerbox"
!define PUBLISHER "The Glimmerbox authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimmerbox"
!define DESKTOP_KEY "Control Panel\Desktop"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Morvane hot corners"
; The user's own records: the saver and the ScreenSaveActive that Glimmerbox replaced.
!define USER_KEY "Software\Glimmerbox"
!define AGENT_CLASS "MorvaneHotCornersAgent"
; Active Setup's record of the per-user step: each user runs StubPath once per Version.
!define ACTIVE_SETUP_ID "{6F3C2A1E-9B7D-4C52-A8E1-3D5F0B7C9A24}"
!define ACTIVE_SETUP_KEY "Software\Microsoft\Active Setup\Installed Components\${ACTIVE_SETUP_ID}"
!ifndef HELP_URL
!define HELP_URL "https://glimmerbox.invalid/help"
!endif
!searchparse "${VERSION}" "" VERSION_MAJOR "." VERSION_MINOR "."

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 The Glimmerbox and Morvane authors"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"

Var SaverPath      ; the saver Windows lists: the 64-bit one on 64-bit Windows
Var CornersAtLogon ; 1: the option page's box is ticked
!ifdef AGENT32
Var CornersBox
!endif
Var Written        ; how many files of the list below are written, for a rollback
Var AgentPath      ; the agent of the system's word size
Var Part           ; all: both halves here; user: the machine's half in an elevated child; machine
Var AgentWasRunning
Var PerMachine     ; 1: SYSTEM or /ALLUSERS, no HKCU
Var InstalledSaver ; the saver path the install recorded, read before the machine's half runs

; The saver's icon, drawn by the build beside the saver, on the installer and the uninstaller.
!searchreplace GLIMMER_ICON "${SAVER32}" "glimmerbox.scr" "glimmerbox.ico"
!define MUI_ICON "${GLIMMER_ICON}"
!define MUI_UNICON "${GLIMMER_ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!ifdef AGENT32
Page custom CornersPage CornersPageLeave
!endif
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Use Glimmerbox as my screen saver"
!define MUI_FINISHPAGE_RUN_FUNCTION UseAsScreenSaver
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Open the screen saver settings"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION OpenSaverSettings
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Sets $Part from the command line and the process's elevation.
!macro ChoosePart UN
  ${${UN}GetParameters} $0
  StrCpy $PerMachine 0
  ClearErrors
  ${${UN}GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    StrCpy $PerMachine 1
  ${EndIf}
  ; TokenUser (1) of our own token is LocalSystem's (WinLocalSystemSid, 22): HKCU is .DEFAULT's.
  System::Call 'kernel32::GetCurrentProcess() p .r2'
  System::Call 'advapi32::OpenProcessToken(p r2, i 8, *p .r3) i .r4'
  ${If} $4 <> 0
    System::Alloc 256
    Pop $5
    System::Call 'advapi32::GetTokenInformation(p r3, i 1, p r5, i 256, *i .r6) i .r4'
    ${If} $4 <> 0
      System::Call '*$5(p .r6)'
      System::Call 'advapi32::IsWellKnownSid(p r6, i 22) i .r4'
      ${IfThen} $4 <> 0 ${|} StrCpy $PerMachine 1 ${|}
    ${EndIf}
    System::Free $5
    System::Call 'kernel32::CloseHandle(p r3)'
  ${EndIf}
  ClearErrors
  ${${UN}GetOptions} $0 "/MACHINEPART" $1
  ${IfNot} ${Errors}
    StrCpy $Part machine
    SetSilent silent
  ${Else}
    StrCpy $Part all
    ClearErrors
    ${${UN}GetOptions} $0 "/SPLIT" $1
    ${IfNot} ${Errors}
      StrCpy $Part user
    ${Else}
      ; TokenElevation (20) of our own token: 0 for a standard user and a filtered administrator.
      StrCpy $5 0
      System::Call 'kernel32::GetCurrentProcess() p .r2'
      System::Call 'advapi32::OpenProcessToken(p r2, i 8, *p .r3) i .r4'
      ${If} $4 <> 0
        System::Call 'advapi32::GetTokenInformation(p r3, i 20, *i .r5, i 4, *i .r6)'
        System::Call 'kernel32::CloseHandle(p r3)'
      ${EndIf}
      ${If} $5 == 0
        StrCpy $Part user
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} ${RunningX64}
    SetRegView 64
!ifdef SAVER64
    StrCpy $SaverPath "$WINDIR\System32\glimmerbox.scr"
!else
    StrCpy $SaverPath "$WINDIR\SysWOW64\glimmerbox.scr"
!endif
    StrCpy $AgentPath "$WINDIR\System32\morvanecorners.exe"
  ${Else}
    StrCpy $SaverPath "$SYSDIR\glimmerbox.scr"
    StrCpy $AgentPath "$SYSDIR\morvanecorners.exe"
  ${EndIf}
!macroend

; Starts this program elevated with the parameters $R0 and waits for it; $R1: its exit code.
!macro RunMachinePart UN
Function ${UN}RunMachinePart
  StrCpy $7 $EXEPATH
  ; SHELLEXECUTEINFOW (60 bytes in a 32-bit process), SEE_MASK_NOCLOSEPROCESS, verb "runas".
  System::Call '*(i 60, i 0x40, p $HWNDPARENT, w "runas", w r7, w R0, w n, i 1, p 0, p 0, w n, p 0, i 0, p 0, p 0) p .r1'
  ; NOTE: Wine has no consent prompt to refuse: MORVANE_TEST_REFUSE_ELEVATION=1 takes the path a
  ; refusal (ERROR_CANCELLED) takes, for the tests.
  ReadEnvStr $2 MORVANE_TEST_REFUSE_ELEVATION
  ${If} $2 == 1
    StrCpy $2 0
  ${Else}
    System::Call 'shell32::ShellExecuteExW(p r1) i .r2'
  ${EndIf}
  ${If} $2 == 0
    StrCpy $R1 4
  ${Else}
    System::Call '*$1(i, i, p, w, w, w, w, i, p, p, w, p, i, p, p .r3)'
    System::Call 'kernel32::WaitForSingleObject(p r3, i -1)'
    System::Call 'kernel32::GetExitCodeProcess(p r3, *i .R1)'
    System::Call 'kernel32::CloseHandle(p r3)'
  ${EndIf}
  System::Free $1
FunctionEnd
!macroend
!insertmacro RunMachinePart ""
!insertmacro RunMachinePart "un."

; The running agent holds its files: it is asked to end (the command goes to the running one) and
; given a few seconds. It runs in the user's session, as the user: only the user's half starts it
; again.
!macro QuitAgent UN
Function ${UN}QuitAgent
  StrCpy $AgentWasRunning 0
  FindWindow $0 "${AGENT_CLASS}"
  ${If} $0 <> 0
    StrCpy $AgentWasRunning 1
    ${If} ${RunningX64}
      ${DisableX64FSRedirection}
    ${EndIf}
    ExecWait '"$AgentPath" /quit'
    ${If} ${RunningX64}
      ${EnableX64FSRedirection}
    ${EndIf}
    StrCpy $1 0
    ${DoWhile} $1 < 100
      FindWindow $0 "${AGENT_CLASS}"
      ${IfThen} $0 == 0 ${|} ${ExitDo} ${|}
      Sleep 50
      IntOp $1 $1 + 1
    ${Loop}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro QuitAgent ""
!insertmacro QuitAgent "un."

Function RestartAgent
  ${If} $AgentWasRunning == 1
  ${AndIf} $Part != machine
    StrCpy $AgentWasRunning 0
    ${If} ${RunningX64}
      ${DisableX64FSRedirection}
    ${EndIf}
    Exec '"$AgentPath" /start'
    ${If} ${RunningX64}
      ${EnableX64FSRedirection}
    ${EndIf}
  ${EndIf}
FunctionEnd

Function .onInit
  ${IfNot} ${AtLeastWinVista}
    MessageBox MB_ICONSTOP "Glimmerbox needs Windows Vista or later." /SD IDOK
    SetErrorLevel 3
    Quit
  ${EndIf}
  StrCpy $CornersAtLogon 1
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOCORNERS" $1
  ${IfNot} ${Errors}
    StrCpy $CornersAtLogon 0
  ${EndIf}
  !insertmacro ChoosePart ""
FunctionEnd

!ifdef AGENT32
Function CornersPage
  !insertmacro MUI_HEADER_TEXT "Hot corners" "Start or keep off the screen saver with the mouse."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "The hot-corner agent starts the screen saver when the pointer rests in a corner set to $\"now$\" (Screen saver settings, General page), and keeps it off in a corner set to $\"never$\"."
  Pop $0
  ${NSD_CreateCheckBox} 0 44u 100% 12u "Start hot corners when anyone logs on"
  Pop $CornersBox
  ${If} $CornersAtLogon == 1
    ${NSD_Check} $CornersBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function CornersPageLeave
  ${NSD_GetState} $CornersBox $CornersAtLogon
  ${If} $CornersAtLogon == ${BST_CHECKED}
    StrCpy $CornersAtLogon 1
  ${Else}
    StrCpy $CornersAtLogon 0
  ${EndIf}
FunctionEnd
!endif

; Writes one file, keeping the one it replaces beside it (renamed: a running program's file can be
; renamed, not overwritten) until the install is complete; on failure puts back what was written
; before it, says so and ends with code 2.
!macro PutFile SOURCE TARGET_DIR NAME
  StrCpy $R8 "${TARGET_DIR}\${NAME}"
  Call SetAside
  ClearErrors
  SetOutPath "${TARGET_DIR}"
  File "/oname=${NAME}" "${SOURCE}"
  ${If} ${Errors}
    StrCpy $R9 $R8
    Call Rollback
  ${EndIf}
  IntOp $Written $Written + 1
  Push $R8
!macroend

Function SetAside
  Delete "$R8.old"
  ${If} ${FileExists} $R8
  ${AndIfNot} ${FileExists} "$R8\*.*"
    Rename $R8 "$R8.old"
  ${EndIf}
FunctionEnd

; $R9 could not be written. The files written so far are on the stack, the last on top, each with
; its real folder: no redirection may turn System32 into SysWOW64 while they go.
Function Rollback
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  ${If} ${FileExists} "$R9.old"
    Delete $R9
    Rename "$R9.old" $R9
  ${EndIf}
  ${DoWhile} $Written > 0
    Pop $0
    Delete $0
    ${If} ${FileExists} "$0.old"
      Rename "$0.old" $0
    ${EndIf}
    IntOp $Written $Written - 1
  ${Loop}
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}
  Call RestartAgent
  MessageBox MB_ICONSTOP "Could not write $R9 (the disk may be full, or the file read-only or in use). Nothing was installed." /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

; The machine's half: files, Programs and Features, autostart for every user.
Function MachinePart
  StrCpy $Written 0
  StrCpy $9 0  ; 1: the agent is installed
  ${If} ${RunningX64}
    ; The 32-bit saver for 32-bit hosts (SysWOW64), the 64-bit one where 64-bit Windows lists savers.
    ${DisableX64FSRedirection}
    !insertmacro PutFile "${SAVER32}" "$WINDIR\SysWOW64" "glimmerbox.scr"
    !insertmacro PutFile "${CAROUSEL32}" "$WINDIR\SysWOW64" "carousel.scr"
!ifdef SAVER64
    !insertmacro PutFile "${SAVER64}" "$WINDIR\System32" "glimmerbox.scr"
    !insertmacro PutFile "${CAROUSEL64}" "$WINDIR\System32" "carousel.scr"
!ifdef AGENT64
    !insertmacro PutFile "${AGENT64}" "$WINDIR\System32" "morvanecorners.exe"
    !insertmacro PutFile "${HOTS64}" "$WINDIR\System32" "ScrHots.dll"
    StrCpy $9 1
!endif
!endif
    ${EnableX64FSRedirection}
  ${Else}
    !insertmacro PutFile "${SAVER32}" "$SYSDIR" "glimmerbox.scr"
    !insertmacro PutFile "${CAROUSEL32}" "$SYSDIR" "carousel.scr"
!ifdef AGENT32
    !insertmacro PutFile "${AGENT32}" "$SYSDIR" "morvanecorners.exe"
    !insertmacro PutFile "${HOTS32}" "$SYSDIR" "ScrHots.dll"
    StrCpy $9 1
!endif
  ${EndIf}
  StrCpy $R8 "$INSTDIR\uninstall.exe"
  Call SetAside
  ClearErrors
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    StrCpy $R9 "$INSTDIR\uninstall.exe"
    Call Rollback
  ${EndIf}
  IntOp $Written $Written + 1
  Push "$INSTDIR\uninstall.exe"
  ; Nothing above may be rolled back any more: the replaced files go (a file still running at the
  ; next restart; that wastes its space until then and needs no restart of its own).
  StrCpy $8 0  ; bytes written
  StrCpy $R7 '"$INSTDIR"'  ; what the restart must leave: the folder and each file written
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  ${DoWhile} $Written > 0
    Pop $0
    StrCpy $R7 '$R7 "$0"'
    Delete /REBOOTOK "$0.old"
    FileOpen $1 $0 r
    FileSeek $1 0 END $2
    FileClose $1
    IntOp $8 $8 + $2
    IntOp $Written $Written - 1
  ${Loop}
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}
  SetRebootFlag false
  Call KeepAtRestart

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Glimmerbox screen saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SaverPath,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "${HELP_URL}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${HELP_URL}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "SaverPath" "$SaverPath"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  IntOp $8 $8 / 1024
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $8

  ${If} $CornersAtLogon == 1
  ${AndIf} $9 == 1
    WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$AgentPath" /start'
  ${Else}
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  ${If} $PerMachine == 1
    Call WriteActiveSetup
  ${EndIf}
FunctionEnd

; An uninstall with a program running left its files, the uninstaller and the folder for the
; next restart to delete: the restart must keep what this install wrote instead ($R7, quoted).
Function KeepAtRestart
  InitPluginsDir
  File "/oname=$PLUGINSDIR\keepfiles.exe" "${KEEPFILES}"
  ExecWait '"$PLUGINSDIR\keepfiles.exe" $R7' $0
  ${If} $0 <> 0
    MessageBox MB_ICONEXCLAMATION "Glimmerbox is installed, but an earlier uninstall's deletions at the next restart could not be cancelled (code $0). Restart Windows, then install again." /SD IDOK
    SetErrorLevel 5
  ${EndIf}
FunctionEnd

; Per machine: each user's step, once (Version), as they log on. An upgrade keeps the Version of
; the step already there, so a user who chose another saver since keeps it; an uninstall removes
; the users' records of it with the entry, so a later deployment counts from 1 again.
Function WriteActiveSetup
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/KEEPSAVER" $1
  ${IfNot} ${Errors}
    DeleteRegKey HKLM "${ACTIVE_SETUP_KEY}"
    Return
  ${EndIf}
  ReadRegStr $1 HKLM "${ACTIVE_SETUP_KEY}" "Version"
  ReadRegStr $2 HKLM "${ACTIVE_SETUP_KEY}" "StubPath"
  StrCpy $3 '"$INSTDIR\uninstall.exe" /S /USERSETUP _?=$INSTDIR'
  ${If} $2 != $3
  ${OrIf} $1 == ""
    IntOp $1 $1 + 1
    StrCpy $1 "$1,0,0,0"
  ${EndIf}
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "" "Glimmerbox screen saver"
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "StubPath" $3
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "Version" $1
  WriteRegDWORD HKLM "${ACTIVE_SETUP_KEY}" "IsInstalled" 1
FunctionEnd

Section "Glimmerbox"
  ${If} $Part == machine
    Call MachinePart
    Return
  ${EndIf}
  Call QuitAgent
  ${If} $Part == user
    StrCpy $R0 "/S /MACHINEPART"
    ${If} $CornersAtLogon == 0
      StrCpy $R0 "$R0 /NOCORNERS"
    ${EndIf}
    ${If} $PerMachine == 1
      StrCpy $R0 "$R0 /ALLUSERS"
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/KEEPSAVER" $1
    ${IfNot} ${Errors}
      StrCpy $R0 "$R0 /KEEPSAVER"
    ${EndIf}
    ; /D= comes last and unquoted.
    StrCpy $R0 "$R0 /D=$INSTDIR"
    Call RunMachinePart
    ${If} $R1 == 5
      SetErrorLevel 5
    ${ElseIf} $R1 <> 0
      Call RestartAgent
      MessageBox MB_ICONSTOP "Nothing was installed (the administrator's part ended with code $R1)." /SD IDOK
      SetErrorLevel $R1
      Quit
    ${EndIf}
  ${Else}
    Call MachinePart
  ${EndIf}
  Call RestartAgent
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/KEEPSAVER" $1
    ${If} ${Errors}
      Call UseAsScreenSaver
    ${EndIf}
  ${EndIf}
SectionEnd

; Makes Glimmerbox the user's saver, remembering what it replaces (see UseAsScreenSaver).
!macro UseSaver
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} ${Errors}
    WriteRegStr HKCU "${USER_KEY}" "PreviousSaverMissing" "1"
    DeleteRegValue HKCU "${USER_KEY}" "PreviousSaver"
  ${ElseIf} $0 != $SaverPath
    WriteRegStr HKCU "${USER_KEY}" "PreviousSaver" $0
    DeleteRegValue HKCU "${USER_KEY}" "PreviousSaverMissing"
  ${Else}
    Goto current  ; already Glimmerbox: the records of the install that made it so stay
  ${EndIf}
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
  ${If} ${Errors}
    WriteRegStr HKCU "${USER_KEY}" "PreviousActiveMissing" "1"
    DeleteRegValue HKCU "${USER_KEY}" "PreviousActive"
  ${Else}
    WriteRegStr HKCU "${USER_KEY}" "PreviousActive" $0
    DeleteRegValue HKCU "${USER_KEY}" "PreviousActiveMissing"
  ${EndIf}
  current:
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $SaverPath
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
!macroend

; Makes Glimmerbox the user's screen saver (not per machine: the user's own step does that),
; remembering for the uninstaller what it replaces: only one of each pair of records holds, the
; last one written.
Function UseAsScreenSaver
  ${IfThen} $PerMachine == 1 ${|} Return ${|}
  !insertmacro UseSaver
FunctionEnd


; The finish page runs in the user's half, so the settings open as the user; on 64-bit Windows
; they are the 64-bit saver's (a 32-bit installer would otherwise start SysWOW64's copy).
Function OpenSaverSettings
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  Exec '"$SaverPath" /c'
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro ChoosePart "un."
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/USERSETUP" $1
  ${IfNot} ${Errors}
    ; A user's step of a per-machine install, as they log on (Active Setup).
    !insertmacro UseSaver
    SetErrorLevel 0
    Quit
  ${EndIf}
  ReadRegStr $InstalledSaver HKLM "${UNINSTALL_KEY}" "SaverPath"
  ; Deployed per machine, it goes per machine however it is uninstalled (Programs and Features too):
  ; every user who got the saver gets theirs back.
  ReadRegStr $1 HKLM "${ACTIVE_SETUP_KEY}" "StubPath"
  ${IfThen} $1 != "" ${|} StrCpy $PerMachine 1 ${|}
FunctionEnd

; The user's half: their saver back to the one Glimmerbox replaced, unless they chose another since.
Function un.UserPart
  StrCpy $R0 $InstalledSaver
  ; Carousel goes too, from beside Glimmerbox: a user who chose it gets back what Glimmerbox replaced.
  ${un.GetParent} $R0 $R1
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == $R0
  ${OrIf} $0 == "$R1\carousel.scr"
    ReadRegStr $1 HKCU "${USER_KEY}" "PreviousSaverMissing"
    ReadRegStr $2 HKCU "${USER_KEY}" "PreviousSaver"
    ${If} $1 == "1"
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $2
    ${EndIf}
    ReadRegStr $1 HKCU "${USER_KEY}" "PreviousActiveMissing"
    ClearErrors
    ReadRegStr $2 HKCU "${USER_KEY}" "PreviousActive"
    ${If} $1 == "1"
      DeleteRegValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${ElseIfNot} ${Errors}
      WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" $2
    ${EndIf}
  ${EndIf}
  DeleteRegKey HKCU "${USER_KEY}"
  ; The agent's own /install writes this one.
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
FunctionEnd

; The machine's half. A file still in use goes at the next restart, and the exit code says so.
Function un.MachinePart
  ${If} $PerMachine == 1
    InitPluginsDir
    File "/oname=$PLUGINSDIR\restoresavers.exe" "${RESTORESAVERS}"
    ExecWait '"$PLUGINSDIR\restoresavers.exe" "$InstalledSaver" "${ACTIVE_SETUP_ID}"' $0
    ${If} $0 <> 0
      MessageBox MB_ICONEXCLAMATION "Some users' screen saver could not be put back (code $0): they choose another in the screen saver settings." /SD IDOK
    ${EndIf}
  ${EndIf}
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${If} ${RunningX64}
    Delete /REBOOTOK "$WINDIR\SysWOW64\glimmerbox.scr"
    Delete /REBOOTOK "$WINDIR\SysWOW64\carousel.scr"
    ${DisableX64FSRedirection}
    Delete /REBOOTOK "$WINDIR\System32\glimmerbox.scr"
    Delete /REBOOTOK "$WINDIR\System32\carousel.scr"
    Delete /REBOOTOK "$WINDIR\System32\morvanecorners.exe"
    Delete /REBOOTOK "$WINDIR\System32\ScrHots.dll"
    ${EnableX64FSRedirection}
  ${Else}
    Delete /REBOOTOK "$SYSDIR\glimmerbox.scr"
    Delete /REBOOTOK "$SYSDIR\carousel.scr"
    Delete /REBOOTOK "$SYSDIR\morvanecorners.exe"
    Delete /REBOOTOK "$SYSDIR\ScrHots.dll"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${ACTIVE_SETUP_KEY}"
  ; Run in place (_?=, for a caller that waits) the uninstaller cannot delete itself: it goes at the
  ; next restart, which nothing else needs.
  StrCpy $1 0
  IfRebootFlag 0 +2
    StrCpy $1 1
  Delete /REBOOTOK "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  ${If} $EXEPATH == "$INSTDIR\uninstall.exe"
  ${AndIf} $1 == 0
    SetRebootFlag false
  ${EndIf}
  IfRebootFlag 0 +2
    SetErrorLevel 3010
FunctionEnd

; Elevation is asked before anything changes: refused, the user's saver, their records and the
; agent are as they were. The elevated half ends the agent itself (a message from higher rights to
; lower passes).
Section "Uninstall"
  ${If} $Part == machine
    Call un.QuitAgent
    Call un.MachinePart
    Return
  ${EndIf}
  ${If} $Part == user
    StrCpy $R0 "/S /MACHINEPART"
    ${If} $PerMachine == 1
      StrCpy $R0 "$R0 /ALLUSERS"
    ${EndIf}
    StrCpy $R0 "$R0 _?=$INSTDIR"
    Call un.RunMachinePart
    ${If} $R1 <> 0
    ${AndIf} $R1 <> 3010
      MessageBox MB_ICONSTOP "Nothing was uninstalled (the administrator's part ended with code $R1)." /SD IDOK
      SetErrorLevel $R1
      Quit
    ${EndIf}
    ${IfThen} $R1 == 3010 ${|} SetRebootFlag true ${|}
    ${IfThen} $PerMachine <> 1 ${|} Call un.UserPart ${|}
    SetErrorLevel $R1
  ${Else}
    Call un.QuitAgent
    ${IfThen} $PerMachine <> 1 ${|} Call un.UserPart ${|}
    Call un.MachinePart
  ${EndIf}
SectionEnd
