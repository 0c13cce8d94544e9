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
;   FILES     an include file with the macros HARVELIN_INSTALL_FILES and
;             HARVELIN_REMOVE_FILES, written from the staged files, so the
;             uninstaller removes exactly the files installed
;   SIZE_KB   what the staged files take, for the programs list
;   OUTFILE   the installer to write
; The script is read as UTF-8 (makensis -INPUTCHARSET UTF8).

Unicode true
; A 64-bit installer, as the programs are.
Target amd64-unicode
SetCompressor /SOLID /FINAL lzma
; Without the staged files' times the same files give the same installer.
SetDateSave off
RequestExecutionLevel user
ManifestDPIAware true

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
!insertmacro MUI_LANGUAGE "German"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "Harvelin"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "Harvelin ${VERSION} installieren"
VIAddVersionKey /LANG=${LANG_GERMAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "${PUBLISHER}"

; $SMPROGRAMS is the user's Start menu, not the one of all users.
Function .onInit
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Section
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
; (%LOCALAPPDATA%\Harvelin\backups) are the user's and stay.
Section "Uninstall"
    !insertmacro HARVELIN_REMOVE_FILES
    Delete "$INSTDIR\uninstall.exe"
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
