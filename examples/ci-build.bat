@echo off
rem Expected: exit code 0 and "Build environment ready: devshl.dll in <NRCDROM_LOCATION>." when devshl.dll is in NRCDROM_LOCATION; otherwise exit code 2, nrcdrom's own line saying why, and "Build stopped: nrcdrom ended with exit code <code>; see its line above.", with no window shown.
rem An automated build: no one is there to answer a dialog, so NRCDROM_UNATTENDED=1 makes
rem nrcdrom end with exit code 2 instead of asking. The location comes from the build
rem machine (NRCDROM_LOCATION, without a trailing backslash) and is written to the registry
rem first, in the 32-bit view that nrcdrom.exe reads (/reg:32); writing HKLM needs an
rem administrator's rights. NRCDROM_DIR is the folder holding nrcdrom.exe (default: this
rem file's folder or the one above it); it must be writable, NRVARCD.BAT is written there.
rem nrcdrom runs without "start": in a batch file cmd waits for it all the same and sets
rem errorlevel to its exit code, and the 2>&1 after its command line puts the one line in
rem which it says why it stopped into the build's output ("start" would not pass it on).
setlocal
set NRCDROM_UNATTENDED=1
if not defined NRCDROM_LOCATION set "NRCDROM_LOCATION=E:\SUITE\BIN"
if not defined NRCDROM_DIR if exist "%~dp0nrcdrom.exe" for %%I in ("%~dp0.") do set "NRCDROM_DIR=%%~fI"
if not defined NRCDROM_DIR if exist "%~dp0..\nrcdrom.exe" for %%I in ("%~dp0..") do set "NRCDROM_DIR=%%~fI"
if not defined NRCDROM_DIR goto noprogram

rem reg add creates the product key and the nrcdrom key when they are missing.
reg add "HKLM\SOFTWARE\HalvardWorks\Marlinth\6.6\nrcdrom" /v devshl.dll /t REG_SZ /d "%NRCDROM_LOCATION%" /f /reg:32 >nul
if errorlevel 1 goto noregistry

rem Exit code 0: NRVARCD.BAT is up to date; 1: it was written anew (or could not be, and
rem nrcdrom's line says why); 2: the location is unknown. "if errorlevel 2" holds for 2 and
rem every higher code (3: a tool could not be started), so any of them stops the build.
"%NRCDROM_DIR%\nrcdrom.exe" devshl.dll Duzudiziv_Eraziz_DLL_Files x P 2>&1
if errorlevel 2 goto stopped
if not exist "%NRCDROM_DIR%\NRVARCD.BAT" goto nobatch
call "%NRCDROM_DIR%\NRVARCD.BAT"
echo Build environment ready: devshl.dll in %NRCDROM_LOCATION%.
rem The build itself goes here, with PATH, INCLUDE and LIB set, e.g.:
rem   nmake /f project.mak || exit /b 1
exit /b 0

:stopped
echo Build stopped: nrcdrom ended with exit code %ERRORLEVEL%; see its line above.
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
