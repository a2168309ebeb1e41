; The Windows installer. It installs the zip's folder for the person running it (no
; administrator needed, under their local Programs folder) or, when asked, for every
; user of the machine; adds a Start menu entry "Brelvoxa", an entry in Apps & features
; and, when ticked, the folder to the PATH so that brelvoxa.exe runs from any console.
; The uninstaller takes away exactly those: the files the installer wrote, the entry,
; the registry key and the PATH entry it added.
;
; tools/windows.sh runs makensis on it with
;   BUILD        the folder holding files.nsh (the lists of the zip's files, unpacked
;                beside it) and llicencia.txt (the licence page)
;   VERSION_NSH  the version header CMake writes (packaging/windows/version.nsh.in)
;   OUTFILE      the installer's path, and SETUP_NAME its file name
;
; Command line, beside NSIS's own /S (silent) and /D=FOLDER (last):
;   /ALLUSERS     install for every user (needs an administrator)
;   /CURRENTUSER  install for the person running it (the default)
;   /PATH         tick the PATH entry

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestSupportedOS all
ManifestDPIAware true

!include "${VERSION_NSH}"
!include "${BUILD}/files.nsh"
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinCore.nsh
!include WinMessages.nsh
!include nsDialogs.nsh

!define PUBLISHER "Merrowfield,S.L."
!define APPS_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define UNINSTALL_KEY "${APPS_KEY}\Brelvoxa"
!define UNINSTALLER "desinstal·la.exe"
!define USER_ENVIRONMENT "Environment"
!define MACHINE_ENVIRONMENT "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"

Name "Brelvoxa"
OutFile "${OUTFILE}"
BrandingText "Brelvoxa ${BRELVOXA_VERSION}"

; The version resource as the programs' own: one string table, Spanish (Spain) with
; the Unicode code page (0C0A04B0).
VIProductVersion ${BRELVOXA_VERSION_NUMBERS}
VIFileVersion ${BRELVOXA_VERSION_NUMBERS}
!define VERSION_LANGUAGE 3082
VIAddVersionKey /LANG=${VERSION_LANGUAGE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${VERSION_LANGUAGE} "FileDescription" "Instal·lador de Brelvoxa"
VIAddVersionKey /LANG=${VERSION_LANGUAGE} "FileVersion" "${BRELVOXA_VERSION}"
VIAddVersionKey /LANG=${VERSION_LANGUAGE} "InternalName" "Brelvoxa-setup"
VIAddVersionKey /LANG=${VERSION_LANGUAGE} "LegalCopyright" "© ${PUBLISHER} Distribució gratuïta."
VIAddVersionKey /LANG=${VERSION_LANGUAGE} "OriginalFilename" "${SETUP_NAME}"
VIAddVersionKey /LANG=${VERSION_LANGUAGE} "ProductName" "Brelvoxa"
VIAddVersionKey /LANG=${VERSION_LANGUAGE} "ProductVersion" "${BRELVOXA_VERSION}"

Var AllUsers       ; 1 for every user, 0 for the person running the installer
Var Admin          ; 1 when this process may write for every user
Var DirGiven       ; 1 when /D= named the folder, which then stays
Var PathAsked      ; 1 when /PATH ticked the PATH entry
Var ModeUser       ; the install mode page's two choices
Var ModeAll
Var PathValue      ; the PATH as read, and 1 when it can be edited whole
Var PathOk
Var PathRefused    ; why the PATH was left alone, told once the files are in
Var CreatedFolder  ; the outermost folder above the install's that the install made
Var CreatedAppsKey ; 1 when the install made the key above its Apps & features entry

!define MUI_ICON "${__FILEDIR__}/../../platform/resources/icona.ico"
!define MUI_UNICON "${MUI_ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_LICENSE "${BUILD}/llicencia.txt"
Page custom ModePageShow ModePageLeave
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Dormatique.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Obre la calculadora"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\LLEGEIX-ME.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Catalan"

; The PATH, with an element taken out: the elements are compared without regard to
; case or a final backslash, and the others are kept as they were, empty ones too.
; Stack in: the element (top), the PATH; out: the PATH without it.
!macro PATH_WITHOUT prefix
Function ${prefix}PathWithout
    Exch $R1
    Exch
    Exch $R0
    Push $R2 ; the result
    Push $R3 ; the element being read
    Push $R4 ; position
    Push $R5 ; character
    Push $R6 ; elements kept so far
    StrCpy $R2 ""
    StrCpy $R3 ""
    StrCpy $R4 0
    StrCpy $R6 0
    ${Do}
        StrCpy $R5 $R0 1 $R4
        ${If} $R5 == ";"
        ${OrIf} $R5 == ""
            ${If} $R3 != $R1
            ${AndIf} $R3 != "$R1\"
                ${If} $R6 > 0
                    StrCpy $R2 "$R2;"
                ${EndIf}
                StrCpy $R2 "$R2$R3"
                IntOp $R6 $R6 + 1
            ${EndIf}
            StrCpy $R3 ""
        ${Else}
            StrCpy $R3 "$R3$R5"
        ${EndIf}
        IntOp $R4 $R4 + 1
    ${LoopUntil} $R5 == ""
    StrCpy $R0 $R2
    Pop $R6
    Pop $R5
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
    Exch $R0
FunctionEnd
!macroend
!insertmacro PATH_WITHOUT ""
!insertmacro PATH_WITHOUT "un."

; The folders above an install's folder that its install made (its local Programs
; folder, on a machine where nothing else has one), each removed when empty, upwards
; to the outermost. Stack in: the outermost (top), the install's folder.
!macro REMOVE_CREATED_FOLDERS prefix
Function ${prefix}RemoveCreatedFolders
    Exch $R1
    Exch
    Exch $R0
    ${If} $R1 != ""
        ${GetParent} $R0 $R0
        ${Do}
            RMDir $R0
            ${If} $R0 == $R1
            ${OrIf} $R0 == ""
                ${Break}
            ${EndIf}
            ${GetParent} $R0 $R0
        ${Loop}
    ${EndIf}
    Pop $R0
    Pop $R1
FunctionEnd
!macroend
!insertmacro REMOVE_CREATED_FOLDERS ""
!insertmacro REMOVE_CREATED_FOLDERS "un."

; The programs of the folder on the stack closed: a running program's files cannot be
; replaced or removed, and Windows refuses to open them for writing. Until they are
; closed the person is asked to close them; silent, or when they cancel, the
; installer or uninstaller ends with ERROR_SHARING_VIOLATION.
!macro IF_RUNNING file
    ${If} ${FileExists} "${file}"
        ClearErrors
        FileOpen $R1 "${file}" a
        ${If} ${Errors}
            StrCpy $R2 1
        ${Else}
            FileClose $R1
        ${EndIf}
    ${EndIf}
!macroend
!macro PROGRAMS_CLOSED prefix
Function ${prefix}ProgramsClosed
    Exch $R0
    Push $R1
    Push $R2
    ${Do}
        StrCpy $R2 0
        !insertmacro IF_RUNNING "$R0\Dormatique.exe"
        !insertmacro IF_RUNNING "$R0\brelvoxa.exe"
        ${If} $R2 == 0
            ${Break}
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Brelvoxa és obert. Tanqueu la calculadora i brelvoxa.exe i torneu-ho a provar." \
            /SD IDCANCEL IDRETRY retry
        SetErrorLevel ${ERROR_SHARING_VIOLATION}
        Quit
    retry:
    ${Loop}
    Pop $R2
    Pop $R1
    Pop $R0
FunctionEnd
!macroend
!insertmacro PROGRAMS_CLOSED ""
!insertmacro PROGRAMS_CLOSED "un."

; A string as long as the installer's strings hold may be a longer one cut short.
!define /math PATH_LIMIT ${NSIS_MAX_STRLEN} - 1
; The PATH of the install's scope, the user's or for every user the machine's, into
; $PathValue, and $PathOk 1 when it can be edited whole: a longer value is left as
; it is rather than cut short.
!macro READ_PATH prefix
Function ${prefix}ReadPath
    Push $R0
    Push $R1
    ClearErrors
    ${If} $AllUsers == 1
        ReadRegStr $PathValue HKLM "${MACHINE_ENVIRONMENT}" "Path"
    ${Else}
        ReadRegStr $PathValue HKCU "${USER_ENVIRONMENT}" "Path"
    ${EndIf}
    StrCpy $PathOk 1
    ${If} ${Errors}
        ; No value is an empty PATH; a value that is there but does not read is not.
        StrCpy $R0 0
        ${Do}
            ClearErrors
            ${If} $AllUsers == 1
                EnumRegValue $R1 HKLM "${MACHINE_ENVIRONMENT}" $R0
            ${Else}
                EnumRegValue $R1 HKCU "${USER_ENVIRONMENT}" $R0
            ${EndIf}
            ${If} ${Errors}
            ${OrIf} $R1 == ""
                ${Break}
            ${EndIf}
            ${If} $R1 == "Path"
                StrCpy $PathOk 0
                ${Break}
            ${EndIf}
            IntOp $R0 $R0 + 1
        ${Loop}
    ${Else}
        StrLen $R0 $PathValue
        ${If} $R0 >= ${PATH_LIMIT}
            StrCpy $PathOk 0
        ${EndIf}
    ${EndIf}
    Pop $R1
    Pop $R0
FunctionEnd
!macroend
!insertmacro READ_PATH ""
!insertmacro READ_PATH "un."

!macro WRITE_PATH value
    ${If} $AllUsers == 1
        ${If} "${value}" == ""
            DeleteRegValue HKLM "${MACHINE_ENVIRONMENT}" "Path"
        ${Else}
            WriteRegExpandStr HKLM "${MACHINE_ENVIRONMENT}" "Path" "${value}"
        ${EndIf}
    ${Else}
        ${If} "${value}" == ""
            DeleteRegValue HKCU "${USER_ENVIRONMENT}" "Path"
        ${Else}
            WriteRegExpandStr HKCU "${USER_ENVIRONMENT}" "Path" "${value}"
        ${EndIf}
    ${EndIf}
    ; Explorer and the consoles it starts read the new PATH.
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
!macroend

Section "Brelvoxa: la calculadora i brelvoxa.exe" SecProgram
    SectionIn RO
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        Push $0
        Call ProgramsClosed
    ${EndIf}
    Push $INSTDIR
    Call ProgramsClosed
    Call RemovePrevious
    ; A user's first per-user install makes the key of all the entries too.
    ClearErrors
    EnumRegKey $0 SHCTX "${APPS_KEY}" 0
    ${If} ${Errors}
        StrCpy $CreatedAppsKey 1
    ${EndIf}
    ; Which of the folders above the install's this install makes.
    StrCpy $CreatedFolder ""
    ${GetParent} "$INSTDIR" $0
    ${Do}
        ${If} $0 == ""
        ${OrIf} ${FileExists} "$0\*.*"
            ${Break}
        ${EndIf}
        StrCpy $CreatedFolder $0
        ${GetParent} $0 $0
    ${Loop}
    SetOutPath "$INSTDIR"
    !insertmacro BRELVOXA_INSTALL_FILES
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    ; The shortcut starts in the program's folder.
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\Brelvoxa.lnk" "$INSTDIR\Dormatique.exe" "" \
        "$INSTDIR\Dormatique.exe" 0 SW_SHOWNORMAL "" "Calculadora dígits IBAN i codi BIC"
SectionEnd

Section /o "brelvoxa.exe al PATH, per a cmd i PowerShell" SecPath
    Call AddToPath
SectionEnd

Section "-Registre"
    ${If} $CreatedAppsKey == 1
        WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "CreatedAppsKey" 1
    ${EndIf}
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Brelvoxa"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${BRELVOXA_VERSION}"
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "VersionMajor" ${BRELVOXA_VERSION_MAJOR}
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "VersionMinor" ${BRELVOXA_VERSION_MINOR}
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Dormatique.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${If} $CreatedFolder != ""
        WriteRegStr SHCTX "${UNINSTALL_KEY}" "CreatedFolder" "$CreatedFolder"
    ${EndIf}
    ${GetSize} "$INSTDIR" "/S=0K /G=1" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
    ${If} $PathRefused != ""
        MessageBox MB_OK|MB_ICONEXCLAMATION "$PathRefused" /SD IDOK
    ${EndIf}
SectionEnd

Section "Uninstall"
    Push $INSTDIR
    Call un.ProgramsClosed
    Call un.RemoveFromPath
    Delete "$SMPROGRAMS\Brelvoxa.lnk"
    !insertmacro BRELVOXA_REMOVE_FILES
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "CreatedFolder"
    Push $INSTDIR
    Push $0
    Call un.RemoveCreatedFolders
    ReadRegDWORD $0 SHCTX "${UNINSTALL_KEY}" "CreatedAppsKey"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    ${If} $0 == 1
        DeleteRegKey /ifempty SHCTX "${APPS_KEY}"
    ${EndIf}
SectionEnd

Function .onInit
    ${If} $INSTDIR != ""
        StrCpy $DirGiven 1
    ${EndIf}
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 == "Admin"
        StrCpy $Admin 1
    ${EndIf}
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/ALLUSERS" $R1
    ${IfNot} ${Errors}
        StrCpy $AllUsers 1
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/CURRENTUSER" $R1
    ${IfNot} ${Errors}
        StrCpy $AllUsers 0
    ${EndIf}
    ${If} $AllUsers == 1
    ${AndIf} $Admin != 1
    ${AndIf} ${Silent}
        SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
        Quit
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/PATH" $R1
    ${IfNot} ${Errors}
        StrCpy $PathAsked 1
    ${EndIf}
    Call SetMode
FunctionEnd

; The scope's shell folders, and the folder: the one an earlier install used, else the
; user's local Programs folder or, for every user, Program Files. The PATH entry is
; ticked when /PATH asks or an earlier install of the scope put its folder there.
Function SetMode
    ${If} $AllUsers == 1
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "PathEntry"
    ${If} $0 != ""
    ${OrIf} $PathAsked == 1
        !insertmacro SelectSection ${SecPath}
    ${Else}
        !insertmacro UnselectSection ${SecPath}
    ${EndIf}
    ${If} $DirGiven == 1
        Return
    ${EndIf}
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${ElseIf} $AllUsers == 1
        StrCpy $INSTDIR "$PROGRAMFILES64\Brelvoxa"
    ${Else}
        GetKnownFolderPath $0 ${FOLDERID_UserProgramFiles}
        ${If} $0 == ""
            StrCpy $0 "$LOCALAPPDATA\Programs"
        ${EndIf}
        StrCpy $INSTDIR "$0\Brelvoxa"
    ${EndIf}
FunctionEnd

Function ModePageShow
    !insertmacro MUI_HEADER_TEXT "Per a qui s'instal·la" \
        "Trieu si Brelvoxa serà només per a vós o per a tots els usuaris de l'ordinador."
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 24u \
        "Instal·lat només per a vós, Brelvoxa no demana permís d'administrador ni per instal·lar-lo ni per desinstal·lar-lo."
    Pop $0
    ${NSD_CreateRadioButton} 10u 34u -10u 12u "Només per a &mi"
    Pop $ModeUser
    ${NSD_CreateRadioButton} 10u 52u -10u 12u \
        "Per a &tots els usuaris de l'ordinador (cal ser administrador)"
    Pop $ModeAll
    ${If} $AllUsers == 1
        ${NSD_Check} $ModeAll
        ${NSD_SetFocus} $ModeAll
    ${Else}
        ${NSD_Check} $ModeUser
        ${NSD_SetFocus} $ModeUser
    ${EndIf}
    nsDialogs::Show
FunctionEnd

; Every user needs an administrator: without one, the installer starts again as one
; (Windows asks) and this copy ends, or stays on the page when Windows refuses.
Function ModePageLeave
    ${NSD_GetState} $ModeAll $0
    ${If} $0 == ${BST_CHECKED}
        ${If} $Admin != 1
            HideWindow
            ClearErrors
            ExecShellWait "runas" "$EXEPATH" "/ALLUSERS"
            ${IfNot} ${Errors}
                Quit
            ${EndIf}
            ShowWindow $HWNDPARENT ${SW_SHOW}
            BringToFront
            MessageBox MB_OK|MB_ICONEXCLAMATION \
                "Sense permís d'administrador, Brelvoxa només es pot instal·lar per a vós."
            Abort
        ${EndIf}
        StrCpy $AllUsers 1
    ${Else}
        StrCpy $AllUsers 0
    ${EndIf}
    Call SetMode
FunctionEnd

; An earlier install of the same scope is uninstalled first, wherever its folder is,
; so that no file of it stays behind; its uninstaller runs in place and goes last.
Function RemovePrevious
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $1 SHCTX "${UNINSTALL_KEY}" "UninstallString"
    ReadRegStr $2 SHCTX "${UNINSTALL_KEY}" "CreatedFolder"
    ${If} $0 == ""
    ${OrIf} $1 == ""
        Return
    ${EndIf}
    DetailPrint "Es desinstal·la la versió anterior, de $0"
    ExecWait '$1 /S _?=$0'
    ; Running in place, it leaves itself and so its folders: they go here.
    StrCpy $1 $1 -1 1
    Delete "$1"
    RMDir "$0"
    Push $0
    Push $2
    Call RemoveCreatedFolders
FunctionEnd

Function AddToPath
    Call ReadPath
    StrCpy $0 $PathValue
    ${If} $PathOk != 1
        StrCpy $PathRefused "El PATH és massa llarg perquè l'instal·lador el pugui modificar sense perill: no s'ha tocat. Hi podeu afegir a mà la carpeta $INSTDIR."
        DetailPrint "$PathRefused"
        Return
    ${EndIf}
    Push $0
    Push $INSTDIR
    Call PathWithout
    Pop $1
    ${If} $1 != $0
        DetailPrint "La carpeta ja és al PATH."
        Return
    ${EndIf}
    StrCpy $1 $0 "" -1
    ${If} $0 == ""
        StrCpy $0 $INSTDIR
    ${ElseIf} $1 == ";"
        StrCpy $0 "$0$INSTDIR"
    ${Else}
        StrCpy $0 "$0;$INSTDIR"
    ${EndIf}
    StrLen $1 $0
    ${If} $1 >= ${PATH_LIMIT}
        StrCpy $PathRefused "El PATH seria massa llarg perquè l'instal·lador el pugui modificar sense perill: no s'ha tocat. Hi podeu afegir a mà la carpeta $INSTDIR."
        DetailPrint "$PathRefused"
        Return
    ${EndIf}
    !insertmacro WRITE_PATH $0
    ; What the uninstaller takes out again.
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "PathEntry" "$INSTDIR"
FunctionEnd

; The uninstaller works in the scope its install was made in, found from the registry;
; one for every user starts again as administrator when it is not one.
Function un.onInit
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == ""
    ${OrIf} $0 != $INSTDIR
        StrCpy $AllUsers 0
        SetShellVarContext current
        Return
    ${EndIf}
    StrCpy $AllUsers 1
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 == "Admin"
        Return
    ${EndIf}
    StrCpy $0 "_?=$INSTDIR"
    ${If} ${Silent}
        StrCpy $0 "/S $0"
    ${EndIf}
    ClearErrors
    ExecShellWait "runas" "$EXEPATH" "$0"
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP \
            "Brelvoxa s'ha instal·lat per a tots els usuaris: cal ser administrador per desinstal·lar-lo." \
            /SD IDOK
        SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
    ${EndIf}
    Quit
FunctionEnd

Function un.RemoveFromPath
    ReadRegStr $2 SHCTX "${UNINSTALL_KEY}" "PathEntry"
    ${If} $2 == ""
        Return
    ${EndIf}
    Call un.ReadPath
    StrCpy $0 $PathValue
    ${If} $PathOk != 1
        MessageBox MB_OK|MB_ICONEXCLAMATION \
            "El PATH és massa llarg perquè el desinstal·lador el pugui modificar sense perill: traieu-ne a mà la carpeta $2." \
            /SD IDOK
        Return
    ${EndIf}
    Push $0
    Push $2
    Call un.PathWithout
    Pop $1
    ${If} $1 != $0
        !insertmacro WRITE_PATH $1
    ${EndIf}
FunctionEnd
