; The Windows installer of Morva, built by scripts/package.sh with makensis:
;   makensis -DVERSION=<version> -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> morva.nsi
; It installs morva.exe and its README into Program Files with a Start-menu
; shortcut and an entry in the system's list of installed programs, and
; offers Morva's capture service (avicap32.dll with synthetic cameras) as an
; optional component, off by default: beside morva.exe it stands in for the
; system's own capture service, which a machine with a capture driver wants.
; Silent install: setup.exe /S (add /CAMERAS for the capture service).
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Morva"

Name "Morva ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Morva"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Morva" SecMain
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\morva.exe"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Morva"
  CreateShortcut "$SMPROGRAMS\Morva\Morva.lnk" "$INSTDIR\morva.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Morva"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Morva developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\morva.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "Synthetic cameras (capture service)" SecCameras
  SetOutPath "$INSTDIR"
  File "${STAGE}\avicap32.dll"
SectionEnd

Section "-Size"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "The application, its README and a Start-menu shortcut."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecCameras} "Morva's own capture service with synthetic cameras, for machines without a capture driver. Beside morva.exe it replaces the system's capture service for Morva."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/CAMERAS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecCameras}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Morva\Morva.lnk"
  RMDir "$SMPROGRAMS\Morva"
  Delete "$INSTDIR\morva.exe"
  Delete "$INSTDIR\avicap32.dll"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
