; The VexQuilkit installer, built by scripts/make-package.py:
;   makensis -DVERSION=1.1.0 -DCOMPANY=... -DCOPYRIGHT=... -DSTAGE=<folder of the three
;            binaries, LICENSE.txt, VexQuilkit.msix and VexQuilkit.cer> -DOUTFILE=<setup.exe>
;            -DCERTIFICATE_SERIAL=<the .cer's, hex> -DPACKAGE_NAME=<the .msix's Identity Name>
;            [-DTARGET=amd64-unicode] VexQuilkit.nsi
; Per machine and elevated, for 64-bit Windows only. /S installs silently; over an
; installed version it upgrades in place, and over a newer one it asks first (silently it
; keeps the newer one). The uninstaller keeps the user's settings.

!ifdef TARGET
    Target ${TARGET}
!else
    ; 32-bit, so that 32-bit Windows can say why it is refused.
    Unicode true
!endif

!include MUI2.nsh
!include x64.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include WinVer.nsh

!define PRODUCT "VexQuilkit"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define UNINSTALLER "uninstall.exe"
; VexQuilkit's registration step reports success as this exit code.
!define REGISTERED 100
; The exit code when a newer version stays installed: ERROR_PRODUCT_VERSION, as Windows
; Installer answers when another version of a product is installed.
!define NEWER_INSTALLED 1638

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestSupportedOS all
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "${PRODUCT}-${VERSION}-setup.exe"

!define MUI_ICON "${__FILEDIR__}/../res/VexQuilkit/VexQuilkit.ico"
!define MUI_UNICON "${__FILEDIR__}/../res/VexQuilkit/VexQuilkit.ico"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
; The MIT licence asks nothing of a user: the page shows it and goes on with Next.
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "${PRODUCT} is free software under this licence; LICENSE.txt in its folder keeps a copy."
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipFolderOnUpgrade
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE KeepToProgramFilesOnFolderPage
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

; Without UAC a standard user runs the installer as it is, unable to write where it must.
!macro RequireAdministrator
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "admin"
        MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is installed for all users, which needs administrator rights." /SD IDOK
        SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
        Quit
    ${EndIf}
!macroend

Var previousVersion

; Writes the file under another name and puts it in place: now, or at the next restart
; when the installed one is in use (the extension loaded by Explorer, a program running).
!macro InstallFile name
    File "/oname=${name}.new" "${STAGE}/${name}"
    Delete "$INSTDIR\${name}"
    Rename /REBOOTOK "$INSTDIR\${name}.new" "$INSTDIR\${name}"
!macroend

; Removes the file, and a replacement still waiting for a restart; at the restart when
; it is in use.
!macro RemoveFile name
    Delete /REBOOTOK "$INSTDIR\${name}.new"
    Delete /REBOOTOK "$INSTDIR\${name}"
!macroend

; ---- Windows 11's first context menu ----------------------------------------------------
; From build 22000 on, Explorer's first menu shows only commands of a package. The signed
; package VexQuilkit.msix names flintpop64.dll in the program's folder (its external
; location); Windows installs it only when its certificate is trusted, here in the
; machine's Trusted People store. A package with an external location is registered per
; user (Add-AppxPackage -ExternalLocation): this installer registers it for the account it
; runs as, and Active Setup registers it for every other user at their next logon, as
; that user, before Explorer starts; a higher Version makes Active Setup run again after
; an upgrade, which replaces the package. Windows 10 and earlier: none of this runs.
!define WIN11_MENU_COMPONENT "Software\Microsoft\Active Setup\Installed Components\${PACKAGE_NAME}"
!define WIN11_MENU_CERTIFICATE_VALUE "Windows11MenuCertificate"
!define POWERSHELL '"$SYSDIR\WindowsPowerShell\v1.0\powershell.exe" -NoProfile -NonInteractive -ExecutionPolicy Bypass -Command'
!define CERTUTIL '"$SYSDIR\certutil.exe"'
; Active Setup compares versions written with commas.
!searchreplace ACTIVE_SETUP_VERSION "${VERSION}" "." ","

; The 64-bit tools, past a 32-bit installer's file-system redirection.
!macro Windows11MenuRun command
    ${DisableX64FSRedirection}
    ExecWait `${command}` $0
    ${EnableX64FSRedirection}
!macroend

; The certificate of an earlier version goes first: each build may have its own.
!macro Windows11MenuDropCertificate
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "${WIN11_MENU_CERTIFICATE_VALUE}"
    ${If} $1 != ""
        !insertmacro Windows11MenuRun '${CERTUTIL} -delstore TrustedPeople $1'
    ${EndIf}
!macroend

!macro Windows11MenuInstall
    ${If} ${AtLeastBuild} 22000
        !insertmacro InstallFile VexQuilkit.msix
        !insertmacro InstallFile VexQuilkit.cer
        !insertmacro Windows11MenuDropCertificate
        !insertmacro Windows11MenuRun '${CERTUTIL} -f -addstore TrustedPeople "$INSTDIR\VexQuilkit.cer"'
        WriteRegStr HKLM "${UNINSTALL_KEY}" "${WIN11_MENU_CERTIFICATE_VALUE}" "${CERTIFICATE_SERIAL}"
        StrCpy $2 `${POWERSHELL} "Add-AppxPackage -Path '$INSTDIR\VexQuilkit.msix' -ExternalLocation '$INSTDIR'"`
        WriteRegStr HKLM "${WIN11_MENU_COMPONENT}" "" "VexQuilkit on Windows 11's context menu"
        WriteRegStr HKLM "${WIN11_MENU_COMPONENT}" "StubPath" "$2"
        WriteRegStr HKLM "${WIN11_MENU_COMPONENT}" "Version" "${ACTIVE_SETUP_VERSION}"
        WriteRegDWORD HKLM "${WIN11_MENU_COMPONENT}" "IsInstalled" 1
        !insertmacro Windows11MenuRun '$2'
        ${If} $0 == 0
            ; This account has it now: Active Setup need not run for it again.
            WriteRegStr HKCU "${WIN11_MENU_COMPONENT}" "Version" "${ACTIVE_SETUP_VERSION}"
        ${Else}
            MessageBox MB_OK|MB_ICONEXCLAMATION "VexQuilkit could not be added to Windows 11's context menu (code $0).$\r$\nIts submenu stays under Show more options." /SD IDOK
        ${EndIf}
    ${EndIf}
!macroend

; Explorer reads the packages' menus when it starts.
!macro Windows11MenuOfferExplorerRestart
    ${If} ${AtLeastBuild} 22000
        MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "VexQuilkit appears on Windows 11's context menu once Explorer restarts.$\r$\n$\r$\nRestart Explorer now? Its windows close and reopen." /SD IDNO IDNO windows11_menu_explorer_kept
        ; Windows starts the shell again by itself, as the user, once it has ended.
        !insertmacro Windows11MenuRun '"$SYSDIR\taskkill.exe" /f /im explorer.exe'
    windows11_menu_explorer_kept:
    ${EndIf}
!macroend

!macro Windows11MenuUninstall
    ${If} ${AtLeastBuild} 22000
        DeleteRegKey HKLM "${WIN11_MENU_COMPONENT}"
        DeleteRegKey HKCU "${WIN11_MENU_COMPONENT}"
        !insertmacro Windows11MenuRun '${POWERSHELL} "Get-AppxPackage -AllUsers -Name ${PACKAGE_NAME} | Remove-AppxPackage -AllUsers"'
        !insertmacro Windows11MenuDropCertificate
    ${EndIf}
    !insertmacro RemoveFile VexQuilkit.msix
    !insertmacro RemoveFile VexQuilkit.cer
!macroend
; ---- end of Windows 11's first context menu ---------------------------------------------

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs a 64-bit edition of Windows.$\r$\nThis computer runs a 32-bit one." /SD IDOK
        Abort
    ${EndIf}
    !insertmacro RequireAdministrator
    SetRegView 64
    SetShellVarContext all
    ; An upgrade goes where the installed version is.
    ReadRegStr $previousVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    Call KeepANewerVersion
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${EndIf}
    Call KeepToProgramFilesWithoutFolderPage
FunctionEnd

; An older version replaces a newer one only when the user says so; the same version
; installs again without a word.
Function KeepANewerVersion
    ${If} $previousVersion == ""
        Return
    ${EndIf}
    ${VersionCompare} $previousVersion "${VERSION}" $0
    ${If} $0 != 1
        Return
    ${EndIf}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "${PRODUCT} $previousVersion is installed, which is newer than this version (${VERSION}).$\r$\n$\r$\nReplace it with version ${VERSION}?" /SD IDNO IDYES replace
    SetErrorLevel ${NEWER_INSTALLED}
    Quit
replace:
FunctionEnd

; ---- Only a folder that administrators alone control ------------------------------------
; Every user's Explorer loads the extension registered here, and starts VexQuilkit.exe
; beside it: the folder must be one that no one else can change, nor any folder above it.
; Program Files is such a folder on any Windows. Elsewhere it is rarely so: a folder made
; in a volume's root (C:\Tools, D:\Apps) lets every user rename it and put another in its
; place, which no permission set on the program's own folder prevents, and the installer
; would then run and register what that user put there. So any other folder is refused,
; before anything is copied or run there; the portable zip serves other folders, for one
; user each. VexQuilkit's registration step checks the whole way itself as well.

; The exit code of a silent install into another folder: ERROR_DIRECTORY.
!define FOLDER_REFUSED 267

; Sets $0 to 1 when $INSTDIR, made a full path (no "..", no "/"), is a folder inside
; a Program Files folder, else to 0.
!macro IsInside folder
    StrLen $2 "${folder}\"
    StrCpy $3 $INSTDIR $2
    StrLen $4 $INSTDIR
    ${If} $3 == "${folder}\"
    ${AndIf} $4 > $2
        StrCpy $0 1
    ${EndIf}
!macroend

Function IsInProgramFiles
    System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r1, p 0) i .r0'
    ${If} $0 = 0
        Return
    ${EndIf}
    StrCpy $INSTDIR $1
    StrCpy $0 0
    !insertmacro IsInside "$PROGRAMFILES64"
    !insertmacro IsInside "$PROGRAMFILES32"
FunctionEnd

; The texts in the language of the user's locale, English or Japanese (0x0411).
Function IsJapanese
    System::Call 'kernel32::GetUserDefaultLCID() i .r0'
FunctionEnd

Function TellFolderRefused
    Call IsJapanese
    ${If} $0 = 1041
        ; VexQuilkit は全ユーザーに登録するため、管理者だけが変更できるフォルダーにインストールします。
        ; $PROGRAMFILES64 の中のフォルダーを選んでください。
        ; ほかのフォルダーで使うには、ポータブル版の zip をそこに展開してください。その [登録] は、
        ; このユーザーだけに右クリックメニューを追加します。
        MessageBox MB_OK|MB_ICONEXCLAMATION "VexQuilkit ${U+306F}${U+5168}${U+30E6}${U+30FC}${U+30B6}${U+30FC}${U+306B}${U+767B}${U+9332}${U+3059}${U+308B}${U+305F}${U+3081}${U+3001}${U+7BA1}${U+7406}${U+8005}${U+3060}${U+3051}${U+304C}${U+5909}${U+66F4}${U+3067}${U+304D}${U+308B}${U+30D5}${U+30A9}${U+30EB}${U+30C0}${U+30FC}${U+306B}${U+30A4}${U+30F3}${U+30B9}${U+30C8}${U+30FC}${U+30EB}${U+3057}${U+307E}${U+3059}${U+3002}$\r$\n$PROGRAMFILES64 ${U+306E}${U+4E2D}${U+306E}${U+30D5}${U+30A9}${U+30EB}${U+30C0}${U+30FC}${U+3092}${U+9078}${U+3093}${U+3067}${U+304F}${U+3060}${U+3055}${U+3044}${U+3002}$\r$\n$\r$\n${U+307B}${U+304B}${U+306E}${U+30D5}${U+30A9}${U+30EB}${U+30C0}${U+30FC}${U+3067}${U+4F7F}${U+3046}${U+306B}${U+306F}${U+3001}${U+30DD}${U+30FC}${U+30BF}${U+30D6}${U+30EB}${U+7248}${U+306E} zip ${U+3092}${U+305D}${U+3053}${U+306B}${U+5C55}${U+958B}${U+3057}${U+3066}${U+304F}${U+3060}${U+3055}${U+3044}${U+3002}${U+305D}${U+306E} [${U+767B}${U+9332}] ${U+306F}${U+3001}${U+3053}${U+306E}${U+30E6}${U+30FC}${U+30B6}${U+30FC}${U+3060}${U+3051}${U+306B}${U+53F3}${U+30AF}${U+30EA}${U+30C3}${U+30AF}${U+30E1}${U+30CB}${U+30E5}${U+30FC}${U+3092}${U+8FFD}${U+52A0}${U+3057}${U+307E}${U+3059}${U+3002}" /SD IDOK
    ${Else}
        MessageBox MB_OK|MB_ICONEXCLAMATION "${PRODUCT} is installed for all users, so it goes into a folder that only administrators can change.$\r$\nChoose a folder in $PROGRAMFILES64.$\r$\n$\r$\nTo use ${PRODUCT} in another folder, unpack the portable zip there: its Install adds the context menu for you alone." /SD IDOK
    ${EndIf}
FunctionEnd

Function KeepToProgramFilesOnFolderPage
    Call IsInProgramFiles
    ${If} $0 != 1
        Call TellFolderRefused
        Abort
    ${EndIf}
FunctionEnd

; A silent install, or an upgrade, which shows no folder page.
Function KeepToProgramFilesWithoutFolderPage
    ${IfNot} ${Silent}
    ${AndIf} $previousVersion == ""
        Return
    ${EndIf}
    Call IsInProgramFiles
    ${If} $0 = 1
        Return
    ${EndIf}
    ${If} $previousVersion == ""
        Call TellFolderRefused
    ${Else}
        Call IsJapanese
        ${If} $0 = 1041
            ; VexQuilkit $previousVersion は Program Files の外にインストールされています: $INSTDIR
            ; 管理者以外のユーザーが変更できるおそれがあるため、そこへは更新しません。
            ; 先に [設定] > [アプリ] でアンインストールしてから、このインストーラーをもう一度実行してください。
            MessageBox MB_OK|MB_ICONEXCLAMATION "VexQuilkit $previousVersion ${U+306F} Program Files ${U+306E}${U+5916}${U+306B}${U+30A4}${U+30F3}${U+30B9}${U+30C8}${U+30FC}${U+30EB}${U+3055}${U+308C}${U+3066}${U+3044}${U+307E}${U+3059}:$\r$\n$INSTDIR$\r$\n${U+7BA1}${U+7406}${U+8005}${U+4EE5}${U+5916}${U+306E}${U+30E6}${U+30FC}${U+30B6}${U+30FC}${U+304C}${U+5909}${U+66F4}${U+3067}${U+304D}${U+308B}${U+304A}${U+305D}${U+308C}${U+304C}${U+3042}${U+308B}${U+305F}${U+3081}${U+3001}${U+305D}${U+3053}${U+3078}${U+306F}${U+66F4}${U+65B0}${U+3057}${U+307E}${U+305B}${U+3093}${U+3002}${U+5148}${U+306B} [${U+8A2D}${U+5B9A}] > [${U+30A2}${U+30D7}${U+30EA}] ${U+3067}${U+30A2}${U+30F3}${U+30A4}${U+30F3}${U+30B9}${U+30C8}${U+30FC}${U+30EB}${U+3057}${U+3066}${U+304B}${U+3089}${U+3001}${U+3053}${U+306E}${U+30A4}${U+30F3}${U+30B9}${U+30C8}${U+30FC}${U+30E9}${U+30FC}${U+3092}${U+3082}${U+3046}${U+4E00}${U+5EA6}${U+5B9F}${U+884C}${U+3057}${U+3066}${U+304F}${U+3060}${U+3055}${U+3044}${U+3002}" /SD IDOK
        ${Else}
            MessageBox MB_OK|MB_ICONEXCLAMATION "${PRODUCT} $previousVersion is installed outside Program Files:$\r$\n$INSTDIR$\r$\nUsers other than administrators may be able to change it there, so this version does not go there. Uninstall ${PRODUCT} in Settings > Apps first, then run this installer again." /SD IDOK
        ${EndIf}
    ${EndIf}
    SetErrorLevel ${FOLDER_REFUSED}
    Quit
FunctionEnd
; ---- End of the folder's check -----------------------------------------------------------

Function SkipFolderOnUpgrade
    ${If} $previousVersion != ""
        Abort
    ${EndIf}
FunctionEnd

Section "${PRODUCT}"
    SetOutPath "$INSTDIR"
    !insertmacro InstallFile VexQuilkit.exe
    !insertmacro InstallFile flintpop64.dll
    !insertmacro InstallFile Skyperch.exe
    !insertmacro InstallFile LICENSE.txt
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; The program's own registration step: it loads the extension from its folder alone
    ; and answers with an exit code that says what went wrong. (regsvr32 would have to be
    ; the 64-bit one, past this 32-bit installer's file-system redirection, and reports
    ; nothing but success or failure.)
    ExecWait '"$INSTDIR\VexQuilkit.exe" /Register' $0
    ${If} $0 != ${REGISTERED}
        MessageBox MB_OK|MB_ICONEXCLAMATION "The Explorer context menu could not be registered (code $0).$\r$\nRun ${PRODUCT} and click Install to try again." /SD IDOK
        SetErrorLevel 2
    ${EndIf}

    !insertmacro Windows11MenuInstall

    CreateShortCut "$SMPROGRAMS\VexQuilkit.lnk" "$INSTDIR\VexQuilkit.exe"
    CreateShortCut "$SMPROGRAMS\Skyperch.lnk" "$INSTDIR\Skyperch.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\VexQuilkit.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
    !insertmacro Windows11MenuOfferExplorerRestart
SectionEnd

Function un.onInit
    !insertmacro RequireAdministrator
    SetRegView 64
    SetShellVarContext all
FunctionEnd

!define FLINTPOP_CLSID "{1035D880-537A-4B6D-A84F-9E7212E661DC}"

Section "Uninstall"
    ExecWait '"$INSTDIR\VexQuilkit.exe" /Unregister'
    !insertmacro Windows11MenuUninstall
    ; The main window's Install may have registered the extension from here for this user
    ; as well; that registration would name a DLL that is about to go. Another user's, or
    ; one that names another copy, is left alone.
    ReadRegStr $0 HKCU "Software\Classes\CLSID\${FLINTPOP_CLSID}\InprocServer32" ""
    ${If} $0 == "$INSTDIR\flintpop64.dll"
        DeleteRegKey HKCU "Software\Classes\CLSID\${FLINTPOP_CLSID}"
        DeleteRegKey HKCU "Software\Classes\*\shellex\ContextMenuHandlers\FlintPop"
        DeleteRegKey HKCU "Software\Classes\Directory\shellex\ContextMenuHandlers\FlintPop"
        DeleteRegKey HKCU "Software\Classes\Directory\Background\shellex\ContextMenuHandlers\FlintPop"
        DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved" "${FLINTPOP_CLSID}"
    ${EndIf}
    Delete "$SMPROGRAMS\VexQuilkit.lnk"
    Delete "$SMPROGRAMS\Skyperch.lnk"
    !insertmacro RemoveFile VexQuilkit.exe
    !insertmacro RemoveFile flintpop64.dll
    !insertmacro RemoveFile Skyperch.exe
    !insertmacro RemoveFile LICENSE.txt
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir /REBOOTOK "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
