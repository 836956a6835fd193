; Per-user installer for VANTREL. Built by scripts/release.sh, which passes:
;   VERSION   version text, e.g. 1.0.0 (from res/version.h)
;   STAGE     folder holding vantrel.exe, guide.txt, eject-backup.ini, readme.txt,
;             license.txt
;   OUTFILE   the installer to write
;   ICON      the program's icon file
;   AMD64     (optional) build a 64-bit installer, for hosts that run no 32-bit code
;   SIGN      (optional) the release script, which signs the file it is given
; No administrator rights: everything goes under the user's own profile and
; HKEY_CURRENT_USER.

Unicode true
!ifdef AMD64
Target amd64-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

; The product's name, publisher and copyright line, from the program's own
; header, as the version resource has them.
!searchparse /file "${__FILEDIR__}/../res/product.h" '#define VANTREL_PRODUCT "' APP '"'
!searchparse /file "${__FILEDIR__}/../res/product.h" '#define VANTREL_PUBLISHER "' PUBLISHER '"'
!searchparse /file "${__FILEDIR__}/../res/product.h" '#define VANTREL_COPYRIGHT "' COPYRIGHT '"'
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The Exit command, read from the program's own list of ids.
!searchparse /file "${__FILEDIR__}/../app/ids.h" "#define ID_EXIT " ID_EXIT

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
!ifdef SIGN
; The uninstaller is signed before it is packed in, the installer once made.
!uninstfinalize 'sh "${SIGN}" --sign-file "%1"' = 0
!finalize 'sh "${SIGN}" --sign-file "%1"' = 0
!endif
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${APP} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${COPYRIGHT}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running copy to end the way its own Exit command does, and waits
; until its process is gone, so that its file can be replaced or removed.
!macro END_RUNNING_COPY UN
Function ${UN}EndRunningCopy
  FindWindow $0 "${APP}" "${APP}"
  ${If} $0 == 0
    Return
  ${EndIf}
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
  System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
  System::Call 'user32::PostMessage(p r0, i ${WM_COMMAND}, p ${ID_EXIT}, p 0)'
  ${If} $2 != 0
    System::Call 'kernel32::WaitForSingleObject(p r2, i 15000)'
    System::Call 'kernel32::CloseHandle(p r2)'
    Return
  ${EndIf}
  ; No handle on the process: watch its window instead, then give the
  ; process a moment to finish its teardown.
  StrCpy $3 0
  ${Do}
    Sleep 100
    FindWindow $0 "${APP}" "${APP}"
    IntOp $3 $3 + 1
    ${If} $0 == 0
    ${OrIf} $3 >= 150
      ${ExitDo}
    ${EndIf}
  ${Loop}
  Sleep 500
FunctionEnd
!macroend
!insertmacro END_RUNNING_COPY ""
!insertmacro END_RUNNING_COPY "un."

Section "-${APP}" SecMain
  Call EndRunningCopy
  SetOutPath "$INSTDIR"
  File "${STAGE}\vantrel.exe"
  File "${STAGE}\guide.txt"
  File "${STAGE}\eject-backup.ini"
  File "${STAGE}\readme.txt"
  File "${STAGE}\license.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; No arguments: the program takes any command line as a list file.
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\vantrel.exe" "" "$INSTDIR\vantrel.exe" 0

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\vantrel.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" 300
SectionEnd

Section "Start ${APP} when I log on" SecLogon
  WriteRegStr HKCU "${RUN_KEY}" "${APP}" '"$INSTDIR\vantrel.exe"'
SectionEnd

; Unticking the option on an update takes the program out of the logon list.
Section "-logon off"
  ${IfNot} ${SectionIsSelected} ${SecLogon}
    DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
  ${EndIf}
SectionEnd

Function .onInit
  ; An update keeps the user's earlier answer about starting at logon.
  ReadRegStr $0 HKCU "${UNINST_KEY}" "UninstallString"
  ReadRegStr $1 HKCU "${RUN_KEY}" "${APP}"
  ${If} $0 != ""
  ${AndIf} $1 == ""
    !insertmacro UnselectSection ${SecLogon}
  ${EndIf}
FunctionEnd

Function .onInstSuccess
  ${IfNot} ${Silent}
    Exec '"$INSTDIR\vantrel.exe"'
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.EndRunningCopy
  Delete "$INSTDIR\vantrel.exe"
  Delete "$INSTDIR\guide.txt"
  Delete "$INSTDIR\eject-backup.ini"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\license.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
  DeleteRegKey HKCU "${UNINST_KEY}"
  ; The settings under Software\HALCYRA\VANTREL stay, so that a later
  ; install finds the user's hide list again.
SectionEnd
