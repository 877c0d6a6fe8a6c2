; SPDX-License-Identifier: GPL-3.0-or-later
; The installer of Lumiscribe for 64-bit Windows, made by makensis in the cross build
; (src/windows/CMakeLists.txt) with these definitions:
;   VERSION     the version shown to the user, e.g. 1.02
;   VI_VERSION  the same as four numbers, e.g. 1.2.0.0
;   SCR         the program, lumiscribe.scr
;   SHIPPED     the folder that holds 1.mid ... 10.mid, default.jpg, bg.jpg and help.html
;   ICON        the program's icon
;   OUTFILE     the installer to write
;   SIGN        a command that signs the file named by its argument in place and does
;               nothing when no certificate is configured (tools/windows_sign.sh); the
;               uninstaller goes through it before it is packed
;
; By default it installs for the current user, without administrator rights:
;   - lumiscribe.scr, help.html and Uninstall.exe in $LOCALAPPDATA\Programs\Lumiscribe;
;   - the tunes, the two pictures and help.html in C:\Corvanta\Lumiscribe, the folder that
;     the program keeps its data in; a picture already there is never overwritten, and no
;     picture list is shipped, so the user's List.txt stays as it is;
;   - the Start-menu shortcut "Lumiscribe Setup", which opens the program's Setup dialog;
;   - the entry in Installed apps, under HKCU.
; The component "For all users" also copies lumiscribe.scr into System32, where Screen Saver
; Settings finds it for every user. /ALLUSERS selects it, and so does an earlier install that
; made that copy, so that an update never leaves an old copy there. Only that copy needs
; administrator rights: an installer without them starts itself again through "runas" with
; /SYSTEMCOPY and waits; that second process copies its own lumiscribe.scr to that one place
; and does nothing else. Everything else stays with the user who started the installer, also
; when an administrator's password was typed for the elevation. The uninstaller removes the
; copy the same way.
;
; The finish page (checked by default) makes the installed program the user's screen saver
; and opens Screen Saver Settings; /S installs silently and makes it the screen saver without
; opening anything. Exit status: 0; 2 when the copy into System32 could not be made or removed
; (everything else done); 740 from a /SYSTEMCOPY process that lacks the rights.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define PROGRAM "lumiscribe.scr"
!define DATA_DIR "C:\Corvanta\Lumiscribe"
!define DATA_PARENT "C:\Corvanta"
!define SHORTCUT "$SMPROGRAMS\Lumiscribe Setup.lnk"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumiscribe"
!define DESKTOP_KEY "Control Panel\Desktop"
!define ERROR_ELEVATION_REQUIRED 740
!define KEPT_TEXT "Your picture list (List.txt), your pictures in ${DATA_DIR} (default.jpg and bg.jpg included) and your Lumiscribe settings are kept."

Name "Lumiscribe"
Caption "Lumiscribe ${VERSION} Setup"
BrandingText "Lumiscribe ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Lumiscribe"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!uninstfinalize '"${SIGN}" "%1"'

; The path that becomes SCRNSAVE.EXE: the System32 copy when this run made it, else the
; copy in the program folder.
Var ScreenSaver
; "$SYSDIR\lumiscribe.scr" once that copy is in place, else empty.
Var SystemCopy

; ${IsAdmin}: true when this process holds administrator rights (an elevated token).
!macro _IsAdmin _a _b _t _f
    System::Call "shell32::IsUserAnAdmin() i .s"
    Pop $_LOGICLIB_TEMP
    !insertmacro _!= $_LOGICLIB_TEMP 0 `${_t}` `${_f}`
!macroend
!define IsAdmin `"" IsAdmin ""`

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

!define MUI_WELCOMEPAGE_TEXT "Setup will install Lumiscribe ${VERSION}, a picture screen saver, \
    for your account. It needs no administrator rights unless you choose to install it for all \
    users.$\r$\n$\r$\nIts tunes, pictures and help go to ${DATA_DIR}, where it also keeps your \
    picture list.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Lumiscribe ${VERSION} has been installed on your computer.$\r$\n$\r$\n\
    With the box below checked, Finish makes it your screen saver and opens Screen Saver \
    Settings, where you choose when it starts."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Make Lumiscribe my screen saver"
!define MUI_FINISHPAGE_RUN_FUNCTION MakeCurrentAndOpenSettings
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Lumiscribe will be removed from your computer. ${KEPT_TEXT}"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Lumiscribe has been removed from your computer.$\r$\n$\r$\n${KEPT_TEXT}"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VI_VERSION}"
VIFileVersion "${VI_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Lumiscribe"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Corvanta"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "GNU General Public License, version 3 or later"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Lumiscribe ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"

; Extracts lumiscribe.scr into $OUTDIR, for the copy into System32. (The solid compression
; stores the program once although two File instructions name it.)
Function PutProgram
    File "${SCR}"
FunctionEnd

; Replaces the path on the stack by "<time>:<size>" of that file, or by "" when it is missing.
; Two copies that File extracted from the same installer have the same time and size.
Function FileStamp
    Exch $0
    Push $1
    Push $2
    Push $3
    ClearErrors
    GetFileTime $0 $1 $2
    ${If} ${Errors}
        StrCpy $0 ""
    ${Else}
        FileOpen $3 $0 r
        FileSeek $3 0 END $0
        FileClose $3
        StrCpy $0 "$1$2:$0"
    ${EndIf}
    Pop $3
    Pop $2
    Pop $1
    Exch $0
FunctionEnd

Section "Lumiscribe for you" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${SCR}"
    File "${SHIPPED}/help.html"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\${PROGRAM}" "/c" "$INSTDIR\${PROGRAM}" 0
    StrCpy $ScreenSaver "$INSTDIR\${PROGRAM}"

    SetOutPath "${DATA_DIR}"
    File "${SHIPPED}/help.html"
    File "${SHIPPED}/*.mid"
    ; The user may have edited these pictures or listed them: a copy already there stays.
    SetOverwrite off
    File "${SHIPPED}/default.jpg"
    File "${SHIPPED}/bg.jpg"
    SetOverwrite on
SectionEnd

Section /o "For all users (administrator)" SecAllUsers
    ${If} ${IsAdmin}
        SetOutPath "$SYSDIR"
        Call PutProgram
    ${Else}
        DetailPrint "Asking for administrator rights to copy ${PROGRAM} into $SYSDIR"
        ExecShellWait "runas" "$EXEPATH" "/SYSTEMCOPY"
    ${EndIf}
    Push "$INSTDIR\${PROGRAM}"
    Call FileStamp
    Pop $0
    Push "$SYSDIR\${PROGRAM}"
    Call FileStamp
    Pop $1
    ${If} $1 == $0
        StrCpy $SystemCopy "$SYSDIR\${PROGRAM}"
        StrCpy $ScreenSaver $SystemCopy
    ${Else}
        DetailPrint "${PROGRAM} was not copied into $SYSDIR"
        MessageBox MB_ICONEXCLAMATION|MB_OK "Lumiscribe is installed for you only: without \
            administrator rights it could not be copied into $SYSDIR, so Screen Saver Settings \
            of other users do not list it.$\r$\n$\r$\nRun this installer again and accept the \
            request for administrator rights to install it for all users." /SD IDOK
        SetErrorLevel 2
    ${EndIf}
SectionEnd

Section "-Installed apps entry"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Lumiscribe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Corvanta"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize ${SecProgram} $0
    ${If} $SystemCopy != ""
        ${GetSize} "$SYSDIR" "/M=${PROGRAM} /S=0K /G=0" $1 $2 $3
        IntOp $0 $0 + $1
        ; Kept from an earlier install too when this one could not renew it: the uninstaller
        ; then still removes it.
        WriteRegStr HKCU "${UNINSTALL_KEY}" "SystemCopy" $SystemCopy
    ${EndIf}
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The screen saver, its help, tunes and \
        pictures, a Start-menu shortcut to its settings, for your account."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecAllUsers} "Also copies lumiscribe.scr into \
        $SYSDIR, so that Screen Saver Settings lists it for every user. Asks for \
        administrator rights."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Makes the installed program the user's screen saver.
Function MakeCurrent
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $ScreenSaver
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
    ; SPI_SETSCREENSAVEACTIVE with SPIF_SENDCHANGE: the running session takes it at once.
    System::Call "user32::SystemParametersInfoW(i 17, i 1, p 0, i 2)"
FunctionEnd

Function MakeCurrentAndOpenSettings
    Call MakeCurrent
    Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

Function .onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/SYSTEMCOPY" $1
    ${IfNot} ${Errors}
        SetSilent silent
        ${IfNot} ${IsAdmin}
            SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
            Quit
        ${EndIf}
        SetOutPath "$SYSDIR"
        Call PutProgram
        SetErrorLevel 0
        Quit
    ${EndIf}
    ClearErrors
    ${GetOptions} $0 "/ALLUSERS" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecAllUsers}
    ${EndIf}
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "SystemCopy"
    ${If} $1 != ""
        !insertmacro SelectSection ${SecAllUsers}
    ${EndIf}
FunctionEnd

Function .onInstSuccess
    ${If} ${Silent}
        Call MakeCurrent
    ${EndIf}
FunctionEnd

; Replaces the path on the stack by 1 when it names one of the installed copies of the
; program (long or short form), else by 0. Called while the copies still exist.
Function un.NamesOurProgram
    Exch $0
    Push $1
    Push $2
    Push $3
    StrCpy $1 0
    ${ForEach} $2 0 3 + 1
        ${Select} $2
            ${Case} 0
                StrCpy $3 "$INSTDIR\${PROGRAM}"
            ${Case} 1
                GetFullPathName /SHORT $3 "$INSTDIR\${PROGRAM}"
            ${Case} 2
                StrCpy $3 $SystemCopy
            ${Case} 3
                StrCpy $3 ""
                ${If} $SystemCopy != ""
                    GetFullPathName /SHORT $3 $SystemCopy
                ${EndIf}
        ${EndSelect}
        ${If} $3 != ""
        ${AndIf} $3 == $0
            StrCpy $1 1
        ${EndIf}
    ${Next}
    StrCpy $0 $1
    Pop $3
    Pop $2
    Pop $1
    Exch $0
FunctionEnd

Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/SYSTEMCOPY" $1
    ${IfNot} ${Errors}
        SetSilent silent
        ${IfNot} ${IsAdmin}
            SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
            Quit
        ${EndIf}
        Delete "$SYSDIR\${PROGRAM}"
        SetErrorLevel 0
        Quit
    ${EndIf}
FunctionEnd

Section "Uninstall"
    ReadRegStr $SystemCopy HKCU "${UNINSTALL_KEY}" "SystemCopy"
    ${If} $SystemCopy != ""
        StrCpy $SystemCopy "$SYSDIR\${PROGRAM}"
    ${EndIf}
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    Push $0
    Call un.NamesOurProgram
    Pop $0
    ${If} $0 == 1
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}

    Delete "${SHORTCUT}"
    Delete "$INSTDIR\${PROGRAM}"
    Delete "$INSTDIR\help.html"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    ${ForEach} $0 1 10 + 1
        Delete "${DATA_DIR}\$0.mid"
    ${Next}
    Delete "${DATA_DIR}\help.html"
    RMDir "${DATA_DIR}"
    RMDir "${DATA_PARENT}"

    ${If} $SystemCopy != ""
        ${If} ${IsAdmin}
            Delete $SystemCopy
        ${Else}
            DetailPrint "Asking for administrator rights to remove $SystemCopy"
            ExecShellWait "runas" "$EXEPATH" "/SYSTEMCOPY _?=$INSTDIR"
        ${EndIf}
        ${If} ${FileExists} $SystemCopy
            MessageBox MB_ICONEXCLAMATION|MB_OK "Without administrator rights $SystemCopy \
                could not be removed; an administrator can delete it." /SD IDOK
            SetErrorLevel 2
        ${EndIf}
    ${EndIf}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
