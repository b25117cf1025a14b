; The Windows installer of the ULVO printer program (NSIS 3, Unicode). scripts/windows-package
; gives the staged files and the names:
;   makensis -INPUTCHARSET UTF8 -DVERSION=2.0.0 -DSTAGE=<folder> -DOUTFILE=<setup.exe> ulvo.nsi
; The program keeps its settings and logs in %APPDATA%\ulvo and %LOCALAPPDATA%\ulvo; the
; uninstaller leaves them, so a new installation finds the printer's settings again.
; A 64-bit installer: the program is 64-bit, and so it runs where the program runs.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
!include "MUI2.nsh"
!include "x64.nsh"

!define APPNAME "Program użytkownika drukarek ULVO"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ULVO"

Name "${APPNAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\ULVO"
InstallDirRegKey HKLM "Software\ULVO" "InstallDir"
BrandingText "ULVO ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1045 "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=1045 "FileDescription" "Instalator programu użytkownika drukarek ULVO"
VIAddVersionKey /LANG=1045 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1045 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1045 "LegalCopyright" "ULVO"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\ulvo.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Uruchom program"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Polish"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP|MB_OK "Ten program wymaga 64-bitowego systemu Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Program" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\odinstaluj.exe"
  ; All users' Start menu: the program is installed for everybody.
  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\ulvo.exe" "" "$INSTDIR\ulvo.exe" 0
  WriteRegStr HKLM "Software\ULVO" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "${APPNAME}"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTKEY}" "Publisher" "ULVO"
  WriteRegStr HKLM "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\ulvo.exe"
  WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\odinstaluj.exe"'
  WriteRegStr HKLM "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\odinstaluj.exe" /S'
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  ; Only what the installer put there (the list scripts/windows-package wrote), then the
  ; folder when it is empty: a file the user left in it stays.
  !include "${STAGE}\..\uninstall-files.nsh"
  Delete "$INSTDIR\odinstaluj.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTKEY}"
  DeleteRegKey HKLM "Software\ULVO"
SectionEnd
