@echo off
rem Stands in for a driver package: installs, then asks for a restart with the
rem code Windows Installer uses for that (3010).
if not exist "%TARN_DEMO%" mkdir "%TARN_DEMO%"
echo Chipset driver: a restart completes the installation.> "%TARN_DEMO%\Chipset driver.txt"
exit /b 3010
