; The Windows installer: the files of the Windows zip, installed for the
; current user without administrator rights, with an entry in the Start menu,
; the .pag files opened by harvelin.exe, and an uninstaller that takes away
; what the installer wrote and nothing else.
;
;   harvelin-1.0.0-windows-x64-setup.exe              the German wizard
;   harvelin-1.0.0-windows-x64-setup.exe /S           silently, to the default folder
;   harvelin-1.0.0-windows-x64-setup.exe /S /D=C:\Tools\Harvelin
;   uninstall.exe [/S]                                 in the installation folder
;
; cpack builds it from the files it stages for the zip
; (cmake/WindowsInstaller.cmake), and defines
;   VERSION   the version, three numbers
;   ICON      the program's icon, also the installer's
;   FILES     an include file with the macros HARVELIN_INSTALL_FILES,
;             HARVELIN_CHECK_FILES, HARVELIN_REMOVE_FILES and
;             HARVELIN_REMOVE_FOLDERS, written from the staged files, so the
;             uninstaller removes exactly the files installed
;   SIZE_KB   what the staged files take, for the programs list
;   OUTFILE   the installer to write
; The script is read as UTF-8 (makensis -INPUTCHARSET UTF8).
;
; Exit status, of the installer and of the uninstaller run in place (_?=):
;   0  done
;   1  cancelled in the wizard
;   2  a file could not be written or removed: the programs may be half
;      replaced or half removed; run it again
;   3  Harvelin runs, or holds one of its files: nothing was changed

Unicode true
; A 64-bit installer, as the programs are.
Target amd64-unicode
SetCompressor /SOLID /FINAL lzma
; Without the staged files' times the same files give the same installer.
SetDateSave off
RequestExecutionLevel user
ManifestDPIAware true
; A program file that cannot be written stops the installation (status 2):
; the error box offers "Wiederholen" and "Abbrechen", never skipping it.
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include "${FILES}"

!define PROGID "Harvelin.pag"
!define CLASSES "Software\Classes"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Harvelin"
!define PUBLISHER "The Harvelin developers"
; SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST): Explorer reads the file
; types again and shows the new icon and verb at once.
!define NOTIFY_ASSOCIATIONS "System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'"
; harvelin.exe holds a mutex of this name while it runs (src/win/main.cpp).
!define FORM_RUNNING_MUTEX "Local\Harvelin.Form.Running"
!define SYNCHRONIZE 0x00100000
!define STATUS_WRITE_FAILED 2
!define STATUS_IN_USE 3

Name "Harvelin"
OutFile "${OUTFILE}"
; Per user: the user's own programs folder, also on reinstalling where the
; last installation went. /D= names another.
InstallDir "$LOCALAPPDATA\Programs\Harvelin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Harvelin ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEPAGE_TEXT "Dieser Assistent installiert $(^NameDA) ${VERSION} für Ihr Benutzerkonto; \
    Administratorrechte sind nicht nötig.$\r$\n$\r$\nDas Formular harvelin.exe bekommt einen Eintrag im \
    Startmenü und öffnet .pag-Dateien per Doppelklick; harvelin-cli.exe ist das Werkzeug für die \
    Eingabeaufforderung.$\r$\n$\r$\n$_CLICK"
!define MUI_FINISHPAGE_RUN "$INSTDIR\harvelin.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(^NameDA) ist von Ihrem Computer entfernt worden.$\r$\n$\r$\nDie \
    Sicherungskopien der gelesenen Pager-Daten bleiben erhalten, im Ordner$\r$\n$LOCALAPPDATA\Harvelin\backups"
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "German"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "Harvelin"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "Harvelin ${VERSION} installieren"
VIAddVersionKey /LANG=${LANG_GERMAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "${PUBLISHER}"

; HARVELIN_CHECK_FILES: $R0 names the first file of the installation that
; exists and cannot be opened for writing (a running program's), else stays
; empty. Opening it changes nothing in it.
!macro HARVELIN_CHECK_FILE path
    ${If} $R0 == ""
    ${AndIf} ${FileExists} "${path}"
        ClearErrors
        FileOpen $R1 "${path}" a
        ${If} ${Errors}
            StrCpy $R0 "${path}"
        ${Else}
            FileClose $R1
        ${EndIf}
    ${EndIf}
!macroend

; Before anything is replaced or removed: while the form runs, or a program
; of the installation holds one of its files, the user is asked to close it,
; and on "Abbrechen" (silently: at once) nothing is changed and the status
; is 3. The form is told by its mutex, which also covers the moment it
; starts; harvelin-cli.exe, and a form older than the mutex, by their files.
!macro HARVELIN_UNTIL_CLOSED un
Function ${un}untilClosed
    again:
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${FORM_RUNNING_MUTEX}") p .R1'
    ${If} $R1 P<> 0
        System::Call 'kernel32::CloseHandle(p R1)'
        StrCpy $R2 "Harvelin läuft noch. Bitte das Programm beenden und dann „Wiederholen“ wählen."
    ${Else}
        StrCpy $R0 ""
        !insertmacro HARVELIN_CHECK_FILES
        ${If} $R0 == ""
            Return
        ${EndIf}
        StrCpy $R2 "Die Datei „$R0“ lässt sich nicht ändern, meist weil das Programm noch läuft. Bitte das \
            Programm beenden und dann „Wiederholen“ wählen."
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$R2" /SD IDCANCEL IDRETRY again
    SetErrorLevel ${STATUS_IN_USE}
    Abort
FunctionEnd
!macroend
!insertmacro HARVELIN_UNTIL_CLOSED ""
!insertmacro HARVELIN_UNTIL_CLOSED "un."

; $SMPROGRAMS is the user's Start menu, not the one of all users. The check
; comes first, so the wizard does not open for nothing; the sections check
; again, as the form may have been started since.
Function .onInit
    SetShellVarContext current
    Call untilClosed
FunctionEnd

Function un.onInit
    SetShellVarContext current
    Call un.untilClosed
FunctionEnd

Section
    Call untilClosed
    !insertmacro HARVELIN_INSTALL_FILES
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; The shortcut starts in the installation folder.
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\Harvelin.lnk" "$INSTDIR\harvelin.exe" "" "$INSTDIR\harvelin.exe" 0 \
        SW_SHOWNORMAL "" "Zelvatron-Pager konfigurieren"

    ; .pag is Harvelin's own file type: a double-click opens it in the form,
    ; and the file's name is the form's only argument. The file type is also
    ; named in the "Öffnen mit" list, for when another program has taken .pag.
    WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "Harvelin-Konfiguration"
    WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\harvelin.exe,0"
    WriteRegStr HKCU "${CLASSES}\${PROGID}\shell" "" "open"
    WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open" "" "Öffnen"
    WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\harvelin.exe" "%1"'
    WriteRegStr HKCU "${CLASSES}\.pag" "" "${PROGID}"
    WriteRegStr HKCU "${CLASSES}\.pag\OpenWithProgids" "${PROGID}" ""
    WriteRegStr HKCU "${CLASSES}\Applications\harvelin.exe" "FriendlyAppName" "Harvelin"
    WriteRegStr HKCU "${CLASSES}\Applications\harvelin.exe\SupportedTypes" ".pag" ""
    WriteRegStr HKCU "${CLASSES}\Applications\harvelin.exe\shell\open\command" "" '"$INSTDIR\harvelin.exe" "%1"'
    ${NOTIFY_ASSOCIATIONS}

    ; The entry in the list of installed programs ("Apps" in the settings).
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Harvelin"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\harvelin.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

; Removes the files by name, never the folder with what else it holds: the
; user's .pag files may lie beside the programs. The backups the form keeps
; (%LOCALAPPDATA%\Harvelin\backups) are the user's and stay. A file that
; cannot be removed even so stops it with status 2, before the Start-menu
; entry, the file type and the programs list's entry go: the entry still
; offers to remove the rest.
Section "Uninstall"
    Call un.untilClosed
    ClearErrors
    !insertmacro HARVELIN_REMOVE_FILES
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "Nicht alle Dateien in $INSTDIR ließen sich entfernen. Bitte Harvelin \
            beenden und die Deinstallation wiederholen." /SD IDOK
        SetErrorLevel ${STATUS_WRITE_FAILED}
        Abort
    ${EndIf}
    ; Run in place (_?=), the uninstaller cannot remove itself, and stays
    ; with its folder.
    Delete "$INSTDIR\uninstall.exe"
    !insertmacro HARVELIN_REMOVE_FOLDERS
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Harvelin.lnk"

    DeleteRegKey HKCU "${CLASSES}\${PROGID}"
    DeleteRegKey HKCU "${CLASSES}\Applications\harvelin.exe"
    ; Of .pag only what names Harvelin; the key goes when nothing else is left
    ; in it.
    ReadRegStr $0 HKCU "${CLASSES}\.pag" ""
    ${If} $0 == "${PROGID}"
        DeleteRegValue HKCU "${CLASSES}\.pag" ""
    ${EndIf}
    DeleteRegValue HKCU "${CLASSES}\.pag\OpenWithProgids" "${PROGID}"
    DeleteRegKey /ifempty HKCU "${CLASSES}\.pag\OpenWithProgids"
    DeleteRegKey /ifempty HKCU "${CLASSES}\.pag"
    ${NOTIFY_ASSOCIATIONS}

    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
