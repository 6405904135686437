; The Windows installer, made on Linux with makensis by scripts/build-windows:
;   makensis -DVERSION=1.0 -DSTAGE=<unpacked zip folder> -DOUTFILE=<setup.exe> installer.nsi
; It installs for the current user (no administrator rights) or, with /AllUsers and rights,
; for everyone; /S installs silently. The uninstaller removes what was installed and nothing
; else: the settings, the soundtrack catalogue and kept files live in %APPDATA%\Ovra3 and stay.
; A 64-bit installer for 64-bit programs: it runs where they run, and under a 64-bit-only Wine.
Target amd64-unicode
!define PRODUCT "Ovra3 Editors"
!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ovra3Editors"
!define FILETYPE "Ovra3TrickEd.TrickConfig"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!define MUI_ICON "${__FILEDIR__}/TrickEd.ico"
!define MUI_UNICON "${__FILEDIR__}/TrickEd.ico"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Programs"
  SetOutPath "$INSTDIR"
  !include "${STAGE}.files.nsh"
  ; Tells the programs they are installed, so that each user keeps settings in %APPDATA%.
  FileOpen $0 "$INSTDIR\ovra3-installed" w
  FileClose $0
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Ovra3MediaEd.lnk" "$INSTDIR\Ovra3MediaEd.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Ovra3TrickEd.lnk" "$INSTDIR\Ovra3TrickEd.exe"

  ; A Trick Config opens in the trick editor, which asks before it applies the swaps.
  WriteRegStr SHCTX "Software\Classes\.tcg" "" "${FILETYPE}"
  WriteRegStr SHCTX "Software\Classes\${FILETYPE}" "" "Trick Config"
  WriteRegStr SHCTX "Software\Classes\${FILETYPE}\DefaultIcon" "" "$INSTDIR\Ovra3TrickEd.exe,0"
  WriteRegStr SHCTX "Software\Classes\${FILETYPE}\shell\open\command" "" \
    '"$INSTDIR\Ovra3TrickEd.exe" "%1"'

  WriteRegStr SHCTX "${KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${KEY}" "DisplayIcon" "$INSTDIR\Ovra3MediaEd.exe,0"
  WriteRegStr SHCTX "${KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${KEY}" "QuietUninstallString" \
    '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !include "${STAGE}.uninstall.nsh"
  Delete "$INSTDIR\ovra3-installed"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: whatever the player put there stays.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\Ovra3MediaEd.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Ovra3TrickEd.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ; The file type only while it is still ours.
  ReadRegStr $0 SHCTX "Software\Classes\.tcg" ""
  StrCmp $0 "${FILETYPE}" 0 +2
  DeleteRegKey SHCTX "Software\Classes\.tcg"
  DeleteRegKey SHCTX "Software\Classes\${FILETYPE}"
  DeleteRegKey SHCTX "${KEY}"
SectionEnd
