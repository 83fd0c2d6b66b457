@echo off
rem TARN verification kit. Runs inside a disposable Windows 10 or 11 (the
rem Windows Sandbox that tarn-verify.wsb starts, or a throw-away virtual
rem machine), elevated, and checks there what no simulated machine can show:
rem   1. the contract suite against the real API (tarn_contract_win32.exe);
rem   2. tarn.exe unattended on accounts-verify.ini: a new account, a changed
rem      one and a deleted one (the last two made here with "net user" first);
rem   3. the outcome, through the system's own tools: net user, net
rem      localgroup, reg query / load / unload, icacls, and PowerShell where
rem      cmd has no tool (a SID, an owner, a UTF-16 log, a group's local name).
rem It writes report.txt into the report folder: one PASS, FAIL or SKIP line
rem per check with what the tools printed beneath it, and a summary line.
rem
rem   verify.cmd [report folder]      default: "report" beside this script
rem
rem The exit code is 0 only when no check failed.
rem
rem The run leaves two administrators with known passwords behind, so the
rem script changes nothing unless it runs as the sandbox's own user
rem (WDAGUtilityAccount) or TARN_VERIFY_DISPOSABLE=1 says the machine is
rem thrown away afterwards.
rem TARN_VERIFY_WINE=1 marks a run under Wine (the project's Windows test
rem lane): the checks that need what Wine fakes or lacks are reported as SKIP
rem with the reason; everything else runs as it does on Windows. Wine's cmd
rem tools are smaller than Windows' own, which is why this script uses "find"
rem without switches on a pipe or a redirected file, "echo.", no "&&" after
rem "call" and no parenthesis in a text echoed after "if".
setlocal EnableExtensions DisableDelayedExpansion

set "KIT=%~dp0"
if "%KIT:~-1%"=="\" set "KIT=%KIT:~0,-1%"
set "REPORT=%~1"
if "%REPORT%"=="" set "REPORT=%KIT%\report"
if not exist "%REPORT%\" mkdir "%REPORT%"
set "REPORT_FILE=%REPORT%\report.txt"
set "WORK=%TEMP%\tarn-verify"
if exist "%WORK%\" rd /s /q "%WORK%"
mkdir "%WORK%"
set "OUT=%WORK%\output.txt"
set "LOG=%REPORT%\tarn.log"
set "LOG_TEXT=%REPORT%\tarn-log.txt"
set "RESULT=%REPORT%\result.json"
set /a PASSED=0, FAILED=0, SKIPPED=0

rem The accounts and passwords of accounts-verify.ini.
set "NEW=tarnkit-new"
set "CHG=tarnkit-chg"
set "DEL=tarnkit-del"
set "NEW_PASSWORD=Kit-New-73a"
set "CHG_PASSWORD=Kit-Chg-41b"
set "DEL_PASSWORD=Kit-Del-52c"
set "NEW_FULL_NAME=TARN kit new account"
set "NEW_COMMENT=Created by the TARN verification kit"
set "CHG_FULL_NAME=TARN kit changed account"
set "CHG_COMMENT=Changed by the TARN verification kit"
set "MOVED=C:\TarnKit\Documents\%NEW%"
set "HIVE=HKU\TarnKitVerify"
set "PROFILE_LIST=HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList"
set "SHELL_FOLDERS=Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"

set "UNDER_WINE=0"
if "%TARN_VERIFY_WINE%"=="1" set "UNDER_WINE=1"
rem Why checks are skipped under Wine.
set "WHY_NET=Wine's net.exe knows only HELP, START, STOP and USE: no net user, no net localgroup"
set "WHY_ACCOUNT=Wine keeps an account made with NetUserAdd inside the process that made it and cannot look it up by name, so the run skips the account's remaining steps"
set "WHY_GROUPS=Wine's local group calls have no effect"
set "WHY_PROFILE=Wine never resolves the new account's SID, so the run makes no profile for it; Wine's RegLoadKey also rejects binary hives"
set "WHY_ACL=Wine's icacls prints no access list, and the run made no folder for the account"
set "WHY_LOG=Wine's type and find read no UTF-16 and Wine has no PowerShell; the test lane reads the log itself"
set "WHY_ELEVATION=Wine has no integrity levels: whoami /groups lists none"

> "%REPORT_FILE%" echo TARN verification report
>>"%REPORT_FILE%" echo Started: %DATE% %TIME%
ver >>"%REPORT_FILE%"
>>"%REPORT_FILE%" echo Kit: %KIT%
set "MODE=Windows"
if "%UNDER_WINE%"=="1" set "MODE=Wine, TARN_VERIFY_WINE=1: the checks Wine cannot do are skipped"
>>"%REPORT_FILE%" echo Mode: %MODE%
>>"%REPORT_FILE%" echo.

call :check_machine
if "%STOP%"=="1" goto summary
call :check_kit
if "%STOP%"=="1" goto summary
call :run_contract_suite
call :prepare_accounts
if "%STOP%"=="1" goto summary
call :run_tarn
call :check_run
call :check_log
call :find_groups
call :check_new_account
call :check_group_members
call :check_profile
call :check_hive
call :check_moved_folder
call :check_changed_account
call :check_deleted_account

:summary
set "VERDICT=PASS"
if %FAILED% GTR 0 set "VERDICT=FAIL"
>>"%REPORT_FILE%" echo.
>>"%REPORT_FILE%" echo Ended: %DATE% %TIME%
>>"%REPORT_FILE%" echo SUMMARY: %VERDICT% - %PASSED% passed, %FAILED% failed, %SKIPPED% skipped
echo SUMMARY: %VERDICT% - %PASSED% passed, %FAILED% failed, %SKIPPED% skipped
echo The report is %REPORT_FILE%
if /i "%USERNAME%"=="WDAGUtilityAccount" start "" notepad.exe "%REPORT_FILE%"
if "%VERDICT%"=="PASS" exit /b 0
exit /b 1


rem ---- Checks ---------------------------------------------------------------

:check_machine
rem Nothing is changed on a machine that is not thrown away afterwards, or
rem without the rights the run needs.
set "STOP=0"
if "%UNDER_WINE%"=="1" goto machine_wine
echo User: %USERNAME% >"%OUT%"
echo TARN_VERIFY_DISPOSABLE=%TARN_VERIFY_DISPOSABLE% >>"%OUT%"
set "DISPOSABLE=0"
if /i "%USERNAME%"=="WDAGUtilityAccount" set "DISPOSABLE=1"
if "%TARN_VERIFY_DISPOSABLE%"=="1" set "DISPOSABLE=1"
if "%DISPOSABLE%"=="1" (call :record PASS "disposable machine: the Windows Sandbox's user, or TARN_VERIFY_DISPOSABLE=1") else (
  call :record FAIL "disposable machine: run this in Windows Sandbox, or set TARN_VERIFY_DISPOSABLE=1 on a throw-away machine; nothing was changed"
  set "STOP=1"
  exit /b 0
)
rem High (S-1-16-12288) or system (S-1-16-16384) integrity: elevated.
whoami /groups | find "S-1-16-" >"%OUT%"
find "S-1-16-12288" <"%OUT%" >nul
if not errorlevel 1 goto elevated
find "S-1-16-16384" <"%OUT%" >nul
if not errorlevel 1 goto elevated
call :record FAIL "elevated: the script needs administrator rights, Run as administrator; nothing was changed"
set "STOP=1"
exit /b 0
:elevated
call :record PASS "elevated: the script runs with administrator rights"
exit /b 0
:machine_wine
rem The marker must never hide a check on a real Windows.
reg query "HKLM\Software\Wine" >"%OUT%" 2>&1
if errorlevel 1 (
  call :record FAIL "Wine marker: TARN_VERIFY_WINE=1 is set, but this is not Wine; nothing was changed"
  set "STOP=1"
  exit /b 0
)
del "%OUT%"
call :record PASS "Wine marker: TARN_VERIFY_WINE=1 and HKLM\Software\Wine exists"
call :record SKIP "elevated" "%WHY_ELEVATION%"
exit /b 0

:check_kit
set "STOP=0"
set "MISSING="
for %%f in (tarn.exe languages.ini tarn_contract_win32.exe versioned_sample.exe accounts-verify.ini) do (
  if exist "%KIT%\%%f" (echo %%f >>"%OUT%") else (echo %%f is missing >>"%OUT%"& set "MISSING=1")
)
if defined MISSING (
  call :record FAIL "kit complete: a file of the kit is missing"
  set "STOP=1"
  exit /b 0
)
call :record PASS "kit complete: tarn.exe, languages.ini, the contract suite and the configuration"
exit /b 0

:run_contract_suite
echo Running the contract suite ...
set "SUITE_TEXT=%REPORT%\contract.txt"
set "SUITE_XML=%REPORT%\contract.xml"
if exist "%SUITE_XML%" del "%SUITE_XML%"
rem From a folder of its own: cases make scratch folders and change directory.
pushd "%WORK%"
"%KIT%\tarn_contract_win32.exe" "--gtest_output=xml:%SUITE_XML%" >"%SUITE_TEXT%" 2>&1
set "SUITE_CODE=%ERRORLEVEL%"
popd
echo exit code %SUITE_CODE%; the whole output is contract.txt, the cases contract.xml >"%OUT%"
rem The totals, then each skipped or failed case once (the lines with its time).
find "[  PASSED  ]" <"%SUITE_TEXT%" >>"%OUT%"
find "[  SKIPPED ]" <"%SUITE_TEXT%" | find "tests" >>"%OUT%"
find "[  FAILED  ]" <"%SUITE_TEXT%" | find "tests" >>"%OUT%"
find "[  SKIPPED ]" <"%SUITE_TEXT%" | find " ms)" >>"%OUT%"
find "[  FAILED  ]" <"%SUITE_TEXT%" | find " ms)" >>"%OUT%"
set "SUITE_OK=1"
if not "%SUITE_CODE%"=="0" set "SUITE_OK=0"
if not exist "%SUITE_XML%" set "SUITE_OK=0"
call :verdict %SUITE_OK% "contract suite: tarn_contract_win32.exe passed against this system's API"
exit /b 0

:prepare_accounts
rem The changed and the deleted account exist before the run; none of the
rem three may exist yet, or this is not a fresh machine.
set "STOP=0"
call :skip_under_wine "prepare: %CHG% and %DEL% made with net user before the run" "%WHY_NET%"
if "%SKIPPING%"=="1" exit /b 0
set "FRESH=1"
for %%u in (%NEW% %CHG% %DEL%) do (
  net user %%u >nul 2>&1
  if not errorlevel 1 (echo %%u exists already >>"%OUT%"& set "FRESH=0")
)
if "%FRESH%"=="0" (
  call :record FAIL "prepare: the kit has run on this machine before; start a fresh sandbox"
  set "STOP=1"
  exit /b 0
)
net user %CHG% %CHG_PASSWORD% /add /fullname:"TARN kit before the change" /comment:"Made by verify.cmd" >>"%OUT%" 2>&1
set "MADE=%ERRORLEVEL%"
net user %DEL% %DEL_PASSWORD% /add /comment:"Made by verify.cmd, deleted by the run" >>"%OUT%" 2>&1
if errorlevel 1 set "MADE=1"
if not "%MADE%"=="0" (
  call :record FAIL "prepare: %CHG% and %DEL% made with net user before the run"
  set "STOP=1"
  exit /b 0
)
call :record PASS "prepare: %CHG% and %DEL% made with net user before the run"
exit /b 0

:run_tarn
echo Running tarn.exe unattended ...
for %%f in ("%LOG%" "%LOG_TEXT%" "%RESULT%" "%REPORT%\entry-ran.txt") do if exist "%%~f" del "%%~f"
rem The command of accounts-verify.ini writes its mark here.
set "TARN_VERIFY_REPORT=%REPORT%"
start "" /wait "%KIT%\tarn.exe" /ini="%KIT%\accounts-verify.ini" /log="%LOG%" /result="%RESULT%" /exitcode=result /autoinstall=1 /skiprestart /usecurrent /noabort /nocancel
set "TARN_CODE=%ERRORLEVEL%"
exit /b 0

:check_run
set "WANTED_CODE=0"
if "%UNDER_WINE%"=="1" set "WANTED_CODE=1603"
echo tarn.exe /ini=accounts-verify.ini /log= /result= /exitcode=result /autoinstall=1 /skiprestart /usecurrent /noabort /nocancel >"%OUT%"
echo exit code %TARN_CODE% >>"%OUT%"
if "%UNDER_WINE%"=="1" echo under Wine 1603: the account steps Wine cannot do end as errors >>"%OUT%"
set "RAN_OK=0"
if "%TARN_CODE%"=="%WANTED_CODE%" set "RAN_OK=1"
call :verdict %RAN_OK% "tarn.exe ran unattended and ended with exit code %WANTED_CODE%"

set "LOG_OK=0"
if exist "%LOG%" for %%f in ("%LOG%") do if %%~zf GTR 0 set "LOG_OK=1"
echo %LOG% >"%OUT%"
call :verdict %LOG_OK% "log written: tarn.log"

rem One line per step: under Wine the changed account is new to the run, as
rem net user could not make it first.
set "CHG_ACTION=change"
set "OUTCOME=success"
if "%UNDER_WINE%"=="1" set "CHG_ACTION=create"
if "%UNDER_WINE%"=="1" set "OUTCOME=error"
set "STEPS_OK=0"
if exist "%RESULT%" (
  set "STEPS_OK=1"
  find "tarnkit-" <"%RESULT%" >"%OUT%"
  find "Verify.0" <"%RESULT%" >>"%OUT%"
)
if "%STEPS_OK%"=="1" call :expect_step %NEW% create %OUTCOME%
if "%STEPS_OK%"=="1" call :expect_step %CHG% %CHG_ACTION% %OUTCOME%
if "%STEPS_OK%"=="1" call :expect_step %DEL% delete %OUTCOME%
call :verdict %STEPS_OK% "result file: %NEW% create, %CHG% %CHG_ACTION%, %DEL% delete, each %OUTCOME%"

set "ENTRY_OK=0"
echo %REPORT%\entry-ran.txt >"%OUT%"
if exist "%REPORT%\entry-ran.txt" if exist "%RESULT%" (
  find "Verify.0" <"%RESULT%" | find "success" >nul
  if not errorlevel 1 set "ENTRY_OK=1"
)
call :verdict %ENTRY_OK% "the run went on after the accounts: its command ran and succeeded"
exit /b 0

:expect_step
rem Clears STEPS_OK unless the result file has account %1's step with
rem action %2 and outcome %3.
find "%~1" <"%RESULT%" | find "%~2" | find "%~3" >nul
if errorlevel 1 set "STEPS_OK=0"
exit /b 0

:check_log
call :skip_under_wine "log: no password, no error line; warnings listed" "%WHY_LOG%"
if "%SKIPPING%"=="1" exit /b 0
set "LOG_OK=0"
if exist "%LOG%" powershell -NoProfile -ExecutionPolicy Bypass -Command "Get-Content -LiteralPath $env:LOG -Encoding Unicode | Set-Content -LiteralPath $env:LOG_TEXT -Encoding Ascii" >"%OUT%" 2>&1
if exist "%LOG_TEXT%" set "LOG_OK=1"
if "%LOG_OK%"=="0" (
  call :record FAIL "log: no password, no error line; warnings listed" "the log could not be read as text"
  exit /b 0
)
for %%p in (%NEW_PASSWORD% %CHG_PASSWORD% %DEL_PASSWORD%) do (
  find "%%p" <"%LOG_TEXT%" >nul
  if not errorlevel 1 (echo a password is in the log >>"%OUT%"& set "LOG_OK=0")
)
find "Error(" <"%LOG_TEXT%" >>"%OUT%"
if not errorlevel 1 set "LOG_OK=0"
find "Warning(" <"%LOG_TEXT%" >>"%OUT%"
call :verdict %LOG_OK% "log: no password, no error line; warnings listed; the text is tarn-log.txt"
exit /b 0

:find_groups
rem Group names depend on the language of Windows; their SIDs do not.
set "ADMINISTRATORS=Administrators"
set "USERS=Users"
if "%UNDER_WINE%"=="1" exit /b 0
call :ps_value ADMINISTRATORS "(New-Object Security.Principal.SecurityIdentifier 'S-1-5-32-544').Translate([Security.Principal.NTAccount]).Value.Split('\')[1]"
call :ps_value USERS "(New-Object Security.Principal.SecurityIdentifier 'S-1-5-32-545').Translate([Security.Principal.NTAccount]).Value.Split('\')[1]"
if not defined ADMINISTRATORS set "ADMINISTRATORS=Administrators"
if not defined USERS set "USERS=Users"
exit /b 0

:check_new_account
set "T=new account: net user %NEW% shows its full name and comment"
call :skip_under_wine "%T%" "%WHY_NET%; %WHY_ACCOUNT%"
if "%SKIPPING%"=="1" exit /b 0
net user %NEW% >"%OUT%" 2>&1
set "OK=1"
if errorlevel 1 set "OK=0"
find "%NEW_FULL_NAME%" <"%OUT%" >nul
if errorlevel 1 set "OK=0"
find "%NEW_COMMENT%" <"%OUT%" >nul
if errorlevel 1 set "OK=0"
call :verdict %OK% "%T%"
exit /b 0

:check_group_members
set "T=groups: %NEW% and %CHG% are in %ADMINISTRATORS%"
call :skip_under_wine "%T%" "%WHY_NET%; %WHY_GROUPS%"
if "%SKIPPING%"=="0" call :expect_members "%ADMINISTRATORS%" 1 "%T%"
set "T=groups: %NEW% and %CHG% are no longer in %USERS%"
call :skip_under_wine "%T%" "%WHY_NET%; %WHY_GROUPS%"
if "%SKIPPING%"=="0" call :expect_members "%USERS%" 0 "%T%"
exit /b 0

:expect_members
rem Records check %3: both accounts are members of group %1 (%2 = 1) or
rem neither is (%2 = 0).
net localgroup "%~1" >"%OUT%" 2>&1
set "OK=1"
if errorlevel 1 set "OK=0"
for %%u in (%NEW% %CHG%) do (
  find /i "%%u" <"%OUT%" >nul
  if errorlevel 1 (if "%~2"=="1" set "OK=0") else (if "%~2"=="0" set "OK=0")
)
call :verdict %OK% "%~3"
exit /b 0

:check_profile
set "PROFILE_DIR="
set "T=profile list: %NEW% has an entry under its SID pointing to its folder in the profiles folder"
call :skip_under_wine "%T%" "%WHY_PROFILE%"
if "%SKIPPING%"=="1" goto profile_acl
call :ps_value NEW_SID "(New-Object Security.Principal.NTAccount $env:NEW).Translate([Security.Principal.SecurityIdentifier]).Value"
set "PROFILES="
for /f "usebackq tokens=1,2,*" %%a in (`reg query "%PROFILE_LIST%" /v ProfilesDirectory 2^>nul`) do if /i "%%a"=="ProfilesDirectory" call set "PROFILES=%%c"
echo SID of %NEW%: %NEW_SID% >"%OUT%"
echo profiles folder: %PROFILES% >>"%OUT%"
reg query "%PROFILE_LIST%\%NEW_SID%" /v ProfileImagePath >>"%OUT%" 2>&1
for /f "usebackq tokens=1,2,*" %%a in (`reg query "%PROFILE_LIST%\%NEW_SID%" /v ProfileImagePath 2^>nul`) do if /i "%%a"=="ProfileImagePath" call set "PROFILE_DIR=%%c"
set "OK=0"
if defined NEW_SID if defined PROFILE_DIR if /i "%PROFILE_DIR%"=="%PROFILES%\%NEW%" if exist "%PROFILE_DIR%\" set "OK=1"
call :verdict %OK% "%T%"
:profile_acl
set "T=profile folder: %NEW% has full control"
call :skip_under_wine "%T%" "%WHY_ACL%"
if "%SKIPPING%"=="0" call :expect_full_control "%PROFILE_DIR%" "%T%"
set "T=profile folder: owned by %NEW%"
call :skip_under_wine "%T%" "%WHY_ACL%"
if "%SKIPPING%"=="1" exit /b 0
set "OWNER="
if defined PROFILE_DIR call :ps_value OWNER "(Get-Acl -LiteralPath $env:PROFILE_DIR).Owner"
echo owner: %OWNER% >"%OUT%"
set "OK=0"
if defined OWNER for /f "tokens=2 delims=\" %%o in ("%OWNER%") do if /i "%%o"=="%NEW%" set "OK=1"
call :verdict %OK% "%T%"
exit /b 0

:expect_full_control
rem Records check %2: folder %1 exists and its access list gives the new
rem account full control.
set "OK=0"
echo no folder %~1 >"%OUT%"
if not "%~1"=="" if exist "%~1\" (
  icacls "%~1" >"%OUT%" 2>&1
  find /i "\%NEW%:" <"%OUT%" | find "(F)" >nul
  if not errorlevel 1 set "OK=1"
)
call :verdict %OK% "%~2"
exit /b 0

:check_hive
set "T=hive: reg load of %NEW%'s NTUSER.DAT"
call :skip_under_wine "%T%" "%WHY_PROFILE%"
if "%SKIPPING%"=="1" goto hive_wine
set "LOADED=0"
if defined PROFILE_DIR reg load "%HIVE%" "%PROFILE_DIR%\NTUSER.DAT" >"%OUT%" 2>&1
if defined PROFILE_DIR if not errorlevel 1 set "LOADED=1"
if not defined PROFILE_DIR echo no profile folder >"%OUT%"
call :verdict %LOADED% "%T%"
if "%LOADED%"=="0" goto hive_unloadable
call :expect_value "Environment" TARN_KIT_TEAM "blue" "hive: the private variable TARN_KIT_TEAM=blue"
call :expect_value "%SHELL_FOLDERS%" Personal "\TarnKit\Documents\" "hive: the Personal folder points to C:\TarnKit\Documents"
rem A hive made empty has no Control Panel key; the Default one has values.
set "VALUES=0"
for /f %%n in ('reg query "%HIVE%\Control Panel\Desktop" 2^>nul ^| find /c "REG_"') do set "VALUES=%%n"
echo values in Control Panel\Desktop: %VALUES% >"%OUT%"
echo folders in AppData: >>"%OUT%"
dir /b "%PROFILE_DIR%\AppData" >>"%OUT%" 2>&1
set "OK=1"
if "%VALUES%"=="0" set "OK=0"
if not exist "%PROFILE_DIR%\AppData\Roaming\" set "OK=0"
call :verdict %OK% "profile copied from the Default profile: Control Panel\Desktop in the hive, AppData\Roaming in the folder"
reg unload "%HIVE%" >"%OUT%" 2>&1
set "OK=1"
if errorlevel 1 set "OK=0"
call :verdict %OK% "hive: reg unload"
exit /b 0
:hive_unloadable
set "WHY=the hive could not be loaded, see the FAIL above"
call :record SKIP "hive: the private variable TARN_KIT_TEAM=blue" "%WHY%"
call :record SKIP "hive: the Personal folder points to C:\TarnKit\Documents" "%WHY%"
call :record SKIP "profile copied from the Default profile" "%WHY%"
exit /b 0
:hive_wine
call :record SKIP "hive: the private variable and the moved Documents folder" "%WHY_PROFILE%"
call :record SKIP "profile copied from the Default profile" "%WHY_PROFILE%"
exit /b 0

:expect_value
rem Records check %4: value %2 of key %1 in the loaded hive holds text %3.
reg query "%HIVE%\%~1" /v %2 >"%OUT%" 2>&1
set "OK=1"
if errorlevel 1 set "OK=0"
find "%~3" <"%OUT%" >nul
if errorlevel 1 set "OK=0"
call :verdict %OK% "%~4"
exit /b 0

:check_moved_folder
set "T=moved folder: %MOVED% exists and %NEW% has full control"
call :skip_under_wine "%T%" "%WHY_ACCOUNT%"
if "%SKIPPING%"=="0" call :expect_full_control "%MOVED%" "%T%"
exit /b 0

:check_changed_account
set "T=changed account: net user %CHG% shows the new full name and comment"
call :skip_under_wine "%T%" "%WHY_NET%"
if "%SKIPPING%"=="1" exit /b 0
net user %CHG% >"%OUT%" 2>&1
set "OK=1"
if errorlevel 1 set "OK=0"
find "%CHG_FULL_NAME%" <"%OUT%" >nul
if errorlevel 1 set "OK=0"
find "%CHG_COMMENT%" <"%OUT%" >nul
if errorlevel 1 set "OK=0"
call :verdict %OK% "%T%"
exit /b 0

:check_deleted_account
set "T=deleted account: net user %DEL% no longer finds it"
call :skip_under_wine "%T%" "%WHY_NET%"
if "%SKIPPING%"=="1" exit /b 0
net user %DEL% >"%OUT%" 2>&1
set "OK=0"
if errorlevel 1 set "OK=1"
call :verdict %OK% "%T%"
exit /b 0


rem ---- Report helpers -------------------------------------------------------

:skip_under_wine
rem Under Wine, records check %1 as skipped for reason %2 and sets
rem SKIPPING=1; elsewhere sets SKIPPING=0.
set "SKIPPING=0"
if not "%UNDER_WINE%"=="1" exit /b 0
set "SKIPPING=1"
call :record SKIP "%~1" "%~2"
exit /b 0

:verdict
rem Records check %2 as passed when %1 is 1, else as failed.
if "%~1"=="1" (call :record PASS "%~2") else call :record FAIL "%~2"
exit /b 0

:record
rem Appends "<result>  <check>", the note %3 and what the check's tools
rem printed (the output file, which it then removes) to the report.
>>"%REPORT_FILE%" echo %~1  %~2
echo %~1  %~2
if not "%~3"=="" >>"%REPORT_FILE%" echo     ^| %~3
if exist "%OUT%" for /f "usebackq delims=" %%l in ("%OUT%") do >>"%REPORT_FILE%" echo     ^| %%l
if exist "%OUT%" del "%OUT%"
if "%~1"=="PASS" set /a PASSED+=1
if "%~1"=="FAIL" set /a FAILED+=1
if "%~1"=="SKIP" set /a SKIPPED+=1
exit /b 0

:ps_value
rem Sets variable %1 to the first line PowerShell prints for script %2;
rem empty when it prints nothing. Values reach the script through $env:.
set "%~1="
powershell -NoProfile -ExecutionPolicy Bypass -Command "%~2" >"%WORK%\value.txt" 2>nul
for /f "usebackq delims=" %%v in ("%WORK%\value.txt") do if not defined %~1 set "%~1=%%v"
exit /b 0
