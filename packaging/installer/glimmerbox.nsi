; The user's installer of Glimmerbox: the screen saver where Windows looks for savers, the hot-corner
; agent and its ScrHots.dll when the build has them, an uninstaller in Programs and Features.
; tools/make-installer.sh defines VERSION, OUTFILE, SAVER32 and, when built, SAVER64, AGENT32,
; HOTS32, AGENT64 and HOTS64 (paths of the files to carry); when signing, SIGN (tools/sign.sh) and
; SIGNED_PLUGINS (signed copies of NSIS's plugins).
;
; Silent (/S): installs, makes Glimmerbox the current screen saver (unless /KEEPSAVER) and, with the
; agent, starts hot corners at logon (unless /NOCORNERS). Exit codes: 0 done, 2 a file could not be
; written (nothing left installed), 3 an unsupported system.
Unicode true
!ifdef SIGN
!addplugindir /x86-unicode "${SIGNED_PLUGINS}"
; The uninstaller is signed before it is packed, so that the copy written at install keeps it.
!uninstfinalize '"${SIGN}" "%1"' = 0
!finalize '"${SIGN}" "%1"' = 0
!endif
RequestExecutionLevel admin
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
  ${If} ${RunningX64}
    SetRegView 64
    StrCpy $SaverPath "$WINDIR\System32\glimmerbox.scr"
  ${Else}
    StrCpy $SaverPath "$SYSDIR\glimmerbox.scr"
  ${EndIf}
FunctionEnd

!ifdef AGENT32
Function CornersPage
  !insertmacro MUI_HEADER_TEXT "Hot corners" "Start or keep off the screen saver with the mouse."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "The hot-corner agent starts the screen saver when the pointer rests in a corner set to $\"now$\" (Screen saver settings, General page), and keeps it off in a corner set to $\"never$\"."
  Pop $0
  ${NSD_CreateCheckBox} 0 44u 100% 12u "Start hot corners when I log on"
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

; Writes one file; on failure removes the files written before it, says so and ends with code 2.
!macro PutFile SOURCE TARGET_DIR NAME
  ClearErrors
  SetOutPath "${TARGET_DIR}"
  File "/oname=${NAME}" "${SOURCE}"
  ${If} ${Errors}
    StrCpy $R9 "${TARGET_DIR}\${NAME}"
    Call Rollback
  ${EndIf}
  IntOp $Written $Written + 1
  Push "${TARGET_DIR}\${NAME}"
!macroend

; The files written so far are on the stack, the last on top, each with its real folder: no
; redirection may turn System32 into SysWOW64 while they go.
Function Rollback
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  ${DoWhile} $Written > 0
    Pop $0
    Delete $0
    IntOp $Written $Written - 1
  ${Loop}
  ${EnableX64FSRedirection}
  MessageBox MB_ICONSTOP "Could not write $R9 (the disk may be full, or the file read-only or in use). Nothing was installed." /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

Section "Glimmerbox"
  StrCpy $Written 0
  ${If} ${RunningX64}
    ; The 32-bit saver for 32-bit hosts (SysWOW64), the 64-bit one where 64-bit Windows lists savers.
    !insertmacro PutFile "${SAVER32}" "$WINDIR\SysWOW64" "glimmerbox.scr"
!ifdef SAVER64
    ${DisableX64FSRedirection}
    !insertmacro PutFile "${SAVER64}" "$WINDIR\System32" "glimmerbox.scr"
!ifdef AGENT64
    !insertmacro PutFile "${AGENT64}" "$WINDIR\System32" "morvanecorners.exe"
    !insertmacro PutFile "${HOTS64}" "$WINDIR\System32" "ScrHots.dll"
!endif
    ${EnableX64FSRedirection}
!else
    StrCpy $SaverPath "$WINDIR\SysWOW64\glimmerbox.scr"
!endif
  ${Else}
    !insertmacro PutFile "${SAVER32}" "$SYSDIR" "glimmerbox.scr"
!ifdef AGENT32
    !insertmacro PutFile "${AGENT32}" "$SYSDIR" "morvanecorners.exe"
    !insertmacro PutFile "${HOTS32}" "$SYSDIR" "ScrHots.dll"
!endif
  ${EndIf}
  ClearErrors
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    StrCpy $R9 "$INSTDIR\uninstall.exe"
    Call Rollback
  ${EndIf}
  ; Nothing above may be rolled back any more: forget the list.
  ${DoWhile} $Written > 0
    Pop $0
    IntOp $Written $Written - 1
  ${Loop}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Glimmerbox screen saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SaverPath,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "SaverPath" "$SaverPath"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

!ifdef AGENT32
  ${If} $CornersAtLogon == 1
    ${If} ${RunningX64}
      WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$WINDIR\System32\morvanecorners.exe" /start'
    ${Else}
      WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$SYSDIR\morvanecorners.exe" /start'
    ${EndIf}
  ${EndIf}
!endif

  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/KEEPSAVER" $1
    ${If} ${Errors}
      Call UseAsScreenSaver
    ${EndIf}
  ${EndIf}
SectionEnd

; Makes Glimmerbox the current screen saver, remembering the one it replaces for the uninstaller.
Function UseAsScreenSaver
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} ${Errors}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousSaverMissing" "1"
  ${ElseIf} $0 != $SaverPath
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousSaver" $0
  ${EndIf}
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
  ${If} ${Errors}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousActiveMissing" "1"
  ${Else}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousActive" $0
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $SaverPath
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
FunctionEnd

Function OpenSaverSettings
  Exec '"$SaverPath" /c'
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "SaverPath"
  ; The current saver goes back to the one Glimmerbox replaced, unless the user chose another since.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == $R0
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "PreviousSaverMissing"
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "PreviousSaver"
    ${If} $1 == "1"
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $2
    ${EndIf}
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "PreviousActiveMissing"
    ClearErrors
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "PreviousActive"
    ${If} $1 == "1"
      DeleteRegValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${ElseIfNot} ${Errors}
      WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" $2
    ${EndIf}
  ${EndIf}
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} ${RunningX64}
    Delete "$WINDIR\SysWOW64\glimmerbox.scr"
    ${DisableX64FSRedirection}
    Delete "$WINDIR\System32\glimmerbox.scr"
    Delete "$WINDIR\System32\morvanecorners.exe"
    Delete "$WINDIR\System32\ScrHots.dll"
    ${EnableX64FSRedirection}
  ${Else}
    Delete "$SYSDIR\glimmerbox.scr"
    Delete "$SYSDIR\morvanecorners.exe"
    Delete "$SYSDIR\ScrHots.dll"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
