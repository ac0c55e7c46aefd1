; The VexQuilkit installer, built by scripts/make-package.py:
;   makensis -WX -DVERSION=1.1.0 -DCOMPANY=... -DCOPYRIGHT=... -DSTAGE=<folder of the three
;            binaries, LICENSE.txt, VexQuilkit.msix and VexQuilkit.cer> -DOUTFILE=<setup.exe>
;            -DCERTIFICATE_SERIAL=<the .cer's, hex> -DPACKAGE_NAME=<the .msix's Identity Name>
;            [-DTARGET=amd64-unicode] VexQuilkit.nsi
; Per machine and elevated, for 64-bit Windows only. /S installs silently; over an
; installed version it upgrades in place, and over a newer one it asks first (silently it
; keeps the newer one). The uninstaller keeps the user's settings. This file is UTF-8
; with a byte-order mark, which makensis reads as UTF-8 without being told.

!ifdef TARGET
    Target ${TARGET}
!else
    ; 32-bit, so that 32-bit Windows can say why it is refused; Unicode, which the
    ; Japanese texts need.
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
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1041 "OriginalFilename" "${PRODUCT}-${VERSION}-setup.exe"

!define MUI_ICON "${__FILEDIR__}/../res/VexQuilkit/VexQuilkit.ico"
!define MUI_UNICON "${__FILEDIR__}/../res/VexQuilkit/VexQuilkit.ico"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
; The MIT licence asks nothing of a user: the page shows it and goes on with Next.
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(LicenceKept)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipFolderOnUpgrade
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE KeepToProgramFilesOnFolderPage
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
; NSIS shows the language of the user's Windows (its UI language), English when it is
; neither of these; no dialog asks. Every text of ours below has its Japanese form (a
; missing one fails the build: makensis -WX).
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

; The texts of ours, English then Japanese; $0 is a code, $previousVersion the version
; installed.
Var previousVersion
LangString LicenceKept ${LANG_ENGLISH} "${PRODUCT} is free software under this licence; LICENSE.txt in its folder keeps a copy."
LangString LicenceKept ${LANG_JAPANESE} "${PRODUCT} はこのライセンスのもとで使えるフリー ソフトウェアです。フォルダー内の LICENSE.txt にも同じ内容があります。"
LangString NeedsAdministrator ${LANG_ENGLISH} "${PRODUCT} is installed for all users, which needs administrator rights."
LangString NeedsAdministrator ${LANG_JAPANESE} "${PRODUCT} は全ユーザーにインストールするため、管理者権限が必要です。"
LangString Needs64Bit ${LANG_ENGLISH} "${PRODUCT} needs a 64-bit edition of Windows.$\r$\nThis computer runs a 32-bit one."
LangString Needs64Bit ${LANG_JAPANESE} "${PRODUCT} には 64 ビット版の Windows が必要です。$\r$\nこのコンピューターの Windows は 32 ビット版です。"
LangString ReplaceNewer ${LANG_ENGLISH} "${PRODUCT} $previousVersion is installed, which is newer than this version (${VERSION}).$\r$\n$\r$\nReplace it with version ${VERSION}?"
LangString ReplaceNewer ${LANG_JAPANESE} "このバージョン (${VERSION}) より新しい ${PRODUCT} $previousVersion がインストールされています。$\r$\n$\r$\nバージョン ${VERSION} に置き換えますか?"
LangString FolderRefused ${LANG_ENGLISH} "${PRODUCT} is installed for all users, so it goes into a folder that only administrators can change.$\r$\nChoose a folder in $PROGRAMFILES64.$\r$\n$\r$\nTo use ${PRODUCT} in another folder, unpack the portable zip there: its Install adds the context menu for you alone."
LangString FolderRefused ${LANG_JAPANESE} "${PRODUCT} は全ユーザーにインストールするため、管理者だけが変更できるフォルダーにインストールします。$\r$\n$PROGRAMFILES64 の中のフォルダーを選んでください。$\r$\n$\r$\nほかのフォルダーで ${PRODUCT} を使うには、ポータブル版の zip をそこに展開してください。その [登録] は、右クリックメニューをこのユーザーだけに追加します。"
LangString UpgradeOutsideProgramFiles ${LANG_ENGLISH} "${PRODUCT} $previousVersion is installed outside Program Files:$\r$\n$INSTDIR$\r$\nUsers other than administrators may be able to change it there, so this version does not go there. Uninstall ${PRODUCT} in Settings > Apps first, then run this installer again."
LangString UpgradeOutsideProgramFiles ${LANG_JAPANESE} "${PRODUCT} $previousVersion は Program Files の外にインストールされています:$\r$\n$INSTDIR$\r$\n管理者以外のユーザーが変更できるおそれがあるため、このバージョンはそこへインストールしません。先に [設定] > [アプリ] で ${PRODUCT} をアンインストールしてから、このインストーラーをもう一度実行してください。"
LangString RegistrationFailed ${LANG_ENGLISH} "The Explorer context menu could not be registered (code $0).$\r$\nRun ${PRODUCT} and click Install to try again."
LangString RegistrationFailed ${LANG_JAPANESE} "エクスプローラーの右クリックメニューを登録できませんでした (コード $0)。$\r$\n${PRODUCT} を起動し、[登録] をクリックしてやり直してください。"
LangString Windows11MenuFailed ${LANG_ENGLISH} "${PRODUCT} could not be added to Windows 11's context menu (code $0).$\r$\nIts submenu stays under Show more options."
LangString Windows11MenuFailed ${LANG_JAPANESE} "${PRODUCT} を Windows 11 の右クリックメニューに追加できませんでした (コード $0)。$\r$\nサブメニューは [その他のオプションを確認] の中にあります。"
LangString RestartExplorer ${LANG_ENGLISH} "${PRODUCT} appears on Windows 11's context menu once Explorer restarts.$\r$\n$\r$\nRestart Explorer now? Its windows close and reopen."
LangString RestartExplorer ${LANG_JAPANESE} "エクスプローラーを再起動すると、Windows 11 の右クリックメニューに ${PRODUCT} が表示されます。$\r$\n$\r$\n今すぐエクスプローラーを再起動しますか? 開いているエクスプローラーのウィンドウはいったん閉じて、また開きます。"

; Without UAC a standard user runs the installer as it is, unable to write where it must.
!macro RequireAdministrator
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "admin"
        MessageBox MB_OK|MB_ICONSTOP "$(NeedsAdministrator)" /SD IDOK
        SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
        Quit
    ${EndIf}
!macroend

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
            MessageBox MB_OK|MB_ICONEXCLAMATION "$(Windows11MenuFailed)" /SD IDOK
        ${EndIf}
    ${EndIf}
!macroend

; Explorer reads the packages' menus when it starts.
!macro Windows11MenuOfferExplorerRestart
    ${If} ${AtLeastBuild} 22000
        MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RestartExplorer)" /SD IDNO IDNO windows11_menu_explorer_kept
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
        MessageBox MB_OK|MB_ICONSTOP "$(Needs64Bit)" /SD IDOK
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
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(ReplaceNewer)" /SD IDNO IDYES replace
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

Function TellFolderRefused
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(FolderRefused)" /SD IDOK
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
        MessageBox MB_OK|MB_ICONEXCLAMATION "$(UpgradeOutsideProgramFiles)" /SD IDOK
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
        MessageBox MB_OK|MB_ICONEXCLAMATION "$(RegistrationFailed)" /SD IDOK
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
