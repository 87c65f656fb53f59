; The Windows installer of Morva, built by scripts/package.sh with makensis:
;   makensis -DVERSION=<version> -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> morva.nsi
; It installs morva.exe and its README into Program Files with a Start-menu
; shortcut and an entry in the system's list of installed programs, and
; offers Morva's capture service (avicap32.dll with synthetic cameras) as an
; optional component, off by default: beside morva.exe it stands in for the
; system's own capture service, which a machine with a capture driver wants.
; Its component "Motion JPEG codec", on by default, installs morvamjpg.dll as
; a system codec (the system folder and vidc.MJPG in the Drivers32 list,
; keeping any earlier vidc.MJPG to put back on uninstall).
; Silent install: setup.exe /S (add /CAMERAS for the capture service,
; /NOCODEC to leave the codec out).
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Morva"
!define DRIVERS32_KEY "Software\Microsoft\Windows NT\CurrentVersion\Drivers32"

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

; A 32-bit installer: $SYSDIR and HKLM\Software are the 32-bit ones, which
; the 32-bit morva.exe uses, also on 64-bit Windows.
Section "Motion JPEG codec" SecCodec
  SetOutPath "$SYSDIR"
  File "${STAGE}\morvamjpg.dll"
  ReadRegStr $0 HKLM "${DRIVERS32_KEY}" "vidc.MJPG"
  ${If} $0 != ""
  ${AndIf} $0 != "morvamjpg.dll"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousMJPG" $0
  ${EndIf}
  WriteRegStr HKLM "${DRIVERS32_KEY}" "vidc.MJPG" "morvamjpg.dll"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "CodecInstalled" 1
SectionEnd

Section "-Size"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "The application, its README and a Start-menu shortcut."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecCodec} "Morva's Motion JPEG codec, a system codec that makes recordings about twenty times smaller. Pick it under Setting > Video Compresser."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecCameras} "Morva's own capture service with synthetic cameras, for machines without a capture driver. Beside morva.exe it replaces the system's capture service for Morva."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/CAMERAS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecCameras}
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/NOCODEC" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecCodec}
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
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "CodecInstalled"
  ${If} $0 == 1
    Delete "$SYSDIR\morvamjpg.dll"
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "PreviousMJPG"
    ${If} $1 != ""
      WriteRegStr HKLM "${DRIVERS32_KEY}" "vidc.MJPG" $1
    ${Else}
      DeleteRegValue HKLM "${DRIVERS32_KEY}" "vidc.MJPG"
    ${EndIf}
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
