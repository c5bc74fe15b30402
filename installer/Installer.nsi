; The program's installer and uninstaller, built on Linux by installer/CMakeLists.txt:
;   makensis -NOCD -DVERSION=1.0.0.2 -DSTAGE=<cmake --install folder> -DFILE_LISTS=<lists folder>
;            -DOUTFILE=<Software-1.0.0.2.exe> Installer.nsi
; Software-<version>.exe [/S] [/D=folder]   installs or updates in place, then starts the program
; Uninstall.exe [/S] [/PURGE]               /PURGE also removes the user's settings (a check box when not silent)

; A 64-bit installer: the program is 64-bit, and a 32-bit installer would be redirected to the 32-bit Program Files
; and registry view. It is also the only kind a 64-bit-only Wine can start.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
; A file that cannot be replaced (still in use) must fail the install, also a silent one, not be skipped.
AllowSkipFiles off

!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define PRODUCT "Dravik"
!define MAKER "Velbar-Digital"
!define PROGRAM "Dravik.exe"
!define SENSOR_SERVER "Senmora.exe"
!define STARTUP_TASK "Velbar-Digital StartupTask"
!define SETTINGS_KEY "SOFTWARE\Velbar-Digital"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define ID_EXIT 100
!define WM_COMMAND 0x0111

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An update started by the program lands where the running copy was installed.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
Icon "${STAGE}/skins/theme1/Dravik.ico"
UninstallIcon "${STAGE}/skins/theme1/Dravik.ico"
AutoCloseWindow true

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${MAKER}"

Page directory SkipDirectoryWhenUpdating
Page instfiles
UninstPage uninstConfirm
UninstPage components
UninstPage instfiles

; Closing a running copy, shared by the installer and the uninstaller (NSIS wants their functions apart).
!macro RUNNING_COPY_FUNCTIONS un
; The program's main window is the first top-level window carrying the "Velbar-Digital" property. Its "Exit" command
; ends the process at once; a copy that does not react within 10 s is terminated, since its files must be replaced.
Function ${un}CloseMainWindow
    StrCpy $R9 0 ; rounds: a second copy (from another folder) is closed too, a stuck one is not waited on forever
    ${Do}
        StrCpy $0 0
        ${Do}
            System::Call 'user32::FindWindowExW(p 0, p r0, p 0, p 0) p .r0'
            ${If} $0 = 0
                Return
            ${EndIf}
            System::Call 'user32::GetPropW(p r0, w "${MAKER}") p .r1'
        ${LoopUntil} $1 <> 0
        DetailPrint "Closing the running ${PRODUCT}"
        StrCpy $2 0
        System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r2)'
        ; SYNCHRONIZE | PROCESS_TERMINATE
        System::Call 'kernel32::OpenProcess(i 0x00100001, i 0, i r2) p .r3'
        System::Call 'user32::PostMessageW(p r0, i ${WM_COMMAND}, p ${ID_EXIT}, p 0)'
        ${If} $3 <> 0
            System::Call 'kernel32::WaitForSingleObject(p r3, i 10000) i .r4'
            ${If} $4 <> 0
                System::Call 'kernel32::TerminateProcess(p r3, i 1)'
                System::Call 'kernel32::WaitForSingleObject(p r3, i 5000)'
            ${EndIf}
            System::Call 'kernel32::CloseHandle(p r3)'
        ${EndIf}
        IntOp $R9 $R9 + 1
    ${LoopUntil} $R9 >= 3
FunctionEnd

; The sensor server keeps running after the program's "Exit". Only servers started from this program folder are
; ended: they hold the files to be replaced, and a server elsewhere is none of this installation's business.
Function ${un}TerminateSensorServers
    StrCpy $R8 "$INSTDIR\"
    System::Call 'kernel32::GetLongPathNameW(w R8, w .r0, i ${NSIS_MAX_STRLEN}) i .r1'
    ${If} $1 <> 0
        StrCpy $R8 $0
    ${EndIf}
    StrLen $R7 $R8
    ; TH32CS_SNAPPROCESS
    System::Call 'kernel32::CreateToolhelp32Snapshot(i 2, i 0) p .r5'
    ${If} $5 = -1
        Return
    ${EndIf}
    ; PROCESSENTRY32W on x64: 568 bytes, the process id at offset 8, the image name at offset 44.
    System::Alloc 568
    Pop $6
    System::Call '*$6(i 568)'
    System::Call 'kernel32::Process32FirstW(p r5, p r6) i .r7'
    ${DoWhile} $7 <> 0
        System::Call '*$6(i, i, i .r2, i, p, i, i, i, i, i, &w260 .r0)'
        ${If} $0 == "${SENSOR_SERVER}" ; case-insensitive, as Windows compares image names
            ; PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE
            System::Call 'kernel32::OpenProcess(i 0x00101001, i 0, i r2) p .r3'
            ${If} $3 <> 0
                StrCpy $1 ""
                System::Call 'kernel32::QueryFullProcessImageNameW(p r3, i 0, w .r1, *i ${NSIS_MAX_STRLEN}) i .r4'
                StrCpy $1 $1 $R7
                ${If} $4 <> 0
                ${AndIf} $1 == $R8
                    DetailPrint "Ending the sensor server $2"
                    System::Call 'kernel32::TerminateProcess(p r3, i 0)'
                    System::Call 'kernel32::WaitForSingleObject(p r3, i 5000)'
                ${EndIf}
                System::Call 'kernel32::CloseHandle(p r3)'
            ${EndIf}
        ${EndIf}
        System::Call 'kernel32::Process32NextW(p r5, p r6) i .r7'
    ${Loop}
    System::Free $6
    System::Call 'kernel32::CloseHandle(p r5)'
FunctionEnd

Function ${un}CloseRunningCopy
    Call ${un}CloseMainWindow
    Call ${un}TerminateSensorServers
FunctionEnd
!macroend
!insertmacro RUNNING_COPY_FUNCTIONS ""
!insertmacro RUNNING_COPY_FUNCTIONS "un."

Function .onInit
    ; The Start-menu entry is for every user, like the Program Files folder.
    SetShellVarContext all
FunctionEnd

Function SkipDirectoryWhenUpdating
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\Uninstall.exe"
        Abort
    ${EndIf}
FunctionEnd

Section "${PRODUCT}"
    Call CloseRunningCopy
    !include "${FILE_LISTS}/installed-files.nsh"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\skins\theme1\Dravik.ico" 0
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\skins\theme1\Dravik.ico"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Also after a silent install: the updater installs silently or not, and either way the program comes back.
Function .onInstSuccess
    ${If} ${FileExists} "$INSTDIR\${PROGRAM}"
        SetOutPath "$INSTDIR"
        Exec '"$INSTDIR\${PROGRAM}"'
    ${EndIf}
FunctionEnd

Section "un.Program files"
    SectionIn RO
    Call un.CloseRunningCopy
    ; The program re-registers its logon task at every start and never removes it. A missing task only fails this.
    nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /F /TN "${STARTUP_TASK}"'
    Pop $0
    Delete "${SHORTCUT}"
    !include "${FILE_LISTS}/removed-files.nsh"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Unticked by default, so a silent uninstall keeps the settings unless /PURGE is given.
Section /o "un.Your settings (LED switch, unit, source)" SettingsSection
    DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

; After the sections: it selects one by its index.
Function un.onInit
    SetShellVarContext all
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/PURGE" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SettingsSection}
    ${EndIf}
FunctionEnd
