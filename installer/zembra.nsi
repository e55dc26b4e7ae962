; Setup of the Zembra suite: the programs, the shipped presets and the help into one folder, the
; shell extension registered for Explorer, Start-menu shortcuts and an entry in Add/Remove
; Programs. Built by installer/make_setup.cmake, which passes TARGET (win32 or win64), VERSION,
; OUTFILE and GENERATED (the folder of files.nsh and registry.nsh).
;
; Silent use: setup /S [/D=folder]; uninstall.exe /S [/REMOVESETTINGS].

Unicode true
!if "${TARGET}" == "win64"
  ; A 64-bit setup: Program Files and the registry are the 64-bit ones that the 64-bit Explorer reads.
  Target amd64-unicode
  !define PROGRAMS_FOLDER "$PROGRAMFILES64"
!else
  Target x86-unicode
  !define PROGRAMS_FOLDER "$PROGRAMFILES"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "Zembra"
!define PUBLISHER "Orlaq"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zembra"
; The main program's per-user settings: its registry key, the mail settings file and the per-user
; copies of that file and of the presets.
!define SETTINGS_KEY "Software\Local AppWizard-Generated Applications\Zembra"
!define SETTINGS_PARENT "Software\Local AppWizard-Generated Applications"
!define MAIL_SETTINGS "ReZove.ini"

; A file the old version still has open (varlo.dll in Explorer, a running zembra.exe) cannot be
; overwritten but can be renamed: the new one takes its place, the old goes at the next restart.
!macro ZembraInstallFile source target
  ${If} ${FileExists} "${target}"
    Delete "${target}"
    ${If} ${FileExists} "${target}"
      Delete "${target}.old"
      Rename "${target}" "${target}.old"
      Delete /REBOOTOK "${target}.old"
    ${EndIf}
  ${EndIf}
  File "/oname=${target}" "${source}"
!macroend

!include "${GENERATED}/files.nsh"
!include "${GENERATED}/registry.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS_FOLDER}\${PRODUCT}"
; A later setup goes where the first one went. Its own uninstall entry says where, rather than
; "Path", which a registration file imported by hand may have pointed anywhere.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestSupportedOS all
ManifestDPIAware true
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ABORTWARNING
!define MUI_ICON "${SOURCE}/resources/zembra.ico"
!define MUI_UNICON "${SOURCE}/resources/zembra.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
!if "${TARGET}" == "win64"
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This setup installs the 64-bit Zembra; use the 32-bit setup on this Windows." /SD IDOK
    Abort
  ${EndIf}
!endif
  SetShellVarContext all
FunctionEnd

Section "Zembra"
  SetShellVarContext all
  !insertmacro ZembraInstallFiles
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  !insertmacro ZembraWriteRegistry

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zembra.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${ZEMBRA_SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Zembra.lnk" "$INSTDIR\zembra.exe"
!ifdef ZEMBRA_HELP_INDEX
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Zembra Help.lnk" "$INSTDIR\${ZEMBRA_HELP_INDEX}"
!endif
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk" "$INSTDIR\uninstall.exe"

  ; Explorer reads its menu handlers again.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  !insertmacro ZembraRemoveRegistry
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  Delete "$SMPROGRAMS\${PRODUCT}\Zembra.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Zembra Help.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  !insertmacro ZembraRemoveFiles
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: split sets and projects a user saved here stay, and the folder with them.
  RMDir /REBOOTOK "$INSTDIR"

  ; The settings are the user's: they go only when asked for.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Also remove your Zembra settings (recent projects, options and mail settings)?" /SD IDNO IDNO keep_settings
  ${EndIf}
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT}"
  Delete "$WINDIR\${MAIL_SETTINGS}"
  ; The programs keep per-user copies of the mail settings and the presets where the Windows
  ; folder or the program folder refuses writes.
  SetShellVarContext current
  Delete "$APPDATA\Zembra\${MAIL_SETTINGS}"
  Delete "$APPDATA\Zembra\custom.dat"
  RMDir "$APPDATA\Zembra"
  SetShellVarContext all
keep_settings:

  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
