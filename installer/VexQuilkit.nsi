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

Section "Uninstall"
    ExecWait '"$INSTDIR\VexQuilkit.exe" /Unregister'
    !insertmacro Windows11MenuUninstall
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
