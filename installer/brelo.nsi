; The Windows installer:
;   makensis -DVERSION=... -DSTAGE=folder -DUNINSTALL_LIST=file -DOUTFILE=... installer/brelo.nsi
; STAGE is the folder scripts/windows-deploy.sh filled: the program, the DLLs and plugins it
; loads, the French translations, models/ and survey/, the settings file's template
; brelo-exemple.ini (and tls/ when the build was given the authorities' certificates); the
; office's brelo.ini, which it makes from the template, is never overwritten nor removed;
; UNINSTALL_LIST the uninstaller's lines that remove
; each file of it. /S installs without a question, /D=folder chooses the folder.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define APP "Brelo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "Software\${APP}" "InstallDir"
ShowInstDetails show

!include "MUI2.nsh"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Brelo"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  ; The contracts are written beside the program by whoever uses it, not only by an
  ; administrator: the users' group may change what the folder holds (S-1-5-32-545, whatever
  ; the system's language names it).
  CreateDirectory "$INSTDIR\generated"
  nsExec::Exec 'icacls "$INSTDIR\generated" /grant *S-1-5-32-545:(OI)(CI)M'
  Pop $0
  CreateDirectory "$SMPROGRAMS\${APP}"
  CreateShortCut "$SMPROGRAMS\${APP}\${APP}.lnk" "$INSTDIR\brelo.exe"
  CreateShortCut "$SMPROGRAMS\${APP}\Désinstaller ${APP}.lnk" "$INSTDIR\uninstall.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "Software\${APP}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\brelo.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The generated contracts stay: they are the office's documents, and the shared folder holds
; only those copied on OK.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APP}\${APP}.lnk"
  Delete "$SMPROGRAMS\${APP}\Désinstaller ${APP}.lnk"
  RMDir "$SMPROGRAMS\${APP}"
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\generated"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\${APP}"
SectionEnd
