@echo off
rem Expected: exit code 0 and "Build environment ready: devshl.dll in <NRCDROM_LOCATION>." when devshl.dll is in NRCDROM_LOCATION; otherwise exit code 2 and "Build stopped: devshl.dll was not found in <NRCDROM_LOCATION>.", with no window shown.
rem An automated build: no one is there to answer a dialog, so NRCDROM_UNATTENDED=1 makes
rem nrcdrom end with exit code 2 instead of asking. The location comes from the build
rem machine (NRCDROM_LOCATION, without a trailing backslash) and is written to the registry
rem first, in the 32-bit view that nrcdrom.exe reads (/reg:32); writing HKLM needs an
rem administrator's rights. NRCDROM_DIR is the folder holding nrcdrom.exe (default: this
rem file's folder or the one above it); it must be writable, NRVARCD.BAT is written there.
rem Started without "start", in a batch file cmd waits for nrcdrom as well, and a 2> after
rem its command line catches the one line in which it says why it stopped.
setlocal
set NRCDROM_UNATTENDED=1
if not defined NRCDROM_LOCATION set "NRCDROM_LOCATION=E:\SUITE\BIN"
if not defined NRCDROM_DIR if exist "%~dp0nrcdrom.exe" for %%I in ("%~dp0.") do set "NRCDROM_DIR=%%~fI"
if not defined NRCDROM_DIR if exist "%~dp0..\nrcdrom.exe" for %%I in ("%~dp0..") do set "NRCDROM_DIR=%%~fI"
if not defined NRCDROM_DIR goto noprogram

rem reg add creates the product key and the nrcdrom key when they are missing.
reg add "HKLM\SOFTWARE\HalvardWorks\Marlinth\6.6\nrcdrom" /v devshl.dll /t REG_SZ /d "%NRCDROM_LOCATION%" /f /reg:32 >nul
if errorlevel 1 goto noregistry

start "" /wait "%NRCDROM_DIR%\nrcdrom.exe" devshl.dll Duzudiziv_Eraziz_DLL_Files x P
if errorlevel 2 goto notfound
if not exist "%NRCDROM_DIR%\NRVARCD.BAT" goto nobatch
call "%NRCDROM_DIR%\NRVARCD.BAT"
echo Build environment ready: devshl.dll in %NRCDROM_LOCATION%.
rem The build itself goes here, with PATH, INCLUDE and LIB set, e.g.:
rem   nmake /f project.mak || exit /b 1
exit /b 0

:notfound
echo Build stopped: devshl.dll was not found in %NRCDROM_LOCATION%.
exit /b 2

:nobatch
echo Build stopped: "%NRCDROM_DIR%\NRVARCD.BAT" could not be written. 1>&2
exit /b 1

:noregistry
echo Build stopped: the registry could not be written (administrator's rights needed). 1>&2
exit /b 4

:noprogram
echo nrcdrom.exe was not found; set NRCDROM_DIR to its folder. 1>&2
exit /b 3
