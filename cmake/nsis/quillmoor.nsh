; Quillmoor's own steps in the installer that CPack writes from NSIS.template.in.

!define QUILLMOOR_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmoor"
; win.ini's section "windows", as Windows keeps it for each user.
!define QUILLMOOR_WINDOWS_KEY "Software\Microsoft\Windows NT\CurrentVersion\Windows"

!macro QuillmoorInstall
  ; For the "silently" of Add/Remove Programs, and of tools that uninstall many programs.
  WriteRegStr SHCTX "${QUILLMOOR_UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\Uninstall.exe" /S'
!macroend

!macro QuillmoorShortcut
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Quillmoor.lnk" "$INSTDIR\quillmoor.exe"
!macroend

!macro QuillmoorDeleteShortcut
  Delete "$SMPROGRAMS\$MUI_TEMP\Quillmoor.lnk"
!macroend

; "Add To Startup" left "run" naming the program that goes now, by its long or its short (8.3)
; path: empty it as "Remove From Startup" does. A "run" that names another program stays.
!macro QuillmoorUninstall
  ReadRegStr $0 HKCU "${QUILLMOOR_WINDOWS_KEY}" "run"
  StrCmp $0 "" quillmoorRunKept
  GetFullPathName /SHORT $1 "$INSTDIR\quillmoor.exe"
  GetFullPathName /SHORT $2 $0
  StrCmp $1 "" quillmoorRunKept
  StrCmp $1 $2 0 quillmoorRunKept
  WriteRegStr HKCU "${QUILLMOOR_WINDOWS_KEY}" "run" ""
quillmoorRunKept:
!macroend
