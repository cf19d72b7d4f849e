; The Windows installer: Tavorin for every user in Program Files\Tavorin, "Tavorin" in the
; Start menu, a desktop shortcut if asked, an entry in Add/Remove Programs, and an uninstaller
; that takes away what was installed and nothing else.
;
; scripts/package.sh builds it from the staged zip folder:
;   makensis -DVERSION=1.0.0 -DFILE_LIST=files.nsh -DOUTFILE=SETUP.exe tavorin.nsi
; files.nsh lists the zip's files in two macros, InstallFiles (File lines with their full
; paths, LICENSE.txt among them as LICENSE_TXT) and UninstallFiles (Delete lines).
; Command line of the installer: /S installs without questions, /DESKTOP adds the desktop
; shortcut, /D=FOLDER (last) installs elsewhere.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef VERSION | FILE_LIST | OUTFILE
    !error "Give -DVERSION=X.Y.Z -DFILE_LIST=files.nsh -DOUTFILE=SETUP.exe"
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include "${FILE_LIST}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavorin"
!define PUBLISHER "The Tavorin developers"

Name "Tavorin"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tavorin"
BrandingText "Tavorin ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 ProductName "Tavorin"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileDescription "Tavorin ${VERSION} setup"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright (c) 2026 ${PUBLISHER}, MIT licence"

!define MUI_ICON "..\icons\tavorin.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_LICENSE "${LICENSE_TXT}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; An earlier Tavorin goes first, by its own uninstaller, so that no file of it stays behind.
; _?= keeps that uninstaller in place and makes ExecWait wait for it; it cannot delete itself.
Section "-Remove the installed version"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        ExecWait '"$0\uninstall.exe" /S _?=$0'
        Delete "$0\uninstall.exe"
        RMDir "$0"
    ${EndIf}
SectionEnd

Section "Tavorin" SecGame
    SectionIn RO
    ; The shortcut's "Start in" folder is the output folder: the game reads arrow.bmp there.
    SetOutPath "$INSTDIR"
    !insertmacro InstallFiles
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Tavorin.lnk" "$INSTDIR\tavorin.exe" "" "$INSTDIR\tavorin.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tavorin"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tavorin.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize ${SecGame} $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Off unless ticked, or /DESKTOP given with /S. The uninstaller removes it only if made here.
Section /o "Desktop shortcut" SecDesktop
    SetOutPath "$INSTDIR"
    CreateShortcut "$DESKTOP\Tavorin.lnk" "$INSTDIR\tavorin.exe" "" "$INSTDIR\tavorin.exe" 0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "DesktopShortcut" 1
SectionEnd

Section "Uninstall"
    !insertmacro UninstallFiles
    Delete "$INSTDIR\uninstall.exe"
    ; Only if empty: files the player put there stay, and so does the folder.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Tavorin.lnk"
    ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "DesktopShortcut"
    ${If} $0 = 1
        Delete "$DESKTOP\Tavorin.lnk"
    ${EndIf}
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Per machine: the 64-bit registry and the shortcuts of all users.
Function .onInit
    SetRegView 64
    SetShellVarContext all
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/DESKTOP" $0
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecDesktop}
    ${EndIf}
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd
