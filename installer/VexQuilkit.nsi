; The VexQuilkit installer, built by scripts/make-package.py:
;   makensis -DVERSION=1.1.0 -DCOMPANY=... -DCOPYRIGHT=... -DSTAGE=<folder of the three
;            binaries and LICENSE.txt> -DOUTFILE=<setup.exe> [-DTARGET=amd64-unicode] VexQuilkit.nsi
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
SectionEnd

Function un.onInit
    !insertmacro RequireAdministrator
    SetRegView 64
    SetShellVarContext all
FunctionEnd

!define FLINTPOP_CLSID "{1035D880-537A-4B6D-A84F-9E7212E661DC}"

Section "Uninstall"
    ExecWait '"$INSTDIR\VexQuilkit.exe" /Unregister'
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
