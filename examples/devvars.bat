@echo off
rem Expected: exit code 0 and "PATH, INCLUDE and LIB are set for the Duzudiziv Eraziz DLL Files."; PATH, INCLUDE and LIB then begin with the folders NRVARCD.BAT names. Exit code 2 and "The location was not given; nothing was changed." when the dialog is cancelled.
rem Sets PATH, INCLUDE and LIB for command-line work, through NRVARCD.BAT (script mode, option P).
rem Call it from a command prompt or from your own batch file ("call devvars.bat"): the
rem variables stay set afterwards. It can live anywhere: NRVARCD.BAT is written beside
rem nrcdrom.exe, in NRCDROM_DIR. Set NRCDROM_DIR to that folder before calling this file,
rem or keep this file beside nrcdrom.exe or in the examples folder below it.
if not defined NRCDROM_DIR if exist "%~dp0nrcdrom.exe" for %%I in ("%~dp0.") do set "NRCDROM_DIR=%%~fI"
if not defined NRCDROM_DIR if exist "%~dp0..\nrcdrom.exe" for %%I in ("%~dp0..") do set "NRCDROM_DIR=%%~fI"
if not defined NRCDROM_DIR goto noprogram

rem Exit code 1: NRVARCD.BAT was written anew; 0: it is up to date; 2: cancelled.
start "" /wait "%NRCDROM_DIR%\nrcdrom.exe" devshl.dll Duzudiziv_Eraziz_DLL_Files x P
if errorlevel 2 goto cancelled
if not exist "%NRCDROM_DIR%\NRVARCD.BAT" goto nobatch
call "%NRCDROM_DIR%\NRVARCD.BAT"
echo PATH, INCLUDE and LIB are set for the Duzudiziv Eraziz DLL Files.
exit /b 0

:cancelled
echo The location was not given; nothing was changed.
exit /b 2

:nobatch
echo "%NRCDROM_DIR%\NRVARCD.BAT" could not be written: is the folder writable? 1>&2
exit /b 1

:noprogram
echo nrcdrom.exe was not found; set NRCDROM_DIR to its folder. 1>&2
exit /b 3
