; Quillmoor's own steps in the installer that CPack writes from NSIS.template.in.

!define QUILLMOOR_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmoor"
; win.ini's section "windows", as Windows keeps it for each user.
!define QUILLMOOR_WINDOWS_KEY "Software\Microsoft\Windows NT\CurrentVersion\Windows"

Var QuillmoorEarlierDir
Var QuillmoorRunKept
Var QuillmoorUpdate

; An earlier install is updated in place or moved, never uninstalled: say which.
!macro QuillmoorEarlier
  ReadRegStr $QuillmoorEarlierDir HKCU "${QUILLMOOR_UNINSTALL_KEY}" "InstallLocation"
  ${If} $QuillmoorEarlierDir != ""
  ${AndIf} ${FileExists} "$QuillmoorEarlierDir\Uninstall.exe"
    ReadRegStr $0 HKCU "${QUILLMOOR_UNINSTALL_KEY}" "DisplayVersion"
    ${If} $0 == "${VERSION}"
      MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Quillmoor ${VERSION} is already installed in \
        $QuillmoorEarlierDir. It will be installed again; your settings are kept." /SD IDOK IDOK +2
      Abort
    ${Else}
      MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Quillmoor $0 in $QuillmoorEarlierDir will be \
        updated to ${VERSION}; your settings are kept." /SD IDOK IDOK +2
      Abort
    ${EndIf}
  ${Else}
    StrCpy $QuillmoorEarlierDir ""
  ${EndIf}
!macroend

; $R2 = 0: counts in $R8 the top-level windows of a program running as $R9 (its short path),
; its process id in $R7; $R2 = 1: asks them to close as well.
!macro QuillmoorStopFunctions UN
Function ${UN}QuillmoorWindows
  StrCpy $R8 0
  StrCpy $R6 0
  ${Do}
    System::Call 'user32::FindWindowExW(p 0, p R6, p 0, p 0) p .R6'
    ${IfThen} $R6 == 0 ${|} ${ExitDo} ${|}
    System::Call 'user32::GetWindowThreadProcessId(p R6, *i .R5)'
    ; PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i R5) p .R4'
    ${If} $R4 != 0
      System::Call 'kernel32::QueryFullProcessImageNameW(p R4, i 0, w .R3, *i ${NSIS_MAX_STRLEN})'
      System::Call 'kernel32::CloseHandle(p R4)'
      GetFullPathName /SHORT $R3 $R3
      ${If} $R3 == $R9
        IntOp $R8 $R8 + 1
        StrCpy $R7 $R5
        ${If} $R2 == 1
          System::Call 'user32::PostMessageW(p R6, i 0x0010, p 0, p 0)' ; WM_CLOSE
        ${EndIf}
      ${EndIf}
    ${EndIf}
  ${Loop}
FunctionEnd

; Closes a Quillmoor running from folder $R9 (it ends cleanly on WM_CLOSE), or aborts.
Function ${UN}QuillmoorStopIn
  GetFullPathName /SHORT $R9 "$R9\quillmoor.exe"
  ${IfThen} $R9 == "" ${|} Return ${|}
  StrCpy $R2 0
  Call ${UN}QuillmoorWindows
  ${IfThen} $R8 == 0 ${|} Return ${|}
  MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Quillmoor is running; it will be closed." \
    /SD IDOK IDOK close
  Abort "Quillmoor is running."
close:
  StrCpy $R2 1
  Call ${UN}QuillmoorWindows
  ; SYNCHRONIZE
  System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i R7) p .R6'
  ${IfThen} $R6 == 0 ${|} Return ${|}
  System::Call 'kernel32::WaitForSingleObject(p R6, i 15000) i .R5'
  System::Call 'kernel32::CloseHandle(p R6)'
  ${IfThen} $R5 == 0 ${|} Return ${|}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Quillmoor did not close. Choose Exit in its \
    tray menu, then Retry." /SD IDCANCEL IDRETRY close
  DetailPrint "Quillmoor is still running from $R9."
  Abort "Quillmoor is still running."
FunctionEnd
!macroend
!insertmacro QuillmoorStopFunctions ""
!insertmacro QuillmoorStopFunctions "un."

!macro QuillmoorStop UN
  StrCpy $R9 $INSTDIR
  Call ${UN}QuillmoorStopIn
!macroend

; The files of an earlier install go first, by its own uninstaller in update mode, which keeps
; "run" and the uninstall entry. "run" follows the program when the folder moves.
!macro QuillmoorRemoveEarlier
  ${If} $QuillmoorEarlierDir != ""
    StrCpy $R9 $QuillmoorEarlierDir
    Call QuillmoorStopIn
    !insertmacro QuillmoorRunNames $QuillmoorEarlierDir
    ClearErrors
    ExecWait '"$QuillmoorEarlierDir\Uninstall.exe" /S /update _?=$QuillmoorEarlierDir' $0
    ${If} ${Errors}
    ${OrIf} $0 != 0
      MessageBox MB_OK|MB_ICONSTOP "The earlier Quillmoor in $QuillmoorEarlierDir could not be \
        removed. Nothing was installed." /SD IDOK
      SetErrorLevel 2
      Abort "The earlier Quillmoor could not be removed."
    ${EndIf}
    Delete "$QuillmoorEarlierDir\Uninstall.exe"
    RMDir "$QuillmoorEarlierDir"
  ${EndIf}
!macroend

!macro QuillmoorRunFollows
  ${If} $QuillmoorRunKept == 1
    GetFullPathName /SHORT $0 "$INSTDIR\quillmoor.exe"
    ${IfThen} $0 == "" ${|} StrCpy $0 "$INSTDIR\quillmoor.exe" ${|}
    WriteRegStr HKCU "${QUILLMOOR_WINDOWS_KEY}" "run" $0
  ${EndIf}
!macroend

; What the uninstaller could not delete (a program that still holds its files) fails it.
!macro QuillmoorRemoved
  ${If} ${FileExists} "$INSTDIR\quillmoor.exe"
  ${OrIf} ${FileExists} "$INSTDIR\*.dll"
  ${OrIf} ${FileExists} "$INSTDIR\platforms\*.dll"
  ${OrIf} ${FileExists} "$INSTDIR\styles\*.dll"
  ${OrIf} ${FileExists} "$INSTDIR\imageformats\*.dll"
    MessageBox MB_OK|MB_ICONSTOP "Some of Quillmoor's files in $INSTDIR could not be removed. \
      Close the programs that use them and try again." /SD IDOK
    SetErrorLevel 2
    Abort "Some files could not be removed."
  ${EndIf}
!macroend

; Sets $QuillmoorRunKept when "Add To Startup" left "run" naming the program in DIR, by its
; long or its short (8.3) path. Asked while the program is still there to be named.
!macro QuillmoorRunNames DIR
  ReadRegStr $0 HKCU "${QUILLMOOR_WINDOWS_KEY}" "run"
  GetFullPathName /SHORT $1 "${DIR}\quillmoor.exe"
  GetFullPathName /SHORT $2 $0
  ${If} $0 != ""
  ${AndIf} $1 != ""
  ${AndIf} $1 == $2
    StrCpy $QuillmoorRunKept 1
  ${EndIf}
!macroend
