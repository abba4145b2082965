; Netsonde's Windows installer (NSIS 3, 64-bit stub): installs Netsonde.exe, netsonde-cli.exe,
; the Wireshark dissector netsonde.lua, README.txt and LICENSE.txt into Program Files\Netsonde for
; all users, adds a Start-menu shortcut and an Apps & Features entry, puts the folder on the
; machine PATH (the component "Command-line program on the PATH", on by default) and writes an
; uninstaller that removes exactly what was installed. /S installs and uninstalls silently;
; /D=DIR picks another folder for a first install. An upgrade goes into the folder of the
; installed copy.
;
; Built by tools/release/package.sh, which passes:
;   VERSION       "2.7.2", from Netsonde.exe's version resource
;   VERSION_QUAD  "2.7.2.0", the same as four numbers
;   STAGE         folder holding the files to install
;   ICON          the program's icon
;   INSTALLED_KB  their size in KiB, for Apps & Features
;   OUTFILE       the installer to write

Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
; Timestamps and order of the packed files come from the stage folder, so two builds of the same
; files give the same installer.

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"

!define APP "Netsonde"
!define PUBLISHER "The Netsonde developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define ENVIRONMENT_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
; An upgrade over an install made with /D= goes where that copy is, not beside it. /D= still
; wins when given.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "MIT License, ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; A permissive license to read, not a contract to accept.
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "${APP} is free software under the MIT License."
; No "Run Netsonde" or "Show README" box: the installer runs with administrator rights, and
; whatever it starts would have them too (an elevated program, and a browser opened from it).
!define MUI_FINISHPAGE_TEXT "${APP} ${VERSION} is installed. Start it from the Start menu. \
    netsonde-cli works in any command prompt opened from now on."

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipDirectoryOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var MachinePath     ; the machine PATH as read, when readable
Var PathEntryFound  ; 1 when PathWithout found the entry

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

; An upgrade has its folder already; choosing another would leave the earlier copy behind.
Function SkipDirectoryOnUpgrade
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        Abort
    ${EndIf}
FunctionEnd

; The functions below are needed by the installer and by the uninstaller, whose functions NSIS
; wants named "un.": each is written once, as a macro, and made twice.

; Refuses to go on while the installed Netsonde.exe or netsonde-cli.exe runs: Windows keeps a
; running program's file, so replacing or removing the files would stop half way. Asks to close
; it (Retry) or stops (Cancel; the only answer of a silent run) with exit code 2 before
; anything has changed.
!macro DEFINE_STOP_IF_RUNNING PREFIX
Function ${PREFIX}StopIfRunning
    ${Do}
        StrCpy $1 ""
        ${ForEach} $2 0 1 + 1
            ${If} $2 == 0
                StrCpy $3 "Netsonde.exe"
            ${Else}
                StrCpy $3 "netsonde-cli.exe"
            ${EndIf}
            ${If} ${FileExists} "$INSTDIR\$3"
                ClearErrors
                FileOpen $4 "$INSTDIR\$3" a
                ${If} ${Errors}
                    StrCpy $1 $3
                ${Else}
                    FileClose $4
                ${EndIf}
            ${EndIf}
        ${Next}
        ${If} $1 == ""
            Return
        ${EndIf}
        DetailPrint "$1 is running."
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "$1 is running. Close it, then choose Retry; Cancel changes nothing." \
            /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Abort "$1 is running; nothing was changed."
        retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro DEFINE_STOP_IF_RUNNING ""
!insertmacro DEFINE_STOP_IF_RUNNING "un."

; Reads the machine PATH into $MachinePath; false (error flag set) when it cannot be read whole.
; The installer's strings hold ${NSIS_MAX_STRLEN} characters: a longer PATH reads as an error,
; and must then be left as it is rather than written back cut short.
!macro DEFINE_READ_MACHINE_PATH PREFIX
Function ${PREFIX}ReadMachinePath
    ClearErrors
    ReadRegStr $MachinePath HKLM "${ENVIRONMENT_KEY}" "Path"
    ${If} ${Errors}
        DetailPrint "The machine PATH cannot be read whole; it is left as it is."
        SetErrors
    ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_READ_MACHINE_PATH ""
!insertmacro DEFINE_READ_MACHINE_PATH "un."

; $R0: a PATH value, $R1: a folder. $R2: the value without the entries naming that folder (with
; or without a final backslash, in any case), every other entry as it was and in its place;
; $PathEntryFound: 1 when there was one.
!macro DEFINE_PATH_WITHOUT PREFIX
Function ${PREFIX}PathWithout
    StrCpy $R2 ""
    StrCpy $PathEntryFound 0
    StrCpy $R3 $R0  ; what is left to look at
    StrCpy $R7 1    ; 1 until an entry has been kept
    ${Do}
        StrCpy $R4 0
        ${Do}
            StrCpy $R5 $R3 1 $R4
            ${If} $R5 == ""
            ${OrIf} $R5 == ";"
                ${Break}
            ${EndIf}
            IntOp $R4 $R4 + 1
        ${Loop}
        StrCpy $R6 $R3 $R4
        IntOp $R4 $R4 + 1
        StrCpy $R3 $R3 "" $R4
        ${If} $R6 == $R1
        ${OrIf} $R6 == "$R1\"
            StrCpy $PathEntryFound 1
        ${ElseIf} $R7 == 1
            StrCpy $R2 $R6
            StrCpy $R7 0
        ${Else}
            StrCpy $R2 "$R2;$R6"
        ${EndIf}
    ${LoopUntil} $R5 == ""
FunctionEnd
!macroend
!insertmacro DEFINE_PATH_WITHOUT ""
!insertmacro DEFINE_PATH_WITHOUT "un."

; Removes the PATH entry an earlier install added (named by PathEntry in the uninstall key) and
; forgets it. With $0 = a folder, an entry naming that folder is kept.
!macro DEFINE_REMOVE_OUR_PATH_ENTRY PREFIX
Function ${PREFIX}RemoveOurPathEntry
    ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "PathEntry"
    ${If} $R1 == ""
    ${OrIf} $R1 == $0
        Return
    ${EndIf}
    Call ${PREFIX}ReadMachinePath
    ${If} ${Errors}
        DetailPrint "Remove $R1 from the machine PATH by hand."
    ${Else}
        StrCpy $R0 $MachinePath
        Call ${PREFIX}PathWithout
        ${If} $PathEntryFound == 1
            WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" $R2
            DetailPrint "Removed $R1 from the machine PATH."
            SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
        ${EndIf}
    ${EndIf}
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "PathEntry"
FunctionEnd
!macroend
!insertmacro DEFINE_REMOVE_OUR_PATH_ENTRY ""
!insertmacro DEFINE_REMOVE_OUR_PATH_ENTRY "un."

Section "Netsonde" SecProgram
    SectionIn RO
    Call StopIfRunning
    SetOutPath "$INSTDIR"
    File "${STAGE}\Netsonde.exe"
    File "${STAGE}\netsonde-cli.exe"
    File "${STAGE}\netsonde.lua"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\Netsonde.exe" "" "$INSTDIR\Netsonde.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Netsonde.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${INSTALLED_KB}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The install folder at the end of the machine PATH, so that netsonde-cli runs by name in new
; command prompts. Only an entry this installer added is recorded (PathEntry), and only that
; one is ever removed again: a folder that was on the PATH before stays the user's.
Section "Command-line program on the PATH" SecPath
    StrCpy $0 $INSTDIR
    Call RemoveOurPathEntry  ; an earlier install's entry for another folder
    Call ReadMachinePath
    ${If} ${Errors}
        DetailPrint "Add $INSTDIR to the machine PATH by hand to run netsonde-cli by name."
        Return
    ${EndIf}
    StrCpy $R0 $MachinePath
    StrCpy $R1 $INSTDIR
    Call PathWithout
    ${If} $PathEntryFound == 1
        DetailPrint "$INSTDIR is on the machine PATH already."
        Return
    ${EndIf}
    StrLen $1 $MachinePath
    StrLen $2 $INSTDIR
    IntOp $1 $1 + $2
    ${If} $1 >= ${NSIS_MAX_STRLEN}
        DetailPrint "The machine PATH is too long to add $INSTDIR; add it by hand."
        Return
    ${EndIf}
    ${If} $MachinePath == ""
        StrCpy $1 $INSTDIR
    ${ElseIf} $MachinePath == ";"
        StrCpy $1 "$MachinePath$INSTDIR"
    ${Else}
        StrCpy $3 $MachinePath 1 -1
        ${If} $3 == ";"
            StrCpy $1 "$MachinePath$INSTDIR"
        ${Else}
            StrCpy $1 "$MachinePath;$INSTDIR"
        ${EndIf}
    ${EndIf}
    WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" $1
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PathEntry" $INSTDIR
    DetailPrint "Added $INSTDIR to the machine PATH."
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
SectionEnd

; An upgrade with the box cleared takes back the entry the earlier install added.
Section "-PATH entry no longer wanted"
    ${IfNot} ${SectionIsSelected} ${SecPath}
        StrCpy $0 ""
        Call RemoveOurPathEntry
    ${EndIf}
SectionEnd

LangString DESC_SecProgram ${LANG_ENGLISH} "Netsonde, netsonde-cli, the Wireshark dissector and \
    a Start-menu shortcut."
LangString DESC_SecPath ${LANG_ENGLISH} "Adds the install folder to the machine PATH, so that \
    netsonde-cli runs by name in any command prompt."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_SecProgram)
    !insertmacro MUI_DESCRIPTION_TEXT ${SecPath} $(DESC_SecPath)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Only what the installer put there: a folder the user also keeps files in stays, with them.
Section "Uninstall"
    Call un.StopIfRunning
    StrCpy $0 ""
    Call un.RemoveOurPathEntry
    Delete "$SMPROGRAMS\${APP}.lnk"
    Delete "$INSTDIR\Netsonde.exe"
    Delete "$INSTDIR\netsonde-cli.exe"
    Delete "$INSTDIR\netsonde.lua"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
