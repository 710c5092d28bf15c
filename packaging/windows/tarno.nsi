; The Windows installer: per user, no administrator rights, into
; %LOCALAPPDATA%\Programs\Tarno, with a Start-menu shortcut and an entry in
; the list of installed apps. pack_setup.cmake runs makensis with:
;   VERSION  the game's version, and VERSION4 the same in four parts
;   OUTFILE  the installer to write
;   RUN      the Windows run folder (for the icon)
;   FILES    an include file with the macros TARNO_INSTALL_FILES and
;            TARNO_REMOVE_FILES, one line per shipped file
;   LICENSE  the licence text, shown on a page and installed as LICENSE.txt
; The player's progress (HKCU\Software\Tarno) and the editor's level.dat
; outlive an uninstall unless the player asks for them to go: the
; "Progress and saved board" choice in the uninstaller, or /REMOVEPROGRESS
; with /S.
; A 64-bit installer for the 64-bit game: it runs where the game runs,
; Wine without its 32-bit part included.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh
!include ${FILES}

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarno"
!define PROGRESS_KEY "Software\Tarno"
!define PUBLISHER "The Tarno developers"

Name "Tarno"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tarno"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tarno ${VERSION}"

VIProductVersion "${VERSION4}"
VIAddVersionKey "ProductName" "Tarno"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Tarno installer"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT licence"

!define MUI_ICON "${RUN}/tarno.ico"
!define MUI_UNICON "${RUN}/tarno.ico"
!define MUI_ABORTWARNING
; No welcome or finish page: they would show a stock picture, and every
; picture of the game is its own. The licence page comes first.
!define MUI_LICENSEPAGE_TEXT_TOP "Tarno ${VERSION} installs for you alone, with no administrator rights. It is released under the MIT licence:"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "The licence asks nothing of you to play the game. Click Next to go on."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"

!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES

!define MUI_COMPONENTSPAGE_TEXT_TOP "Tarno's files and its Start-menu shortcut are removed. Your progress and the board you saved in the editor stay for a later install, unless you tick them here."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Section "Tarno"
  SetOutPath "$INSTDIR"
  !insertmacro TARNO_INSTALL_FILES
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut's working folder is the output path: the game reads its
  ; data by bare name from there.
  CreateShortcut "$SMPROGRAMS\Tarno.lnk" "$INSTDIR\tarno.exe" "" "$INSTDIR\tarno.exe" 0

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tarno"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarno.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "un.Tarno" UnGame
  SectionIn RO
  Delete "$SMPROGRAMS\Tarno.lnk"
  !insertmacro TARNO_REMOVE_FILES
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Progress and saved board" UnProgress
  DeleteRegKey HKCU "${PROGRESS_KEY}"
  Delete "$INSTDIR\level.dat"
SectionEnd

; Last, so that the folder goes once it is empty; a level.dat that stays
; keeps it.
Section "-un.Folder"
  RMDir "$INSTDIR"
SectionEnd

; A running game holds tarno.exe open: files it holds cannot be replaced or
; removed, and would be left behind without a word. The player is asked to
; close it first, and may try again or give up (a silent run gives up).
!macro CLOSE_GAME_FIRST FUNCTION WHAT
  Function ${FUNCTION}
    again:
    FindWindow $0 "WINXCLASS"
    ${If} $0 <> 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Tarno is running. Close the game, then choose Retry to ${WHAT} it." /SD IDCANCEL IDRETRY again
      Abort
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro CLOSE_GAME_FIRST CloseGameFirst "install"
!insertmacro CLOSE_GAME_FIRST un.CloseGameFirst "uninstall"

Function .onInit
  Call CloseGameFirst
FunctionEnd

Function un.onInit
  Call un.CloseGameFirst
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEPROGRESS" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${UnProgress} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

LangString DESC_UnGame ${LANG_ENGLISH} "The game, its data, the Start-menu shortcut and this uninstaller."
LangString DESC_UnProgress ${LANG_ENGLISH} "The levels you have reached (kept in the registry) and the editor's level.dat."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnGame} $(DESC_UnGame)
  !insertmacro MUI_DESCRIPTION_TEXT ${UnProgress} $(DESC_UnProgress)
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
