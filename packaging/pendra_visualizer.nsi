; Installer of Pendra_Visualizer, one script for both architectures:
;   makensis -DPV_ARCH=win32|win64 -DPV_VERSION=1.2.11 -DPV_STAGE=<folder>
;            -DPV_OUTFILE=<setup.exe> pendra_visualizer.nsi
; PV_STAGE holds the files of the program's folder (the zip package's
; contents): the program, the manual with its screenshots, README and LICENSE.
; The program keeps its settings and CSV logs in its current directory, so
; the shortcut starts it in a per-user data folder under Documents, which the
; uninstaller never deletes while it holds anything.

Unicode true
!if "${PV_ARCH}" == "win64"
  Target amd64-unicode
  !define PV_PROGRAMFILES "$PROGRAMFILES64"
  !define PV_REGVIEW 64
!else
  Target x86-unicode
  !define PV_PROGRAMFILES "$PROGRAMFILES32"
  !define PV_REGVIEW 32
!endif

!define PV_NAME "Pendra_Visualizer"
!define PV_EXE "Pendra_Visualizer.exe"
!define PV_DATA "$DOCUMENTS\${PV_NAME}"
!define PV_SHORTCUT "$SMPROGRAMS\${PV_NAME}.lnk"
!define PV_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PV_NAME}"

Name "${PV_NAME} ${PV_VERSION}"
OutFile "${PV_OUTFILE}"
InstallDir "${PV_PROGRAMFILES}\${PV_NAME}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${PV_VERSION}.0"
VIAddVersionKey ProductName "${PV_NAME}"
VIAddVersionKey ProductVersion "${PV_VERSION}"
VIAddVersionKey FileVersion "${PV_VERSION}"
VIAddVersionKey FileDescription "${PV_NAME} ${PV_VERSION} (${PV_ARCH}) setup"
VIAddVersionKey LegalCopyright "Copyright (c) 2026 The Pendra_Visualizer developers (MIT)"

!include MUI2.nsh
!define MUI_ICON "../src/resources/pendra.ico"
!define MUI_UNICON "../src/resources/pendra.ico"
BrandingText "${PV_NAME} ${PV_VERSION}"
!insertmacro MUI_PAGE_LICENSE "${PV_STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

Function .onInit
  SetRegView ${PV_REGVIEW}
FunctionEnd

Function un.onInit
  SetRegView ${PV_REGVIEW}
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File /r "${PV_STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext current
  CreateDirectory "${PV_DATA}"
  SetOutPath "${PV_DATA}"  ; the shortcut's working folder
  CreateShortcut "${PV_SHORTCUT}" "$INSTDIR\${PV_EXE}"

  WriteRegStr HKLM "${PV_UNINSTALL_KEY}" DisplayName "${PV_NAME}"
  WriteRegStr HKLM "${PV_UNINSTALL_KEY}" DisplayVersion "${PV_VERSION}"
  WriteRegStr HKLM "${PV_UNINSTALL_KEY}" DisplayIcon "$INSTDIR\${PV_EXE}"
  WriteRegStr HKLM "${PV_UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${PV_UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${PV_UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${PV_UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKLM "${PV_UNINSTALL_KEY}" NoRepair 1
SectionEnd

Section Uninstall
  Delete "$INSTDIR\${PV_EXE}"
  Delete "$INSTDIR\PENDRA_VISUALIZER_HELP.html"
  RMDir /r "$INSTDIR\screenshots"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext current
  Delete "${PV_SHORTCUT}"
  RMDir "${PV_DATA}"  ; only when empty: the operator's settings and logs stay

  DeleteRegKey HKLM "${PV_UNINSTALL_KEY}"
SectionEnd
