; Pictavo's installer. Built by makensis with -DBUILD_DIR=<the build tree>
; (where pictavo.exe and pictavo.chm are) and -DSOURCE_DIR=<the source tree>.
; -DTARGET=amd64-unicode makes the installer of a 64-bit test build, which
; a machine without 32-bit Windows support can run; the shipped one is ANSI x86.
!ifdef TARGET
  Unicode true
  Target ${TARGET}
!else
  Unicode false
!endif
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

; The version is the program's own, read from its version resource.
!getdllversion "${BUILD_DIR}\pictavo.exe" PictavoVersion_
!define VERSION "${PictavoVersion_1}.${PictavoVersion_2}.${PictavoVersion_3}.${PictavoVersion_4}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pictavo"
!define STARTUP_SHORTCUT "Pictavo Tray Icon.lnk"

Name "Pictavo"
OutFile "${BUILD_DIR}\pictavo-setup.exe"
InstallDir "$PROGRAMFILES\Pictavo"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "Pictavo ${VERSION}"
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "Pictavo"
VIAddVersionKey "CompanyName" "Norvex Software Inc."
VIAddVersionKey "FileDescription" "Pictavo Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Norvex Software Inc."

!define MUI_ICON "${SOURCE_DIR}\res\pictavo.ico"
!define MUI_UNICON "${SOURCE_DIR}\res\pictavo.ico"
!define MUI_ABORTWARNING
!define MUI_LICENSEPAGE_TEXT_TOP "About Pictavo, and what this setup does."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Pictavo keeps its settings, its picture list and its pictures beside itself. Setup lets every user of this computer change the files in the folder you choose here (the Users group gets modify rights on it)."

!insertmacro MUI_PAGE_LICENSE "${SOURCE_DIR}\installer\readme.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks each running Pictavo to end as at the end of a session (it keeps its
; list and settings on the way out) and waits for its process to end: its
; window goes before the process has finished writing its files, and its
; program file stays in use until the process has ended. The process is
; opened before it is asked, while its window still names it. One that keeps
; its window is waited for no longer.
!macro EndRunningPictavo
  System::Call 'user32::RegisterWindowMessageA(m "ShutdownPictavo") i .r0'
  StrCpy $6 0
  ${Do}
    FindWindow $1 "TFrmMain"
    ${If} $1 == 0
    ${OrIf} $1 == $6
      ${Break}
    ${EndIf}
    StrCpy $6 $1
    StrCpy $3 0
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r3)'
    ; SYNCHRONIZE: enough to wait for it.
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r3) p .r4'
    System::Call 'user32::SendMessageTimeoutA(p r1, i r0, p 0, p 0, i 2, i 5000, *p .r5)'
    ${If} $4 != 0
      System::Call 'kernel32::WaitForSingleObject(p r4, i 15000) i'
      System::Call 'kernel32::CloseHandle(p r4)'
    ${Else}
      Sleep 250
    ${EndIf}
  ${Loop}
!macroend

Section "Pictavo (required)" SecProgram
  SectionIn RO
  !insertmacro EndRunningPictavo
  SetOutPath "$INSTDIR"
  ; Replaced: the program and its help. Kept: pictavo.INI and Images.
  File "${BUILD_DIR}\pictavo.exe"
  File "${BUILD_DIR}\pictavo.chm"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; Users may change the folder: the program writes beside itself. (S-1-5-32-545
  ; is the Users group under every language of Windows.)
  nsExec::ExecToLog 'icacls "$INSTDIR" /grant *S-1-5-32-545:(OI)(CI)M /T'
  Pop $0
  ${If} $0 != 0
    DetailPrint "Users could not be given the right to change $INSTDIR (icacls: $0)."
  ${EndIf}

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Pictavo"
  CreateShortcut "$SMPROGRAMS\Pictavo\Pictavo.lnk" "$INSTDIR\pictavo.exe" ":"
  CreateShortcut "$SMPROGRAMS\Pictavo\Pictavo Help.lnk" "$INSTDIR\pictavo.chm"
  CreateShortcut "$SMPROGRAMS\Pictavo\Uninstall Pictavo.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pictavo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Norvex Software Inc."
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pictavo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The same shortcut the program keeps for "Start with &Windows", and the
; same setting: the program keeps the shortcut in line with its setting at
; every start, so the choice made here goes into the settings file too. A
; settings file holding only this choice still makes the program's first
; start a first run.
Section "Start with Windows" SecStartup
  SetShellVarContext all
  CreateShortcut "$SMSTARTUP\${STARTUP_SHORTCUT}" "$INSTDIR\pictavo.exe"
  WriteINIStr "$INSTDIR\pictavo.INI" "General" "StartWithWindows" "1"
SectionEnd

Section "-Not started with Windows"
  ${IfNot} ${SectionIsSelected} ${SecStartup}
    SetShellVarContext all
    Delete "$SMSTARTUP\${STARTUP_SHORTCUT}"
    WriteINIStr "$INSTDIR\pictavo.INI" "General" "StartWithWindows" "0"
  ${EndIf}
SectionEnd

; The box starts as the program would: ticked on a first install (the
; program's own default), as the user left it when installing over a copy.
; /NOSTARTUP clears it for a silent install.
Function .onInit
  ReadINIStr $0 "$INSTDIR\pictavo.INI" "General" "StartWithWindows"
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/NOSTARTUP" $2
  ${If} $0 == "0"
  ${OrIfNot} ${Errors}
    !insertmacro UnselectSection ${SecStartup}
  ${EndIf}
FunctionEnd

Section "un.Pictavo" SecUnProgram
  SectionIn RO
  !insertmacro EndRunningPictavo
  SetShellVarContext all
  Delete "$SMSTARTUP\${STARTUP_SHORTCUT}"
  Delete "$SMPROGRAMS\Pictavo\Pictavo.lnk"
  Delete "$SMPROGRAMS\Pictavo\Pictavo Help.lnk"
  Delete "$SMPROGRAMS\Pictavo\Uninstall Pictavo.lnk"
  RMDir "$SMPROGRAMS\Pictavo"
  Delete "$INSTDIR\pictavo.exe"
  Delete "$INSTDIR\pictavo.chm"
  Delete "$INSTDIR\uninstall.exe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Only an empty folder goes: the user's pictures and settings stay.
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.Also remove my pictures and settings" SecUnData
  Delete "$INSTDIR\pictavo.INI"
  ; The program's copy of the wallpaper on the desktop: it stays with the
  ; user's pictures, or the desktop would lose its wallpaper.
  Delete "$INSTDIR\pictavo.bmp"
  RMDir /r "$INSTDIR\Images"
  RMDir "$INSTDIR"
SectionEnd

; A silent uninstall removes the user's pictures and settings only when asked
; with /REMOVEDATA, as the box does on the page.
Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEDATA" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecUnData} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

LangString DESC_Program ${LANG_ENGLISH} "The program and its help."
LangString DESC_Startup ${LANG_ENGLISH} "Start Pictavo when Windows starts (the same as its option $\"Start with Windows$\")."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_Program)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} $(DESC_Startup)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

LangString DESC_UnProgram ${LANG_ENGLISH} "The program, its help, its shortcuts (the start-up one too) and its entry in Add/Remove Programs."
LangString DESC_UnData ${LANG_ENGLISH} "Also remove my pictures and settings: the Images folder with the picture list, and pictavo.INI. Left unticked, they stay in $INSTDIR."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnProgram} $(DESC_UnProgram)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnData} $(DESC_UnData)
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
