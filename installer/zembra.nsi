; Setup of the Zembra suite: the programs, the shipped presets and the help into one folder, the
; shell extension registered for Explorer, Start-menu shortcuts and an entry in Add/Remove
; Programs. Built by installer/make_setup.cmake, which passes TARGET (win32 or win64), VERSION,
; OUTFILE and GENERATED (the folder of files.nsh and registry.nsh).
;
; Silent use: setup /S [/D=folder]; zembra-uninstall.exe /S [/REMOVESETTINGS].
;
; The folder may hold files that are not ours (another program's, the user's). The setup writes
; only files it owns: ones not there yet, or ones it wrote itself and nobody changed since (it
; keeps a record of each file's length and time under the uninstall key). Anything else is kept
; and named. The uninstaller removes only what the record shows unchanged, and only the folders
; the setup created, when they are empty.

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
; The record of what this setup wrote: files by relative path ("size:time high:time low" when
; written) and folders it created.
!define FILES_KEY "${UNINSTALL_KEY}\Files"
!define FOLDERS_KEY "${UNINSTALL_KEY}\Folders"
; A name of its own: a folder shared with another program may hold its "uninstall.exe".
!define UNINSTALLER "zembra-uninstall.exe"

Var ZembraKept
Var RemoveSettings

; out = "size:high:low" of a file's length and last-write time, "" when it cannot be read.
!macro ZembraStamp file out
  StrCpy ${out} ""
  ClearErrors
  GetFileTime "${file}" $R8 $R9
  ${IfNot} ${Errors}
    FileOpen $R7 "${file}" r
    ${IfNot} ${Errors}
      FileSeek $R7 0 END $R6
      FileClose $R7
      StrCpy ${out} "$R6:$R8:$R9"
    ${EndIf}
  ${EndIf}
!macroend

; True (R2 = 1) when the file is not there, or is there as this setup wrote it.
!macro ZembraOwned target key
  StrCpy $R2 1
  ${If} ${FileExists} "${target}"
    !insertmacro ZembraStamp "${target}" $R0
    ReadRegStr $R1 HKLM "${FILES_KEY}" "${key}"
    ${If} $R1 == ""
    ${OrIf} $R1 != $R0
      StrCpy $R2 0
    ${EndIf}
  ${EndIf}
!macroend

!macro ZembraRecord target key
  !insertmacro ZembraStamp "${target}" $R0
  WriteRegStr HKLM "${FILES_KEY}" "${key}" $R0
!macroend

; A file the old version still has open (varlo.dll in Explorer, a running zembra.exe) cannot be
; overwritten but can be renamed: the new one takes its place, the old goes at the next restart.
; A file this setup does not own is left as it is, and named at the end.
!macro ZembraInstallFile source target key
  !insertmacro ZembraOwned "${target}" "${key}"
  ${If} $R2 == 0
    DetailPrint "Kept ${target}: this setup did not write it, or it was changed since"
    StrCpy $ZembraKept "$ZembraKept$\r$\n${target}"
  ${Else}
    ${If} ${FileExists} "${target}"
      Delete "${target}"
      ${If} ${FileExists} "${target}"
        Delete "${target}.old"
        Rename "${target}" "${target}.old"
        Delete /REBOOTOK "${target}.old"
      ${EndIf}
    ${EndIf}
    File "/oname=${target}" "${source}"
    !insertmacro ZembraRecord "${target}" "${key}"
  ${EndIf}
!macroend

; A settings file (the presets): written only where none is, ours or the user's.
!macro ZembraInstallSetting source target key
  ${IfNot} ${FileExists} "${target}"
    File "/oname=${target}" "${source}"
    !insertmacro ZembraRecord "${target}" "${key}"
  ${EndIf}
!macroend

; A folder below the program folder, recorded when this setup makes it.
!macro ZembraOutPath folder key
  ${IfNot} ${FileExists} "${folder}\*.*"
    WriteRegStr HKLM "${FOLDERS_KEY}" "${key}" "created"
  ${EndIf}
  SetOutPath "${folder}"
!macroend

; Removed when the record shows it unchanged; a setting (custom.dat) the user changed, or had
; before, goes only with the settings.
!macro ZembraRemoveFile target key setting
  ${If} ${FileExists} "${target}"
    !insertmacro ZembraOwned "${target}" "${key}"
    ${If} $R2 == 1
      Delete /REBOOTOK "${target}"
!if ${setting} == 1
    ${ElseIf} $RemoveSettings == 1
      Delete /REBOOTOK "${target}"
!endif
    ${Else}
      DetailPrint "Kept ${target}: this setup did not write it, or it was changed since"
    ${EndIf}
  ${EndIf}
!macroend

!macro ZembraRemoveFolder folder key
  ReadRegStr $R1 HKLM "${FOLDERS_KEY}" "${key}"
  ${If} $R1 == "created"
    RMDir /REBOOTOK "${folder}"
  ${EndIf}
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
  ; Our own uninstaller's name taken by a file we did not write: this is not our folder.
  !insertmacro ZembraOwned "$INSTDIR\${UNINSTALLER}" "${UNINSTALLER}"
  ${If} $R2 == 0
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR already holds ${UNINSTALLER}, which this setup did not write.$\r$\nChoose another folder." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    WriteRegStr HKLM "${FOLDERS_KEY}" "." "created"
  ${EndIf}
  SetOutPath "$INSTDIR"
  StrCpy $ZembraKept ""
  !insertmacro ZembraInstallFiles
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  !insertmacro ZembraRecord "$INSTDIR\${UNINSTALLER}" "${UNINSTALLER}"

  !insertmacro ZembraWriteRegistry

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zembra.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${ZEMBRA_SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Zembra.lnk" "$INSTDIR\zembra.exe"
!ifdef ZEMBRA_HELP_INDEX
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Zembra Help.lnk" "$INSTDIR\${ZEMBRA_HELP_INDEX}"
!endif
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk" "$INSTDIR\${UNINSTALLER}"

  ; Explorer reads its menu handlers again.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  ${If} $ZembraKept != ""
    MessageBox MB_OK|MB_ICONINFORMATION "These files were in the folder already and were kept; the setup did not replace them:$ZembraKept" /SD IDOK
  ${EndIf}
SectionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  ; The settings are the user's: they go only when asked for.
  StrCpy $RemoveSettings 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${Else}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Also remove your Zembra settings (recent projects, options, presets and mail settings)?" /SD IDNO IDNO keep_settings
    StrCpy $RemoveSettings 1
  keep_settings:
  ${EndIf}

  !insertmacro ZembraRemoveRegistry

  Delete "$SMPROGRAMS\${PRODUCT}\Zembra.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Zembra Help.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ; Before the record goes with the uninstall key.
  !insertmacro ZembraRemoveFiles
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when this setup made it, and only when empty: split sets and projects a user saved here
  ; stay, and the folder with them.
  !insertmacro ZembraRemoveFolder "$INSTDIR" "."
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ${If} $RemoveSettings == 1
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
  ${EndIf}

  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
