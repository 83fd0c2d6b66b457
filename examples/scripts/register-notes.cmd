@echo off
rem Registers the ".tarnnote" file type: opening a note copies it into
rem %TARN_DEMO%, so that the demonstration shows the document was opened.
if not exist "%TARN_DEMO%" mkdir "%TARN_DEMO%"
regedit /s "%~dp0tarnnote.reg"
exit /b %errorlevel%
