; Quillmoor's own steps in the installer that CPack writes from NSIS.template.in.

!define QUILLMOOR_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmoor"
; win.ini's section "windows", as Windows keeps it for each user.
!define QUILLMOOR_WINDOWS_KEY "Software\Microsoft\Windows NT\CurrentVersion\Windows"

Var QuillmoorEarlierDir
Var QuillmoorRunKept
Var QuillmoorUpdate
; The program that the installer closed, to start again (QuillmoorStopIn).
Var QuillmoorClosed
; The first file found held by another program (QuillmoorHeld).
Var QuillmoorHeldFile
; Set once the earlier install's files are being removed: no way back from there.
Var QuillmoorRemoving

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

; The directory page shows the folder of an earlier install with a trailing "\": shown without.
Function QuillmoorDirectoryShown
  FindWindow $0 "#32770" "" $HWNDPARENT
  GetDlgItem $0 $0 1019 ; the folder's edit box
  System::Call 'user32::GetWindowTextW(p r0, w .r1, i ${NSIS_MAX_STRLEN})'
  StrCpy $2 $1 1 -1
  StrLen $3 $1
  ${If} $2 == "\"
  ${AndIf} $3 > 3
    StrCpy $1 $1 -1
    SendMessage $0 ${WM_SETTEXT} 0 "STR:$1"
  ${EndIf}
FunctionEnd

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
  StrCpy $R1 "$R9\quillmoor.exe"
  GetFullPathName /SHORT $R9 $R1
  ${IfThen} $R9 == "" ${|} Return ${|}
  StrCpy $R2 0
  Call ${UN}QuillmoorWindows
  ${IfThen} $R8 == 0 ${|} Return ${|}
  MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Quillmoor is running; it will be closed." \
    /SD IDOK IDOK close
  Abort "Quillmoor is running."
close:
  StrCpy $QuillmoorClosed $R1
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

; ${Locate}'s callback: notes the file $R9 when another program holds it without letting it be
; deleted (asking for nothing but DELETE, with every sharing, fails only then).
Function ${UN}QuillmoorHeldCheck
  StrCpy $0 ""
  ${If} $R9 != $EXEPATH
    System::Call 'kernel32::CreateFileW(w R9, i 0x00010000, i 7, p 0, i 3, i 0, p 0) p .r0'
  ${EndIf}
  ${If} $0 == -1
    StrCpy $QuillmoorHeldFile $R9
    Push StopLocate
  ${Else}
    ${If} $0 != ""
      System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
    Push ""
  ${EndIf}
FunctionEnd

; Aborts, with nothing changed, while a file in $R9 is held: every file is checked before any
; is removed, so that a failure leaves the install as it was.
Function ${UN}QuillmoorHeld
  StrCpy $R0 $R9
check:
  StrCpy $QuillmoorHeldFile ""
  ${Locate} $R0 "/L=F" ${UN}QuillmoorHeldCheck
  ${IfThen} $QuillmoorHeldFile == "" ${|} Return ${|}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$QuillmoorHeldFile is in use by another \
    program. Close it, then Retry." /SD IDCANCEL IDRETRY check
  SetErrorLevel 2
  Abort "$QuillmoorHeldFile is in use; Quillmoor in $R0 was left as it was."
FunctionEnd
!macroend
!insertmacro QuillmoorStopFunctions ""
!insertmacro QuillmoorStopFunctions "un."

!macro QuillmoorStop UN
  StrCpy $R9 $INSTDIR
  Call ${UN}QuillmoorStopIn
!macroend

; A silent update starts again the Quillmoor it closed; the wizard asks on its last page.
!macro QuillmoorRestart
  ${If} ${Silent}
  ${AndIf} $QuillmoorClosed != ""
    Exec '"$INSTDIR\quillmoor.exe"'
  ${EndIf}
!macroend

; A failed update that removed nothing starts again the Quillmoor it closed, as it was.
!macro QuillmoorFailed
  ${If} $QuillmoorClosed != ""
  ${AndIf} $QuillmoorRemoving != 1
  ${AndIf} ${FileExists} $QuillmoorClosed
    Exec '"$QuillmoorClosed"'
  ${EndIf}
!macroend

; The files of an earlier install go first, by its own uninstaller in update mode, which keeps
; "run" and the uninstall entry. "run" follows the program when the folder moves.
!macro QuillmoorRemoveEarlier
  ${If} $QuillmoorEarlierDir != ""
    StrCpy $R9 $QuillmoorEarlierDir
    Call QuillmoorStopIn
    StrCpy $R9 $QuillmoorEarlierDir
    Call QuillmoorHeld
    !insertmacro QuillmoorRunNames $QuillmoorEarlierDir
    StrCpy $QuillmoorRemoving 1
    ClearErrors
    ExecWait '"$QuillmoorEarlierDir\Uninstall.exe" /S /update _?=$QuillmoorEarlierDir' $0
    ${If} ${Errors}
    ${OrIf} $0 != 0
      MessageBox MB_OK|MB_ICONSTOP "The earlier Quillmoor in $QuillmoorEarlierDir could not be \
        removed completely. Close the programs that use its files, then run this setup \
        again." /SD IDOK
      SetErrorLevel 2
      Abort "The earlier Quillmoor could not be removed completely."
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

; Run in place, as the quiet command runs it so that its caller waits for the outcome, the
; uninstaller cannot delete itself: a copy of it in the temporary folder does, once it has ended.
!macro QuillmoorUninstallerLeft
  ${If} ${FileExists} "$INSTDIR\Uninstall.exe"
    GetTempFileName $0
    Delete $0
    CopyFiles /SILENT "$INSTDIR\Uninstall.exe" "$0.exe"
    Exec '"$0.exe" /cleanup _?=$INSTDIR'
  ${EndIf}
!macroend

; That copy, started with /cleanup: it waits up to a minute for the uninstaller to end.
!macro QuillmoorCleanUp PARAMETERS
  ClearErrors
  ${GetOptions} ${PARAMETERS} "/cleanup" $1
  ${IfNot} ${Errors}
    ${For} $1 1 600
      Delete "$INSTDIR\Uninstall.exe"
      ${IfNotThen} ${FileExists} "$INSTDIR\Uninstall.exe" ${|} ${ExitFor} ${|}
      Sleep 100
    ${Next}
    RMDir "$INSTDIR"
    Quit
  ${EndIf}
!macroend
