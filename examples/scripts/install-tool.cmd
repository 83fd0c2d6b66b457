@echo off
rem Stands in for a real installer: writes "<name>.txt" into %TARN_DEMO% with
rem the greeting the configuration's environment section defines.
if not exist "%TARN_DEMO%" mkdir "%TARN_DEMO%"
echo %~1: %DEMO_GREETING% (%COMPUTERNAME%)> "%TARN_DEMO%\%~1.txt"
exit /b 0
